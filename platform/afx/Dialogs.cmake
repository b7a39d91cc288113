# Dialogs, the built-in controls ("Button", "Static", "Edit"), message boxes
# and the resource tables (strings, dialog templates, menus, toolbars,
# accelerators) of the qlafx library; a small demo program. Included from
# CMakeLists.txt after Core.cmake.
target_sources(qlafx PRIVATE
    Button.cpp
    DataExchange.cpp
    Dialog.cpp
    Edit.cpp
    MessageBox.cpp
    ResourceTables.cpp
    Static.cpp)

# The demo's dialog, shared by the program and its test; an OBJECT library
# so the resource registrar is linked into both.
add_library(qlafx_demo_parts OBJECT
    demo/DemoDialog.cpp
    demo/res/DemoResources.cpp)
target_link_libraries(qlafx_demo_parts PUBLIC qlafx)

# Outside bin/, so the program folder holds only the suite.
add_executable(qlafx_demo demo/DemoMain.cpp)
target_link_libraries(qlafx_demo PRIVATE qlafx_demo_parts qlafx)
set_target_properties(qlafx_demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/demo)

quillo_add_test(qlafx_dialog_tests
    SOURCES
        tests/TestMain.cpp
        tests/ControlTestSupport.cpp
        tests/ControlButtonTest.cpp
        tests/ControlEditTest.cpp
        tests/ControlStaticTest.cpp
        tests/ControlStyleTest.cpp
        tests/DialogDemoTest.cpp
        tests/DialogTemplateTest.cpp
        tests/DialogDataExchangeTest.cpp
        tests/WndDataExchangeTest.cpp
        tests/MessageBoxTest.cpp
        tests/ResourceTablesTest.cpp
    LIBS qlafx_demo_parts qlafx
    QT NO_MAIN)
target_compile_definitions(qlafx_dialog_tests PRIVATE QLAFX_DEMO_GRAB="${CMAKE_BINARY_DIR}/tests/qlafx_demo.png")
