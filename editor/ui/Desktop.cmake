# The skinned controls on the desktop: offscreen, and under Xvfb and openbox
# with the skin demo (see quillo_add_x11_test).
if(TARGET editorui_demo_parts)
    quillo_add_test(editorui_desktop_tests
        SOURCES
            ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
            tests/SkinDesktopTest.cpp
            tests/SkinTestSupport.cpp
        LIBS editorui_demo_parts editorui
        QT NO_MAIN)
    quillo_add_x11_test(editorui_x11_tests
        SOURCES
            ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
            tests/SkinDemoX11Test.cpp
            tests/SkinTestSupport.cpp
        LIBS editorui_demo_parts editorui)
    foreach(t editorui_desktop_tests editorui_x11_tests)
        if(TARGET ${t})
            if(TARGET quillo_skin)
                add_dependencies(${t} quillo_skin)
            endif()
        endif()
    endforeach()
endif()
