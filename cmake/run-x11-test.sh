#!/bin/sh
# run-x11-test.sh <test program> [arguments]: runs a test program on an X
# server of its own (Xvfb, any free display) with the openbox window manager,
# for the tests that only a window manager can show. Listing the tests needs
# no display. Exits 77 (skipped) when a tool is missing.
if [ "$1" = "--inside" ]; then
    shift
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    QT_QPA_PLATFORM=xcb "$@"
    rc=$?
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null
    exit $rc
fi
for arg in "$@"; do
    [ "$arg" = "--gtest_list_tests" ] && exec env QT_QPA_PLATFORM=offscreen "$@"
done
for tool in xvfb-run xauth Xvfb openbox xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed (./quillo test installs it)"
        exit 77
    fi
done
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" --inside "$@"
