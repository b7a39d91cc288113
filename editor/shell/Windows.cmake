# The editor shell's windows: the main view with its image view, the history
# bar and the histogram panel. Window code on the layer, beside the headless
# core.
# Qt's targets are imported per folder, and this one comes before the layer.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
add_library(editorshell_windows STATIC
    BackdropWnd.cpp
    FunctionBar.cpp
    HistogramPanel.cpp
    HistoryBar.cpp
    MainImageView.cpp
    MainView.cpp)
target_link_libraries(editorshell_windows PUBLIC editorui editorshell_core)
# The paint window; its library joins from editor/retouch.
target_sources(editorshell_windows PRIVATE ViewContainer.cpp)

quillo_add_test(editorshell_windows_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/HistogramPanelTest.cpp
        tests/HistoryBarTest.cpp
        tests/MainImageViewTest.cpp
        tests/MainViewTest.cpp
        tests/FunctionBarTest.cpp
    LIBS editorshell_windows
    QT NO_MAIN)
if(TARGET editorshell_windows_tests)
    target_compile_definitions(editorshell_windows_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    # The skin pictures the buttons and brushes load.
    add_dependencies(editorshell_windows_tests quillo_skin)
endif()

# The editor program: application, main frame, splash and their resources.
set(QUILLO_WEB_BASE "https://quillo.example.org/" CACHE STRING "Base of the web pages the editor's Help items open")
add_library(editorshell_frame STATIC
    DialogRunners.cpp
    EditorApp.cpp
    FrameCommands.cpp
    MainFrame.cpp
    SplashDlg.cpp)
target_link_libraries(editorshell_frame PUBLIC editorshell_windows)
target_compile_definitions(editorshell_frame PRIVATE QUILLO_WEB_BASE="${QUILLO_WEB_BASE}")
# The tables register themselves from a static object, so they are linked
# as an object file into everything that links the frame.
add_library(editorshell_frame_tables OBJECT res/EditorFrameResources.cpp)
target_link_libraries(editorshell_frame_tables PRIVATE qlafx)
target_link_libraries(editorshell_frame INTERFACE $<TARGET_OBJECTS:editorshell_frame_tables>)
# assets/ comes later in the tree; its pictures are generated before use.
block()
    set(frame_res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(frame_res_files)
    foreach(f bitmap/140 bitmap/143 bitmap/144 bitmap/145 icon/128)
        list(APPEND frame_res_files ${frame_res_dir}/${f}.png)
    endforeach()
    set_source_files_properties(${frame_res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(editorshell_frame editor_frame_pictures PREFIX "/res" BASE ${frame_res_dir} FILES ${frame_res_files})
    add_dependencies(editorshell_frame quillo_skin)
endblock()

# The shell's small dialogs: the notice serves every window; the tip of the
# day, settings and the overwrite warning belong to the program.
block()
    target_sources(editorshell_windows PRIVATE NoticeDlg.cpp)
    target_sources(editorshell_frame PRIVATE OverwriteDlg.cpp SettingsDlg.cpp TipDlg.cpp)
    add_library(editorshell_dialog_tables OBJECT res/ShellDialogResources.cpp)
    target_link_libraries(editorshell_dialog_tables PRIVATE qlafx)
    target_link_libraries(editorshell_windows INTERFACE $<TARGET_OBJECTS:editorshell_dialog_tables>)
    set(QUILLO_VERSION_TEXT "1.0" CACHE STRING "The editor's version, as its what's-new page is asked for it")
    target_compile_definitions(editorshell_frame PRIVATE QUILLO_VERSION_TEXT="${QUILLO_VERSION_TEXT}")
endblock()

add_executable(QuilloEditor EditorMain.cpp)
target_link_libraries(QuilloEditor PRIVATE editorshell_frame)
set_target_properties(QuilloEditor PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

quillo_add_test(editorshell_frame_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/MainFrameTest.cpp
        tests/BackdropWndTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_frame_tests)
    target_compile_definitions(editorshell_frame_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests"
        QUILLO_WEB_BASE_FOR_TEST="${QUILLO_WEB_BASE}"
        QUILLO_EDITOR_PROGRAM="$<TARGET_FILE:QuilloEditor>")
    add_dependencies(editorshell_frame_tests quillo_skin QuilloEditor)
endif()

# The shell's small dialogs and the what's-new address.
quillo_add_test(editorshell_dialogs_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/ShellDialogsTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_dialogs_tests)
    target_compile_definitions(editorshell_dialogs_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests"
        QUILLO_WEB_BASE_FOR_TEST="${QUILLO_WEB_BASE}"
        QUILLO_VERSION_FOR_TEST="${QUILLO_VERSION_TEXT}")
    add_dependencies(editorshell_dialogs_tests quillo_skin)
endif()

# JPEG save schemes and "Jpeg Slimming", part of the frame's library (the
# dialog updates the frame's title); its template is linked as an object.
target_sources(editorshell_frame PRIVATE SaveSchemes.cpp JpegOptimizeDlg.cpp)
target_sources(editorshell_frame_tables PRIVATE res/JpegOptimizeResources.cpp)
quillo_add_test(editorshell_save_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/SaveSchemesTest.cpp
        tests/JpegOptimizeDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_save_tests)
    target_compile_definitions(editorshell_save_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(editorshell_save_tests quillo_skin quillo_savesets)
endif()

# Saving: the save-mode dialog, its modes and their small dialogs, in the
# frame's library beside "Jpeg Slimming" that Save for web runs.
target_sources(editorshell_frame PRIVATE
    BackgroundWork.cpp
    JpegQualityDlg.cpp
    JpegTestEncoder.cpp
    SaveActions.cpp
    SaveForPrintDlg.cpp
    SaveModeDlg.cpp
    SaveWithSizeDlg.cpp)
target_sources(editorshell_frame_tables PRIVATE res/SaveResources.cpp)
quillo_add_test(editorshell_savemode_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/SaveTestSupport.cpp
        tests/SaveDialogsTest.cpp
        tests/SaveActionsTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_savemode_tests)
    target_compile_definitions(editorshell_savemode_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(editorshell_savemode_tests quillo_skin)
endif()

# The photo's property and EXIF dialogs, the function choice and the
# preview open dialog, with their templates and pictures.
target_sources(editorshell_frame PRIVATE
    EditExifDlg.cpp
    ImagePropertyDlg.cpp
    PicViewFileDlg.cpp
    SelectFunctionDlg.cpp)
target_sources(editorshell_frame_tables PRIVATE res/PropertyDialogResources.cpp)
block()
    set(icon_file ${CMAKE_BINARY_DIR}/assets/res/icon/147.png)
    set_source_files_properties(${icon_file} PROPERTIES GENERATED TRUE)
    qt_add_resources(editorshell_frame shell_dialog_pictures PREFIX "/res" BASE ${CMAKE_BINARY_DIR}/assets/res
        FILES ${icon_file})
endblock()

quillo_add_test(editorshell_property_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/ImagePropertyDlgTest.cpp
        tests/EditExifDlgTest.cpp
        tests/SelectFunctionDlgTest.cpp
        tests/PicViewFileDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_property_tests)
    target_compile_definitions(editorshell_property_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(editorshell_property_tests quillo_skin)
endif()

# Printing: the image printer the album shares, and the print dialog.
include(Print.cmake)

# Photos in and out: opening, browsing, QuilloKit, the sibling programs and
# the editing commands.
include(Photos.cmake)

# Camera RAW files developed in the editor.
find_package(TIFF REQUIRED)
target_sources(editorshell_frame PRIVATE RawOpen.cpp)
target_link_libraries(editorshell_frame PUBLIC qlraw)
quillo_add_test(editorshell_raw_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/platform/raw/tests/RawTestFiles.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/PhotosTestSupport.cpp
        tests/RawOpenTest.cpp
    LIBS editorshell_frame TIFF::TIFF
    QT NO_MAIN)
if(TARGET editorshell_raw_tests)
    target_compile_definitions(editorshell_raw_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests"
        QUILLO_EDITOR_PROGRAM="$<TARGET_FILE:QuilloEditor>"
        QUILLO_FAKE_SIBLING="$<TARGET_FILE:quillo_fake_sibling>"
        QUILLO_TEST_KIT="$<TARGET_FILE:quillo_test_kit>")
    add_dependencies(editorshell_raw_tests quillo_skin)
endif()
# Plug-ins: host, menus, manager and the frame's plug-in commands.
include(Plugins.cmake)
# The editor's own open dialog.
include(OpenDialog.cmake)
