# The photo-fix wizard "What's wrong with your photo?", "Erase Redeye" and
# the skin-tone step of Digital Beauty with the command that chains its
# three steps.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)

add_library(adjust_wizard STATIC RedEyeDlg.cpp DigitalBeautyDlg.cpp WhatsWrongDlg.cpp)
# Red eye builds on the click-edit base, Digital Beauty chains the retouch
# steps; the wizard reaches every adjustment dialog through its runners.
target_link_libraries(adjust_wizard PUBLIC retouch_dialogs adjust_repair editorshell_frame qlcodec)
add_library(adjust_wizard_tables OBJECT res/WizardResources.cpp)
target_link_libraries(adjust_wizard_tables PRIVATE qlafx)
target_link_libraries(adjust_wizard INTERFACE $<TARGET_OBJECTS:adjust_wizard_tables>)
add_dependencies(adjust_wizard quillo_skin)
# The frame's command table runs the dialogs.
target_link_libraries(editorshell_frame PUBLIC adjust_wizard)

quillo_add_test(adjust_wizard_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/shell/tests/ShellWindowsTestSupport.cpp
        tests/AdjustTestSupport.cpp
        tests/RedEyeDlgTest.cpp
        tests/DigitalBeautyDlgTest.cpp
        tests/WhatsWrongDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET adjust_wizard_tests)
    target_compile_definitions(adjust_wizard_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(adjust_wizard_tests quillo_skin)
endif()
