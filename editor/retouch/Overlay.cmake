# Text and pictures over the photo: the overlay sheet with its pages, the
# text renderer, the ".tset" files and the navigator.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)

# The arithmetic, the files and the text renderer: no windows.
add_library(overlaycore STATIC
    MonthCalendar.cpp
    OverlayLayout.cpp
    TextRender.cpp
    TextSettings.cpp)
target_link_libraries(overlaycore PUBLIC algorithms qlafx_gdi)

# The navigator serves the main view too, so it needs nothing of the shell.
add_library(navigator STATIC NavigatorWnd.cpp)
target_link_libraries(navigator PUBLIC overlaycore editorui)

add_library(overlay STATIC
    InsTextPage.cpp
    InsertImageDlg.cpp
    LayerPage.cpp
    NavigationPage.cpp
    OverlayCommands.cpp
    OverlaySheet.cpp
    SelectMonthDlg.cpp)
target_link_libraries(overlay PUBLIC navigator editorshell_core qlcodec)
add_library(overlay_tables OBJECT res/OverlayResources.cpp)
target_link_libraries(overlay_tables PRIVATE qlafx)
target_link_libraries(overlay INTERFACE $<TARGET_OBJECTS:overlay_tables>)

# Our own icons on the balloon buttons and the place button.
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files)
    foreach(f 1263 1537 1538 1539 1540 1541 1542 1543 1544 1545)
        list(APPEND res_files ${res_dir}/icon/${f}.png)
    endforeach()
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(overlay overlay_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(overlay quillo_skin)
endblock()

quillo_add_test(overlay_core_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        tests/OverlayLayoutTest.cpp
        tests/TextRenderTest.cpp
        tests/TextSettingsTest.cpp
    LIBS overlaycore
    QT NO_MAIN)

quillo_add_test(overlay_dialogs_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/EffectDialogTestEnv.cpp
        tests/NavigatorWndTest.cpp
        tests/OverlaySheetTest.cpp
    LIBS overlay
    QT NO_MAIN)
if(TARGET overlay_dialogs_tests)
    target_compile_definitions(overlay_dialogs_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(overlay_dialogs_tests quillo_skin)
endif()

# The main view shows the navigator; the frame runs the sheet.
if(TARGET editorshell_windows)
    target_link_libraries(editorshell_windows PUBLIC navigator)
endif()
if(TARGET editorshell_frame)
    target_link_libraries(editorshell_frame PUBLIC overlay)
endif()
