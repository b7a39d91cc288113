# Plug-ins: the table, the paint-tool callbacks, the menus, the manager and
# the frame's plug-in commands; the rules that let a .qli use the program's
# own copy of our libraries; the test plug-ins.
target_sources(editorshell_windows PRIVATE PaintToolHost.cpp PluginHost.cpp PluginManagerDlg.cpp PluginMenu.cpp)
target_sources(editorshell_dialog_tables PRIVATE res/PluginResources.cpp)
target_sources(editorshell_frame PRIVATE PluginCommands.cpp)

# A program that loads plug-ins exports its symbols and holds every object
# of the libraries plug-ins may call, so a .qli, which links none of them,
# never meets an undefined or a second copy of a symbol.
function(quillo_plugin_host target)
    set_target_properties(${target} PROPERTIES ENABLE_EXPORTS ON)
    set(whole)
    foreach(lib imagecore qlcodec algorithms qlwin qlafx qlafx_gdi)
        if(TARGET ${lib})
            list(APPEND whole $<TARGET_FILE:${lib}>)
        endif()
    endforeach()
    target_link_options(${target} PRIVATE LINKER:--whole-archive ${whole} LINKER:--no-whole-archive)
endfunction()
quillo_plugin_host(QuilloEditor)

# quillo_test_plugin(<name> <source> [definitions...]): a .qli for the tests,
# built beside them and never shipped.
function(quillo_test_plugin name source)
    add_library(${name} MODULE ${source})
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".qli"
        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/plugin_fixtures)
    target_compile_definitions(${name} PRIVATE ${ARGN})
endfunction()

quillo_test_plugin(test_effect_a tests/plugins/TestEffect.cpp TEST_EFFECT_NAME="A")
quillo_test_plugin(test_effect_b tests/plugins/TestEffect.cpp TEST_EFFECT_NAME="B")
quillo_test_plugin(test_ownui_result tests/plugins/TestOwnUI.cpp TEST_OWNUI_ANSWER=1)
quillo_test_plugin(test_ownui_none tests/plugins/TestOwnUI.cpp TEST_OWNUI_ANSWER=0)
quillo_test_plugin(test_no_entry tests/plugins/TestNoEntry.cpp)
quillo_test_plugin(test_wrong_kind tests/plugins/TestWrongKind.cpp)
quillo_test_plugin(test_paint_tool tests/plugins/TestPaintTool.cpp TEST_PAINT_FILL_RESULT=0)
quillo_test_plugin(test_paint_refuses tests/plugins/TestPaintTool.cpp TEST_PAINT_FILL_RESULT=1)
# The test paint tool's own pictures, generated at build time.
add_executable(quillo_test_plugin_pictures tests/plugins/TestPluginPictures.cpp)
target_link_libraries(quillo_test_plugin_pictures PRIVATE Qt6::Gui)
set_target_properties(quillo_test_plugin_pictures PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
set(paint_pictures_dir ${CMAKE_CURRENT_BINARY_DIR}/test_paint_tool_pictures)
set(paint_pictures ${paint_pictures_dir}/icon/128.png ${paint_pictures_dir}/bitmap/140.png)
add_custom_command(OUTPUT ${paint_pictures}
    COMMAND quillo_test_plugin_pictures ${paint_pictures_dir}
    DEPENDS quillo_test_plugin_pictures VERBATIM)
quillo_plugin_pictures(test_paint_tool ${paint_pictures_dir} ${paint_pictures})
# The paint tool's icons come through the layer, whose header speaks Qt.
target_link_libraries(test_paint_tool PRIVATE Qt6::Gui)
target_link_libraries(test_paint_refuses PRIVATE Qt6::Gui)
set(quillo_test_plugins test_effect_a test_effect_b test_ownui_result test_ownui_none test_no_entry
    test_wrong_kind test_paint_tool test_paint_refuses)

quillo_add_test(editorshell_plugin_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/PhotosTestSupport.cpp
        tests/PluginTestSupport.cpp
        tests/PluginHostTest.cpp
        tests/PaintToolHostTest.cpp
        tests/PluginManagerDlgTest.cpp
        tests/PluginCommandsTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_plugin_tests)
    quillo_plugin_host(editorshell_plugin_tests)
    target_compile_definitions(editorshell_plugin_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests"
        QUILLO_TEST_PLUGIN_DIR="${CMAKE_BINARY_DIR}/tests/plugin_fixtures")
    add_dependencies(editorshell_plugin_tests quillo_skin ${quillo_test_plugins})
endif()
