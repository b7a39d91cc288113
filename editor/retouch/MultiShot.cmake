# Multi-shot merging: the works that merge several shots into the open photo
# (headless, so the benchmark links them) and their dialogs.
add_library(multishot STATIC MultiWork.cpp)
target_link_libraries(multishot PUBLIC algorithms editorshell_core qlcodec)

quillo_add_test(multishot_tests
    SOURCES tests/MultiWorkTest.cpp
    LIBS multishot)

# Qt's targets are imported per folder.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets)
add_library(multishot_dialogs STATIC
    AntiShakeStepDlg.cpp
    MultiPhotoSelectDlg.cpp
    MultiProgressDlg.cpp)
target_link_libraries(multishot_dialogs PUBLIC multishot editorui)
# The templates register themselves from a static object.
add_library(multishot_tables OBJECT res/MultiShotResources.cpp)
target_link_libraries(multishot_tables PRIVATE qlafx)
target_link_libraries(multishot_dialogs INTERFACE $<TARGET_OBJECTS:multishot_tables>)

quillo_add_test(multishot_dialogs_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/EffectDialogTestEnv.cpp
        tests/MultiDialogsTest.cpp
    LIBS multishot_dialogs
    QT NO_MAIN)
if(TARGET multishot_dialogs_tests)
    target_compile_definitions(multishot_dialogs_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(multishot_dialogs_tests quillo_skin)
endif()
