# Photo frames in the editor: "Frame and Signature" with its loader thread,
# the template list, the template editor and its settings dialogs, and the
# free-shape template maker. The loader and the list it works on need no
# dialog, so their tests (also run under ThreadSanitizer) open none.
find_package(Qt6 REQUIRED COMPONENTS Core)

add_library(frameloader STATIC FrameList.cpp FrameLoadThread.cpp)
target_link_libraries(frameloader PUBLIC framerenderer qlafx)

quillo_add_test(frameloader_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        tests/FrameLoadThreadTest.cpp
        tests/FrameListTest.cpp
    LIBS frameloader
    QT NO_MAIN)

add_library(framedialogs STATIC
    AddFrameDlg.cpp
    FreeFrameTemplateDlg.cpp
    TemplateEditDlg.cpp
    TemplateSettingsDlgs.cpp
    TemplatesEditDlg.cpp)
# The logo button runs the repair dialogs' logo settings.
target_link_libraries(framedialogs PUBLIC frameloader editorui editorshell_core qlcodec adjust_repair)
add_library(framedialogs_tables OBJECT res/FrameDialogResources.cpp)
target_link_libraries(framedialogs_tables PRIVATE qlafx)
target_link_libraries(framedialogs INTERFACE $<TARGET_OBJECTS:framedialogs_tables>)
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files ${res_dir}/icon/288.png ${res_dir}/icon/289.png ${res_dir}/icon/315.png
        ${res_dir}/icon/319.png ${res_dir}/bitmap/292.png)
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(framedialogs framedialogs_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(framedialogs quillo_skin)
endblock()
# The frame's command table runs the dialogs.
target_link_libraries(editorshell_frame PUBLIC framedialogs)

quillo_add_test(framedialogs_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/AddFrameDlgTest.cpp
        tests/TemplatesEditDlgTest.cpp
        tests/TemplateEditDlgTest.cpp
        tests/FreeFrameTemplateDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET framedialogs_tests)
    target_compile_definitions(framedialogs_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(framedialogs_tests quillo_skin quillo_frames)
endif()
