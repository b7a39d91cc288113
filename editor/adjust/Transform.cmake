# The geometry dialogs: Image Size, beside the frame that runs them.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
add_library(editoradjust_transform STATIC ImageSizeDlg.cpp)
# The frame runs these dialogs, and they use its background worker.
target_link_libraries(editoradjust_transform PUBLIC editorshell_frame algorithms)
target_link_libraries(editorshell_frame PUBLIC editoradjust_transform)
add_library(editoradjust_transform_tables OBJECT res/TransformResources.cpp)
target_link_libraries(editoradjust_transform_tables PRIVATE qlafx)
target_link_libraries(editoradjust_transform INTERFACE $<TARGET_OBJECTS:editoradjust_transform_tables>)

quillo_add_test(editoradjust_transform_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/AdjustTestSupport.cpp
        tests/ImageSizeDlgTest.cpp
    LIBS editoradjust_transform
    QT NO_MAIN)
if(TARGET editoradjust_transform_tests)
    target_compile_definitions(editoradjust_transform_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(editoradjust_transform_tests quillo_skin)
endif()
