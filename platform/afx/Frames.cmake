# Menus, accelerators, frame windows and tool bars of the qlafx library.
# Included from CMakeLists.txt after Dialogs.cmake.
target_sources(qlafx PRIVATE
    FrameWnd.cpp
    Menu.cpp
    ToolBar.cpp)

# The demo program's main window.
target_sources(qlafx_demo_parts PRIVATE demo/DemoFrame.cpp)

quillo_add_test(qlafx_frame_tests
    SOURCES
        tests/TestMain.cpp
        tests/MenuTest.cpp
        tests/FrameTest.cpp
        tests/FrameDemoTest.cpp
        tests/data/frames_test_res.qrc
    LIBS qlafx_demo_parts qlafx
    QT NO_MAIN)
target_compile_definitions(qlafx_frame_tests PRIVATE QLAFX_DEMO_FRAME_GRAB="${CMAKE_BINARY_DIR}/tests/qlafx_demo_frame.png"
    QLAFX_MENU_GRAB="${CMAKE_BINARY_DIR}/tests/menu-owner-drawn.png")
