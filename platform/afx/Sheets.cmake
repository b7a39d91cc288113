# Property sheets, the common dialogs and printing (qlafx); the demo's
# property sheet. Included from CMakeLists.txt after Dialogs.cmake.
find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
target_sources(qlafx PRIVATE
    CommDlg.cpp
    Print.cpp
    PropertySheet.cpp)
target_link_libraries(qlafx PUBLIC Qt6::PrintSupport)

# The demo program's property sheet, opened from its frame's menu.
target_sources(qlafx_demo_parts PRIVATE demo/DemoSheet.cpp)

quillo_add_test(qlafx_sheet_tests
    SOURCES
        tests/TestMain.cpp
        tests/CommonDialogTest.cpp
        tests/PrintTest.cpp
        tests/PropertySheetDemoTest.cpp
        tests/PropertySheetTest.cpp
    LIBS qlafx_demo_parts qlafx
    QT NO_MAIN)
