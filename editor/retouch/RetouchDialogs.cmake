# Retouch and geometry dialogs: Correct Barrel Distort and the distortion
# chooser, Free Rotate, Extend Cavas, the rectangle of Edit > Copy, Descreening, Photography Conception Adjustment,
# Gauss Blur and Select Brush.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)

add_library(retouch_dialogs STATIC BarrelDistortDlg.cpp CanvasSizeDlg.cpp ClickEditDlg.cpp ContentResizeDlg.cpp CopyDlg.cpp CorrectDistortionDlg.cpp
    DescreenDlg.cpp FilmAspectAdjustDlg.cpp FreeRotateDlg.cpp GaussBlurDlg.cpp SelectBrushDlg.cpp SkinEffectDlg.cpp)
# The effect dialogs share the repair dialogs' base and the theme saving, the
# chooser runs Perspective Crop; the frame gives the background worker and the clipboard.
target_link_libraries(retouch_dialogs PUBLIC algorithms adjust_repair adjust_tone editoradjust_transform editorshell_frame
    qlcodec)
# "Define" of content-aware resizing runs Select an Area.
target_link_libraries(retouch_dialogs PUBLIC adjust_selection)
add_library(retouch_dialogs_tables OBJECT res/RetouchDialogResources.cpp)
target_link_libraries(retouch_dialogs_tables PRIVATE qlafx)
target_link_libraries(retouch_dialogs INTERFACE $<TARGET_OBJECTS:retouch_dialogs_tables>)
# The slider's end pictures, the rotate cursor and the guide grip come from
# the generator in assets/.
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files ${res_dir}/bitmap/299.png ${res_dir}/bitmap/302.png ${res_dir}/cursor/252.png
        ${res_dir}/icon/294.png ${res_dir}/icon/213.png ${res_dir}/icon/229.png)
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(retouch_dialogs retouch_dialogs_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(retouch_dialogs quillo_skin)
endblock()
# The frame's command table runs the dialogs.
target_link_libraries(editorshell_frame PUBLIC retouch_dialogs)

quillo_add_test(retouch_dialogs_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/adjust/tests/AdjustTestSupport.cpp
        tests/BarrelDistortDlgTest.cpp
        tests/CanvasSizeDlgTest.cpp
        tests/ClickEditDlgTest.cpp
        tests/ContentResizeDlgTest.cpp
        tests/CopyDlgTest.cpp
        tests/CorrectDistortionDlgTest.cpp
        tests/DescreenDlgTest.cpp
        tests/FilmAspectAdjustDlgTest.cpp
        tests/FreeRotateDlgTest.cpp
        tests/GaussBlurDlgTest.cpp
        tests/SelectBrushDlgTest.cpp
        tests/SkinEffectDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET retouch_dialogs_tests)
    target_compile_definitions(retouch_dialogs_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(retouch_dialogs_tests quillo_skin)
endif()
