# The effect parameter description and its value text, the effect dialog
# base with its view-mode strip and layer set-up, the parameter dialog and
# the text overlay's effects page.
target_sources(editorui_controls PRIVATE
    EffectDescription.cpp
    FilterBlend.cpp
    FilterDlg.cpp
    EffectDlg.cpp
    EffecPage.cpp)

quillo_add_test(editorui_effectdesc_tests
    SOURCES tests/EffectDescriptionTest.cpp tests/FilterBlendTest.cpp
    LIBS editorui)

# The view-mode strip (bitmap 350), the dialogs' icon (227) and the mask
# mark (343), drawn by assets/.
if(TARGET quillo_skin)
    find_package(Qt6 REQUIRED COMPONENTS Core)
    set(effect_res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(effect_res_files ${effect_res_dir}/bitmap/350.png ${effect_res_dir}/icon/227.png ${effect_res_dir}/icon/343.png)
    set_source_files_properties(${effect_res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(editorui_res editor_effect_dialog_pictures PREFIX "/res" BASE ${effect_res_dir} FILES ${effect_res_files})
endif()

quillo_add_test(editorui_effectdlg_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        tests/SkinTestSupport.cpp
        tests/EffectDialogTestEnv.cpp
        tests/FilterDlgTest.cpp
        tests/EffectDlgTest.cpp
        tests/EffecPageTest.cpp
    LIBS editorui
    QT NO_MAIN)
if(TARGET editorui_effectdlg_tests)
    target_compile_definitions(editorui_effectdlg_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    if(TARGET quillo_skin)
        add_dependencies(editorui_effectdlg_tests quillo_skin)
    endif()
endif()
