# Paint mode: the canvas with its stroke undo, the tool panel, the state they
# share and the functions paint-tool plug-ins draw with.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)

add_library(paintmode STATIC
    PaintCanvas.cpp
    PaintHost.cpp
    PaintState.cpp
    PaintToolPanel.cpp
    PaintUndoStore.cpp
    PaintViewMath.cpp)
target_link_libraries(paintmode PUBLIC editorui editorshell_core qlcodec)
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files ${res_dir}/cursor/3440.png)
    foreach(f 3430 3431 3432 3433 3434 3435 3436 3437)
        list(APPEND res_files ${res_dir}/icon/${f}.png)
    endforeach()
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(paintmode paintmode_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(paintmode quillo_skin)
endblock()

# A pen that blends the foreground colour through StrokeStamp and draws the
# brush outline; built beside the tests, never shipped.
add_library(test_paint_pen MODULE tests/plugins/TestPen.cpp)
set_target_properties(test_paint_pen PROPERTIES PREFIX "" SUFFIX ".qli"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/paint_fixtures)
add_library(test_paint_refusing MODULE tests/plugins/TestPen.cpp)
target_compile_definitions(test_paint_refusing PRIVATE TEST_PEN_REFUSES=1)
set_target_properties(test_paint_refusing PROPERTIES PREFIX "" SUFFIX ".qli"
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/paint_fixtures)

quillo_add_test(paintmode_core_tests
    SOURCES
        tests/PaintHostTest.cpp
        tests/PaintViewMathTest.cpp
        tests/PaintUndoStoreTest.cpp
    LIBS paintmode)

quillo_add_test(paintmode_window_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/PaintWindowTest.cpp
    LIBS paintmode editorshell_windows
    QT NO_MAIN)
if(TARGET paintmode_window_tests)
    target_compile_definitions(paintmode_window_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests"
        QUILLO_PAINT_FIXTURES="${CMAKE_BINARY_DIR}/tests/paint_fixtures")
    add_dependencies(paintmode_window_tests quillo_skin test_paint_pen test_paint_refusing)
endif()

# The main view holds the paint window.
if(TARGET editorshell_windows)
    target_link_libraries(editorshell_windows PUBLIC paintmode)
endif()
