# The thumbnail list, the tab strip and the hyperlink list.
target_sources(editorui_controls PRIVATE
    HyperlinkListCtrl.cpp
    TabStrip.cpp
    ThumbListCtrl.cpp)

quillo_add_test(editorui_lists_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        tests/SkinTestSupport.cpp
        tests/ThumbListCtrlTest.cpp
        tests/TabStripTest.cpp
        tests/HyperlinkListCtrlTest.cpp
    LIBS editorui
    QT NO_MAIN)
