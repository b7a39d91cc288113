# The geometry dialogs: Image Size, Transform, Perspective Crop and Modify
# Shape, beside the frame that runs them.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
add_library(editoradjust_transform STATIC ImageSizeDlg.cpp ModifyShapeDlg.cpp PerspectiveDlg.cpp TransformDlg.cpp)
# The frame runs these dialogs, and they use its background worker.
target_link_libraries(editoradjust_transform PUBLIC editorshell_frame algorithms)
target_link_libraries(editorshell_frame PUBLIC editoradjust_transform)
add_library(editoradjust_transform_tables OBJECT res/TransformResources.cpp)
target_link_libraries(editoradjust_transform_tables PRIVATE qlafx)
target_link_libraries(editoradjust_transform INTERFACE $<TARGET_OBJECTS:editoradjust_transform_tables>)

# The icons come from the generator in assets/, which comes before this folder.
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files)
    foreach(f 159 160 161 162 163 167 317)
        list(APPEND res_files ${res_dir}/icon/${f}.png)
    endforeach()
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(editoradjust_transform editoradjust_transform_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(editoradjust_transform quillo_skin)
endblock()

quillo_add_test(editoradjust_transform_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/AdjustTestSupport.cpp
        tests/ImageSizeDlgTest.cpp
        tests/ModifyShapeDlgTest.cpp
        tests/PerspectiveDlgTest.cpp
        tests/TransformDlgTest.cpp
    LIBS editoradjust_transform
    QT NO_MAIN)
if(TARGET editoradjust_transform_tests)
    target_compile_definitions(editoradjust_transform_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(editoradjust_transform_tests quillo_skin)
endif()
