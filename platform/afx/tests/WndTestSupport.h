// Helpers shared by the window tests.
#pragma once

#include "platform/afx/Afx.h"
#include "platform/afx/QtBridge.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

// Runs the Qt loop until pred holds; generous timeout so load never fails a test.
inline bool PumpUntil(const std::function<bool()>& pred, int timeoutMs = 20000)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// A plain layer window class for tests.
inline LPCSTR TestClass()
{
    return AfxRegisterWndClass(CS_DBLCLKS);
}
