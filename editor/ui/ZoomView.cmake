# The zoom view with its subclasses and the aspect-lock dialog.
target_sources(editorui_controls PRIVATE
    ZoomView.cpp
    AspectLockDlg.cpp)

# Cursors 136 to 138 and icons 164 to 166, 170 and 175 (the preview button's
# selected mark), drawn by assets/.
if(TARGET quillo_skin)
    find_package(Qt6 REQUIRED COMPONENTS Core)
    set(zoom_res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(zoom_res_files)
    foreach(f cursor/136 cursor/137 cursor/138 icon/164 icon/165 icon/166 icon/170 icon/175)
        list(APPEND zoom_res_files ${zoom_res_dir}/${f}.png)
    endforeach()
    set_source_files_properties(${zoom_res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(editorui_res editor_zoomview_pictures PREFIX "/res" BASE ${zoom_res_dir} FILES ${zoom_res_files})
endif()

quillo_add_test(editorui_zoomview_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        tests/SkinTestSupport.cpp
        tests/ZoomViewTest.cpp
    LIBS editorui
    QT NO_MAIN)
if(TARGET editorui_zoomview_tests)
    target_compile_definitions(editorui_zoomview_tests PRIVATE QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin")
    if(TARGET quillo_skin)
        add_dependencies(editorui_zoomview_tests quillo_skin)
    endif()
endif()

# The demo: menu 128 with its icons over a photo in a zoom view, as a
# program and as a test that saves an offscreen grab.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/BitmapMenu.cpp)
    add_library(editorui_zoomview_demo_parts OBJECT demo/ZoomViewDemoFrame.cpp)
    target_link_libraries(editorui_zoomview_demo_parts PUBLIC editorui)

    add_executable(quillo_zoomview_demo demo/ZoomViewDemoMain.cpp)
    target_link_libraries(quillo_zoomview_demo PRIVATE editorui_zoomview_demo_parts editorui)
    target_compile_definitions(quillo_zoomview_demo PRIVATE QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin")
    set_target_properties(quillo_zoomview_demo PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/demo)
    if(TARGET quillo_demo_icon)
        target_link_libraries(quillo_zoomview_demo PRIVATE quillo_demo_icon)
    endif()

    quillo_add_test(editorui_zoomview_demo_tests
        SOURCES
            ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
            tests/ZoomViewDemoTest.cpp
            tests/SkinTestSupport.cpp
        LIBS editorui_zoomview_demo_parts editorui
        QT NO_MAIN)
    if(TARGET editorui_zoomview_demo_tests)
        target_compile_definitions(editorui_zoomview_demo_tests PRIVATE
            QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
            QUILLO_ZOOMVIEW_DEMO_GRAB="${CMAKE_BINARY_DIR}/tests/zoomview-demo.png")
        # On a real X server at ratio 2 (Xvfb and openbox): the photo as shown.
        quillo_add_x11_test(editorui_zoomview_x11_tests
            SOURCES
                tests/ZoomViewX11Test.cpp
                tests/SkinTestSupport.cpp
            LIBS editorui_zoomview_demo_parts editorui)
        if(TARGET editorui_zoomview_x11_tests)
            target_compile_definitions(editorui_zoomview_x11_tests PRIVATE QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin")
            if(TARGET quillo_skin)
                add_dependencies(editorui_zoomview_x11_tests quillo_skin)
            endif()
        endif()
        # The same demo on a screen of device pixel ratio 2.
        add_test(NAME ZoomViewDemo2x.AtRatioTwo COMMAND editorui_zoomview_demo_tests --gtest_filter=ZoomViewDemo2x.*)
        set_tests_properties(ZoomViewDemo2x.AtRatioTwo PROPERTIES TIMEOUT 600
            ENVIRONMENT "QT_QPA_PLATFORM=offscreen;QT_SCALE_FACTOR=2")
    endif()
    if(TARGET quillo_skin)
        add_dependencies(quillo_zoomview_demo quillo_skin)
        if(TARGET editorui_zoomview_demo_tests)
            add_dependencies(editorui_zoomview_demo_tests quillo_skin)
        endif()
    endif()
endif()
