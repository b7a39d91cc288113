# The clipboard, the shell's file questions, and windows that other
# processes find and send messages to (local sockets). Included from CMakeLists.txt after Core.cmake.
find_package(Qt6 REQUIRED COMPONENTS Network)
target_sources(qlafx PRIVATE
    Clipboard.cpp
    FileQuestions.cpp
    Ipc.cpp
    IpcWire.cpp
    OleDrag.cpp)
target_link_libraries(qlafx PUBLIC Qt6::Network)

quillo_add_test(qlafx_shell_tests
    SOURCES
        tests/TestMain.cpp
        tests/ClipboardTest.cpp
        tests/DragDropTest.cpp
        tests/FileQuestionsTest.cpp
        tests/OleDragTest.cpp
    LIBS qlafx
    QT NO_MAIN)

# Its own main: the program also plays the other process of its tests.
quillo_add_test(qlafx_ipc_tests
    SOURCES tests/IpcTest.cpp
    LIBS qlafx
    QT NO_MAIN)
