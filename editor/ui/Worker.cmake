# The algorithm worker thread and the text prompt.
target_sources(editorui_controls PRIVATE
    AlgorithmThread.cpp
    AlgorithmThreadInstance.cpp
    PromptForText.cpp)

quillo_add_test(editorui_worker_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        tests/AlgorithmThreadTest.cpp
        tests/PromptForTextTest.cpp
        tests/SkinResourcesTest.cpp
    LIBS editorui
    QT NO_MAIN)

# The skin's resource pictures (bitmap 329, the hand cursor 131), drawn by
# assets/ and compiled in as :/res/bitmap/329.png and :/res/cursor/131.png.
if(TARGET quillo_skin)
    find_package(Qt6 REQUIRED COMPONENTS Core)
    set(editor_res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(editor_res_files ${editor_res_dir}/bitmap/329.png ${editor_res_dir}/cursor/131.png)
    set_source_files_properties(${editor_res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(editorui_res editor_skin_resources PREFIX "/res" BASE ${editor_res_dir} FILES ${editor_res_files})
    add_dependencies(editorui_res quillo_skin)
endif()
