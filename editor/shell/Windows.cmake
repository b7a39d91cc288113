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

# The editor program: application, main frame, splash and their resources.
set(QUILLO_WEB_BASE "https://quillo.example.org/" CACHE STRING "Base of the web pages the editor's Help items open")
add_library(editorshell_frame STATIC
    DialogRunners.cpp
    EditorApp.cpp
    FrameCommands.cpp
    MainFrame.cpp
    SplashDlg.cpp)
target_link_libraries(editorshell_frame PUBLIC editorshell_windows)
target_compile_definitions(editorshell_frame PRIVATE QUILLO_WEB_BASE="${QUILLO_WEB_BASE}")
# The tables register themselves from a static object, so they are linked
# as an object file into everything that links the frame.
add_library(editorshell_frame_tables OBJECT res/EditorFrameResources.cpp)
target_link_libraries(editorshell_frame_tables PRIVATE qlafx)
target_link_libraries(editorshell_frame INTERFACE $<TARGET_OBJECTS:editorshell_frame_tables>)
# assets/ comes later in the tree; its pictures are generated before use.
block()
    set(frame_res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(frame_res_files)
    foreach(f bitmap/140 bitmap/143 bitmap/144 bitmap/145 icon/128)
        list(APPEND frame_res_files ${frame_res_dir}/${f}.png)
    endforeach()
    set_source_files_properties(${frame_res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(editorshell_frame editor_frame_pictures PREFIX "/res" BASE ${frame_res_dir} FILES ${frame_res_files})
    add_dependencies(editorshell_frame quillo_skin)
endblock()

add_executable(QuilloEditor EditorMain.cpp)
target_link_libraries(QuilloEditor PRIVATE editorshell_frame)
set_target_properties(QuilloEditor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

quillo_add_test(editorshell_frame_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/MainFrameTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_frame_tests)
    target_compile_definitions(editorshell_frame_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests"
        QUILLO_WEB_BASE_FOR_TEST="${QUILLO_WEB_BASE}"
        QUILLO_EDITOR_PROGRAM="$<TARGET_FILE:QuilloEditor>")
    add_dependencies(editorshell_frame_tests quillo_skin QuilloEditor)
endif()

include(Print.cmake)
