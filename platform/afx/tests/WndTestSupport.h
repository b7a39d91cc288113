// Helpers shared by the window tests.
#pragma once

#include "platform/afx/Afx.h"
#include "platform/afx/QtBridge.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
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

// Drags the urls onto the widget and drops them at the point, as Qt delivers
// a drop from another program.
inline void SendFileDrop(QWidget* target, const QList<QUrl>& urls, QPoint at)
{
    QMimeData mime;
    mime.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}
