# Owner-drawn bitmap menus and the small controls, the editor's menus 128
# and 234 with the icon toolbars 128, 134 and 365.
target_sources(editorui_controls PRIVATE
    BitmapMenu.cpp
    FontCache.cpp
    ImageComboBox.cpp
    LinkListCtrl.cpp
    MenuButton.cpp
    NumEdit.cpp
    PercentBar.cpp
    TextListBox.cpp)

# The menu and toolbar tables register themselves from a static object, so
# they reach every program that links editorui as an object file.
target_sources(editorui_res PRIVATE res/EditorMenus.cpp res/ImageViewMenu.cpp)

# The toolbars' icon strips, drawn by assets/ (bitmaps 128, 134, 365).
if(TARGET quillo_skin)
    find_package(Qt6 REQUIRED COMPONENTS Core)
    set(menu_res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(menu_res_files ${menu_res_dir}/bitmap/128.png ${menu_res_dir}/bitmap/134.png ${menu_res_dir}/bitmap/365.png)
    set_source_files_properties(${menu_res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(editorui_res editor_menu_icons PREFIX "/res" BASE ${menu_res_dir} FILES ${menu_res_files})
endif()

quillo_add_test(editorui_menus_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        tests/SkinTestSupport.cpp
        tests/BitmapMenuTest.cpp
        tests/SmallControlsTest.cpp
    LIBS editorui
    QT NO_MAIN)
