# How the layer behaves on the desktop: window types, modality, disabled
# input and the keyboard. Offscreen where Qt's offscreen platform shows it,
# under Xvfb and openbox where only a window manager does. Included from
# CMakeLists.txt after Sheets.cmake.
quillo_add_test(qlafx_desktop_tests
    SOURCES
        tests/TestMain.cpp
        tests/DesktopBehaviourTest.cpp
    LIBS qlafx
    QT NO_MAIN)

quillo_add_x11_test(qlafx_x11_tests
    SOURCES
        tests/TestMain.cpp
        tests/DesktopX11Test.cpp
    LIBS qlafx)
