# Multi-shot merging: the works that merge several shots into the open photo
# and their dialogs. The merge itself needs no window, so its tests and the
# benchmark open none.
# Qt's targets are imported per folder.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
add_library(multishot STATIC
    AntiShakeStepDlg.cpp
    HDRDetailDlg.cpp
    MultiPhotoSelectDlg.cpp
    MultiProgressDlg.cpp
    MultiShootDlg.cpp
    MultiWork.cpp
    MultiWorkRun.cpp)
target_link_libraries(multishot PUBLIC algorithms editorui editorshell_core qlcodec)
# The templates register themselves from a static object.
add_library(multishot_tables OBJECT res/MultiShotResources.cpp)
target_link_libraries(multishot_tables PRIVATE qlafx)
target_link_libraries(multishot INTERFACE $<TARGET_OBJECTS:multishot_tables>)

quillo_add_test(multishot_tests
    SOURCES tests/MultiWorkTest.cpp
    LIBS multishot)

quillo_add_test(multishot_dialogs_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/EffectDialogTestEnv.cpp
        tests/MultiDialogsTest.cpp
    LIBS multishot
    QT NO_MAIN)
if(TARGET multishot_dialogs_tests)
    target_compile_definitions(multishot_dialogs_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(multishot_dialogs_tests quillo_skin)
endif()

# The frame's command table runs the works.
if(TARGET editorshell_frame)
    target_link_libraries(editorshell_frame PUBLIC multishot)
endif()
