# Colour controls: the Select Color dialog with its swatch, the hue range
# bar with the preview button, and the parameter grid of the effect
# parameter dialog.
target_sources(editorui_controls PRIVATE
    SelectColorDlg.cpp
    HueRangeCtrl.cpp
    EffectParam.cpp
    ParamSliderDlg.cpp
    ParamGridCtrl.cpp)

set(colorcontrols_test_sources
    ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
    tests/SkinTestSupport.cpp
    tests/SelectColorDlgTest.cpp
    tests/HueRangeCtrlTest.cpp
    tests/ParamGridCtrlTest.cpp)

# The preview button embeds the zoom view.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/ZoomView.cmake)
    target_sources(editorui_controls PRIVATE PreviewButton.cpp)
    list(APPEND colorcontrols_test_sources tests/PreviewButtonTest.cpp)
endif()

quillo_add_test(editorui_colorcontrols_tests
    SOURCES ${colorcontrols_test_sources}
    LIBS editorui
    QT NO_MAIN)
if(TARGET editorui_colorcontrols_tests)
    target_compile_definitions(editorui_colorcontrols_tests PRIVATE QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin")
    if(TARGET quillo_skin)
        add_dependencies(editorui_colorcontrols_tests quillo_skin)
    endif()
endif()
