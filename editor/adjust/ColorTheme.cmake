# Tone dialogs: "Professional Histograms", "HSB Curve" and "Color Theme",
# with "Save as color theme". The curve maths is headless; the dialogs join
# the frame's library through their own, and their templates are linked as
# objects like the frame's tables.
find_package(Qt6 REQUIRED COMPONENTS Core)

add_library(adjust_curves STATIC HistogramCurve.cpp HsbCurve.cpp)
target_link_libraries(adjust_curves PUBLIC algorithms)

quillo_add_test(adjust_curves_tests
    SOURCES tests/HistogramCurveTest.cpp tests/HsbCurveTest.cpp
    LIBS adjust_curves)

add_library(adjust_tone STATIC
    ColourPick.cpp ProfHistogramDlg.cpp HSBCurveDlg.cpp SaveColorTheme.cpp ColorThemeDlg.cpp)
target_link_libraries(adjust_tone PUBLIC adjust_curves editorui editorshell_core)
add_library(adjust_tone_tables OBJECT
    res/ProfHistogramResources.cpp res/HSBCurveResources.cpp res/ColorThemeResources.cpp)
target_link_libraries(adjust_tone_tables PRIVATE qlafx)
target_link_libraries(adjust_tone INTERFACE $<TARGET_OBJECTS:adjust_tone_tables>)
block()
    set(res_dir ${CMAKE_BINARY_DIR}/assets/res)
    set(res_files ${res_dir}/icon/201.png ${res_dir}/icon/202.png ${res_dir}/icon/203.png
        ${res_dir}/cursor/204.png ${res_dir}/icon/205.png ${res_dir}/icon/257.png)
    set_source_files_properties(${res_files} PROPERTIES GENERATED TRUE)
    qt_add_resources(adjust_tone adjust_tone_pictures PREFIX "/res" BASE ${res_dir} FILES ${res_files})
    add_dependencies(adjust_tone quillo_skin)
endblock()
# The frame's command table runs the dialog.
target_link_libraries(editorshell_frame PUBLIC adjust_tone)

quillo_add_test(adjust_tone_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/ProfHistogramDlgTest.cpp
        tests/HSBCurveDlgTest.cpp
        tests/ColorThemeDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET adjust_tone_tests)
    target_compile_definitions(adjust_tone_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(adjust_tone_tests quillo_skin quillo_themes)
endif()
