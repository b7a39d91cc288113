# "Open File": the editor's own open dialog, its template, menu and pictures.
target_sources(editorshell_frame PRIVATE OpenFileDialog.cpp OpenFileThumbList.cpp)
target_sources(editorshell_frame_tables PRIVATE res/OpenDialogResources.cpp)
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files)
    foreach(f icon/287 icon/288 icon/289 icon/290 icon/291 bitmap/292)
        list(APPEND res_files ${res_dir}/${f}.png)
    endforeach()
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(editorshell_frame open_dialog_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
endblock()

quillo_add_test(editorshell_open_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/PhotosTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/platform/raw/tests/RawTestFiles.cpp
        tests/OpenFileDialogTest.cpp
    LIBS editorshell_frame TIFF::TIFF
    QT NO_MAIN)
if(TARGET editorshell_open_tests)
    target_compile_definitions(editorshell_open_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(editorshell_open_tests quillo_skin)
endif()
