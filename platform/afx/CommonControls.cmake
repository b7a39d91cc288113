# The common controls (trackbar, progress bar, scroll bar, up-down, combo
# box, list box, list and tree views, tab control, tool tips) and image
# lists of the qlafx library. Included from CMakeLists.txt.
target_sources(qlafx PRIVATE
    ComboBox.cpp
    CommonControls.cpp
    ImageList.cpp
    ListBox.cpp
    ListView.cpp
    Progress.cpp
    ScrollBar.cpp
    TabControl.cpp
    ToolTip.cpp
    Trackbar.cpp
    TreeView.cpp
    UpDown.cpp)

quillo_add_test(qlafx_controls_tests
    SOURCES
        tests/TestMain.cpp
        tests/CommonControlBoxTest.cpp
        tests/CommonControlImageListTest.cpp
        tests/CommonControlListViewTest.cpp
        tests/CommonControlSmallTest.cpp
        tests/CommonControlTrackbarTest.cpp
        tests/CommonControlTreeViewTest.cpp
        tests/data/gdi_test_res.qrc
    LIBS qlafx
    QT NO_MAIN)
