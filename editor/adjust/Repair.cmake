# Repair and lens-effect dialogs: Anti Purple Fringing, Get Rid of Dark
# Corners, Defog, Highlight Diffuse, Noise Reduction, Advanced Skin Clean,
# Quillo Sharpen, Gradient Filter, Lose Focus Blur and Star Light, and the
# logo settings of the frame template editor. Their arithmetic is headless.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)

add_library(adjust_repair_rules STATIC RepairRules.cpp)
target_link_libraries(adjust_repair_rules PUBLIC algorithms qlcodec)

add_library(adjust_repair STATIC
    RepairDlg.cpp AntiPurpleDlg.cpp DarkSideDlg.cpp FogoffFilterDlg.cpp HighlightDiffuseDlg.cpp
    NoiseReductionDlg.cpp NRCleanDlg.cpp QuilloSharpenDlg.cpp GradientFilterDlg.cpp LensBlurDlg.cpp
    StarLightDlg.cpp LogoSettingsDlg.cpp)
# The pick button and marker pictures come with the tone dialogs' library.
target_link_libraries(adjust_repair PUBLIC adjust_repair_rules adjust_tone editorui editorshell_core)
add_library(adjust_repair_tables OBJECT res/RepairResources.cpp)
target_link_libraries(adjust_repair_tables PRIVATE qlafx)
target_link_libraries(adjust_repair INTERFACE $<TARGET_OBJECTS:adjust_repair_tables>)
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files ${res_dir}/icon/293.png)
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(adjust_repair adjust_repair_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(adjust_repair quillo_skin)
endblock()
# The frame's command table runs the dialogs.
target_link_libraries(editorshell_frame PUBLIC adjust_repair)

quillo_add_test(adjust_repair_rules_tests
    SOURCES tests/RepairRulesTest.cpp
    LIBS adjust_repair_rules)

quillo_add_test(adjust_repair_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/AdjustTestSupport.cpp
        tests/RepairDlgTest.cpp
        tests/LensEffectDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET adjust_repair_tests)
    target_compile_definitions(adjust_repair_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(adjust_repair_tests quillo_skin)
endif()
