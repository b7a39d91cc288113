# The editor shell's windows: the main view with its image view, the history
# bar and the histogram panel. Window code on the layer, beside the headless
# core.
# Qt's targets are imported per folder, and this one comes before the layer.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
add_library(editorshell_windows STATIC
    HistogramPanel.cpp
    HistoryBar.cpp
    MainImageView.cpp
    MainView.cpp)
target_link_libraries(editorshell_windows PUBLIC editorui editorshell_core)

quillo_add_test(editorshell_windows_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/HistogramPanelTest.cpp
        tests/HistoryBarTest.cpp
        tests/MainImageViewTest.cpp
        tests/MainViewTest.cpp
    LIBS editorshell_windows
    QT NO_MAIN)
if(TARGET editorshell_windows_tests)
    target_compile_definitions(editorshell_windows_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    # The skin pictures the buttons and brushes load.
    add_dependencies(editorshell_windows_tests quillo_skin)
endif()
