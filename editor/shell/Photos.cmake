# Photos in and out: opening, closing and browsing, the -i mode with
# QuilloKit, the sibling programs, the editing commands and the help page.
target_sources(editorshell_frame PRIVATE
    EditCommands.cpp
    KitMode.cpp
    PhotoCommands.cpp
    PhotoEditJob.cpp
    SiblingPrograms.cpp)
target_link_libraries(editorshell_frame PUBLIC algorithms ${CMAKE_DL_LIBS})
# The folder browser on its own, for the album too.
add_library(editorshell_browse STATIC FolderBrowser.cpp)
target_link_libraries(editorshell_browse PUBLIC qlafx)
target_link_libraries(editorshell_frame PUBLIC editorshell_browse)

# The help page of Help > Topics, written from the editor's menus.
add_executable(quillo_helpgen HelpPageGen.cpp)
target_link_libraries(quillo_helpgen PRIVATE qlafx $<TARGET_OBJECTS:editorui_res>)
set(help_sections ${CMAKE_SOURCE_DIR}/editor/retouch/FreeShapeTemplatesHelp.html)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/bin/QuilloEditor.html
    COMMAND quillo_helpgen ${CMAKE_BINARY_DIR}/bin/QuilloEditor.html ${help_sections}
    DEPENDS quillo_helpgen ${help_sections}
    COMMENT "Writing the editor's help page")
add_custom_target(quillo_editor_help ALL DEPENDS ${CMAKE_BINARY_DIR}/bin/QuilloEditor.html)
add_dependencies(QuilloEditor quillo_editor_help)

# Stand-ins the tests start in place of the sibling programs and QuilloKit.
set(photos_test_dir ${CMAKE_BINARY_DIR}/tests/photos)
add_executable(quillo_fake_sibling tests/FakeSibling.cpp)
set_target_properties(quillo_fake_sibling PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${photos_test_dir})
add_library(quillo_test_kit SHARED tests/TestKit.cpp)
set_target_properties(quillo_test_kit PROPERTIES OUTPUT_NAME QuilloKit PREFIX "" SUFFIX ".so"
    LIBRARY_OUTPUT_DIRECTORY ${photos_test_dir}/kit)

quillo_add_test(editorshell_photos_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/PhotosTestSupport.cpp
        tests/PhotoCommandsTest.cpp
        tests/EditCommandsTest.cpp
        tests/KitModeTest.cpp
        tests/SiblingProgramsTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_photos_tests)
    target_compile_definitions(editorshell_photos_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests"
        QUILLO_EDITOR_PROGRAM="$<TARGET_FILE:QuilloEditor>"
        QUILLO_FAKE_SIBLING="$<TARGET_FILE:quillo_fake_sibling>"
        QUILLO_TEST_KIT="$<TARGET_FILE:quillo_test_kit>")
    add_dependencies(editorshell_photos_tests quillo_skin QuilloEditor quillo_fake_sibling quillo_test_kit)
endif()
