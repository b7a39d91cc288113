# Windows, messages, threads and the application object (qlafx), on the
# drawing half (qlafx_gdi).
add_library(qlafx STATIC
    AfxString.cpp
    AfxTypes.cpp
    CmdTarget.cpp
    Cursor.cpp
    HotKey.cpp
    PaintDC.cpp
    QtBridge.cpp
    SyncObjects.cpp
    WinApp.cpp
    WinThread.cpp
    Wnd.cpp)
target_link_libraries(qlafx PUBLIC qlafx_gdi qlwin imagecore Qt6::Widgets PRIVATE qlcapture_screen)
target_precompile_headers(qlafx PRIVATE <QApplication> <QWidget> <QImage> <QEvent> <QTimer>)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/TestMain.cpp)
quillo_add_test(qlafx_tests
    SOURCES
        tests/TestMain.cpp
        tests/AppProfileTest.cpp
        tests/MsgMapTest.cpp
        tests/MsgQueueTest.cpp
        tests/PaintTest.cpp
        tests/ThreadSyncTest.cpp
        tests/WndBridgeTest.cpp
        tests/WndHandleTest.cpp
        tests/WndInputTest.cpp
        tests/WndStyleTest.cpp
        tests/WndTypesTest.cpp
    LIBS qlafx
    QT NO_MAIN)

# Surfaces at the screen's device pixel ratio: the same program at three
# ratios, which the offscreen platform takes from QT_SCALE_FACTOR.
if(NOT QUILLO_FUZZ)
    add_executable(qlafx_hidpi_tests tests/TestMain.cpp tests/HiDpiTest.cpp)
    target_link_libraries(qlafx_hidpi_tests PRIVATE qlafx GTest::gtest)
    set_target_properties(qlafx_hidpi_tests PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    foreach(ratio 1 1.5 2)
        add_test(NAME HiDpi.Ratio${ratio} COMMAND qlafx_hidpi_tests)
        set_tests_properties(HiDpi.Ratio${ratio} PROPERTIES TIMEOUT 600
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=${ratio}")
    endforeach()
endif()

# RunApp makes its own QApplication, and the application object is a global
# made during static initialisation: a program of its own, with this file
# first so its global comes before the library's.
quillo_add_test(qlafx_app_tests
    SOURCES tests/AppRunTest.cpp tests/data/app_test_res.qrc
    LIBS qlafx
    QT NO_MAIN)
endif()
