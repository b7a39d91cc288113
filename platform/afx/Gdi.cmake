# qlafx_gdi: drawing on QImage surfaces (DCs, GDI objects, scalers, picture
# resources). Included from CMakeLists.txt.
add_library(qlafx_gdi STATIC
    DC.cpp
    DibScale.cpp
    FontEnum.cpp
    Gdi.cpp
    Resources.cpp)
target_link_libraries(qlafx_gdi PUBLIC qlwin imagecore Qt6::Gui Qt6::Widgets PRIVATE qlcapture_screen)
target_precompile_headers(qlafx_gdi PRIVATE <QImage> <QPainter> <QRegion> <QFont>)

quillo_add_test(qlafx_gdi_tests
    SOURCES
        tests/TestMain.cpp
        tests/DibScaleTest.cpp
        tests/DcDrawTest.cpp
        tests/DcTextTest.cpp
        tests/DcBlitTest.cpp
        tests/GdiObjectTest.cpp
        tests/GdiResourceTest.cpp
        tests/FontEnumTest.cpp
        tests/data/gdi_test_res.qrc
    LIBS qlafx_gdi
    QT NO_MAIN)
target_precompile_headers(qlafx_gdi_tests PRIVATE <QImage> <QPainter> <QRegion> <gtest/gtest.h>)
