# The skin: settings and skin pictures, skinned dialog bases and controls,
# the hint window, and a demo dialog that shows them together.
target_sources(editorui_controls PRIVATE
    AppSettings.cpp
    ButtonST.cpp
    HintWnd.cpp
    ImgButton.cpp
    ImgSliderCtrl.cpp
    SkinDialog.cpp
    SkinDrawing.cpp
    SkinPropertyPage.cpp
    SkinTabCtrl.cpp
    TwoStatusCheck.cpp)

quillo_add_test(editorui_skin_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        tests/SkinTestSupport.cpp
        tests/SkinDrawingTest.cpp
        tests/AppSettingsTest.cpp
        tests/SkinDialogTest.cpp
        tests/ButtonSTTest.cpp
        tests/ImgButtonTest.cpp
        tests/HintWndTest.cpp
        tests/ImgSliderCtrlTest.cpp
    LIBS editorui
    QT NO_MAIN)


add_subdirectory(demo)
