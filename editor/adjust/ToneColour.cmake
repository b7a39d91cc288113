# Tone, colour and exposure dialogs: the simple slider dialogs, the colour
# and exposure choosers with their pick-the-best and click-to-correct
# dialogs. The pixel functions are headless for the benchmarks.
find_package(Qt6 REQUIRED COMPONENTS Core)

add_library(adjust_colour_core STATIC ToneFunctions.cpp)
target_link_libraries(adjust_colour_core PUBLIC algorithms qlcodec)

add_library(adjust_colour STATIC
    ToneSliderDlg.cpp BrightnessContrastDlg.cpp ThresholdDlg.cpp ChannelMixerDlg.cpp DynamicRangeDlg.cpp
    AutoProcessDlg.cpp AdjustColorDlg.cpp WhiteBalanceDlg.cpp SpotMeteringDlg.cpp AutoExposureDlg.cpp
    VisualColorDlg.cpp AdjustColorChooserDlg.cpp)
target_link_libraries(adjust_colour PUBLIC adjust_colour_core adjust_tone editorui editorshell_core editorshell_windows)
add_library(adjust_colour_tables OBJECT res/ToneColourResources.cpp)
target_link_libraries(adjust_colour_tables PRIVATE qlafx)
target_link_libraries(adjust_colour INTERFACE $<TARGET_OBJECTS:adjust_colour_tables>)
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files ${res_dir}/cursor/179.png ${res_dir}/cursor/232.png ${res_dir}/icon/228.png)
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(adjust_colour adjust_colour_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(adjust_colour quillo_skin)
endblock()
# The frame's command table and the function bar run the dialogs.
target_link_libraries(editorshell_frame PUBLIC adjust_colour)

quillo_add_test(adjust_colour_core_tests
    SOURCES tests/ToneFunctionsTest.cpp
    LIBS adjust_colour_core)

quillo_add_test(adjust_colour_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/ToneSliderDlgTest.cpp
        tests/AdjustColorDlgTest.cpp
        tests/WhiteBalanceDlgTest.cpp
        tests/AutoExposureDlgTest.cpp
        tests/VisualColorDlgTest.cpp
        tests/ChooserDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET adjust_colour_tests)
    target_compile_definitions(adjust_colour_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(adjust_colour_tests quillo_skin)
endif()
