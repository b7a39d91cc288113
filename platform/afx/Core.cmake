# Windows, messages, threads and the application object (qlafx), on the
# drawing half (qlafx_gdi).
add_library(qlafx STATIC
    AfxString.cpp
    AfxTypes.cpp
    CmdTarget.cpp
    Cursor.cpp
    PaintDC.cpp
    QtBridge.cpp
    SyncObjects.cpp
    WinApp.cpp
    WinThread.cpp
    Wnd.cpp)
target_link_libraries(qlafx PUBLIC qlafx_gdi qlwin imagecore Qt6::Widgets)
target_precompile_headers(qlafx PRIVATE <QApplication> <QWidget> <QImage> <QEvent> <QTimer>)

if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/tests/TestMain.cpp)
quillo_add_test(qlafx_tests
    SOURCES
        tests/TestMain.cpp
        tests/AppProfileTest.cpp
        tests/MsgMapTest.cpp
        tests/MsgQueueTest.cpp
        tests/PaintTest.cpp
        tests/ThreadSyncTest.cpp
        tests/WndBridgeTest.cpp
        tests/WndHandleTest.cpp
        tests/WndInputTest.cpp
        tests/WndStyleTest.cpp
        tests/WndTypesTest.cpp
    LIBS qlafx
    QT NO_MAIN)

# RunApp makes its own QApplication, and the application object is a global
# made during static initialisation: a program of its own, with this file
# first so its global comes before the library's.
quillo_add_test(qlafx_app_tests
    SOURCES tests/AppRunTest.cpp
    LIBS qlafx
    QT NO_MAIN)
endif()
