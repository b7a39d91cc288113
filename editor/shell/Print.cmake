# Printing: the printing context (its own target, so that the album links it
# without the editor's windows) and the editor's Print dialog with its template.
add_library(editorshell_print STATIC ImagePrinter.cpp)
target_link_libraries(editorshell_print PUBLIC qlafx imagecore)

add_library(editorshell_printdlg STATIC PrintImageDlg.cpp)
target_link_libraries(editorshell_printdlg PUBLIC editorshell_print editorshell_windows)
# The template registers itself from a static object: linked as an object file.
add_library(editorshell_printdlg_tables OBJECT res/PrintImageResources.cpp)
target_link_libraries(editorshell_printdlg_tables PRIVATE qlafx)
target_link_libraries(editorshell_printdlg INTERFACE $<TARGET_OBJECTS:editorshell_printdlg_tables>)
target_link_libraries(editorshell_frame PUBLIC editorshell_printdlg)

quillo_add_test(editorshell_print_tests
    SOURCES
        ${CMAKE_SOURCE_DIR}/platform/afx/tests/TestMain.cpp
        ${CMAKE_SOURCE_DIR}/editor/ui/tests/SkinTestSupport.cpp
        tests/ShellWindowsTestSupport.cpp
        tests/PrintTestSupport.cpp
        tests/ImagePrinterTest.cpp
        tests/PrintImageDlgTest.cpp
    LIBS editorshell_frame
    QT NO_MAIN)
if(TARGET editorshell_print_tests)
    target_compile_definitions(editorshell_print_tests PRIVATE
        QUILLO_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin"
        QUILLO_GRAB_DIR="${CMAKE_BINARY_DIR}/tests")
    add_dependencies(editorshell_print_tests quillo_skin)
endif()
