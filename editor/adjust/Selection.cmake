# "Select an Area", "Smart Erase" and "Tone Maker": the selection maths is
# headless (the benchmarks link it); the dialogs join the frame's library.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)

add_library(adjust_selection_core STATIC SelectionMask.cpp)
target_link_libraries(adjust_selection_core PUBLIC algorithms)
# The per-pixel loops are written branch-free for the vector units; -O2's
# cheapest cost model would leave them scalar.
set_source_files_properties(SelectionMask.cpp PROPERTIES COMPILE_OPTIONS "-fvect-cost-model=dynamic")

add_library(adjust_selection STATIC SelectionDlg.cpp SmartEraseDlg.cpp MonoToneSheet.cpp)
# Tone Maker saves its block as a colour theme step.
target_link_libraries(adjust_selection PUBLIC adjust_selection_core adjust_tone editorshell_frame)
add_library(adjust_selection_tables OBJECT res/SelectionResources.cpp)
target_link_libraries(adjust_selection_tables PRIVATE qlafx)
target_link_libraries(adjust_selection INTERFACE $<TARGET_OBJECTS:adjust_selection_tables>)
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files)
    foreach(f icon/3410 icon/3411 icon/3412 icon/3413 icon/3414 icon/3415 icon/3416
              cursor/3420 cursor/3421 cursor/3422 cursor/3423)
        list(APPEND res_files ${res_dir}/${f}.png)
    endforeach()
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(adjust_selection adjust_selection_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(adjust_selection quillo_skin)
endblock()
# The frame's command table runs the dialogs.
target_link_libraries(editorshell_frame PUBLIC adjust_selection)

quillo_add_test(adjust_selection_core_tests
    SOURCES tests/SelectionMaskTest.cpp
    LIBS adjust_selection_core)

quillo_add_test(adjust_selection_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/AdjustTestSupport.cpp
        tests/SelectionDlgTest.cpp
        tests/MonoToneSheetTest.cpp
    LIBS adjust_selection
    QT NO_MAIN)
if(TARGET adjust_selection_tests)
    target_compile_definitions(adjust_selection_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(adjust_selection_tests quillo_skin)
endif()
