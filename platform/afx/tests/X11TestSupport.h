// Helpers of the interaction tests on a real X server. The programs run under
// cmake/run-x11-test.sh (Xvfb and openbox; see quillo_add_x11_test), xdotool
// drives the pointer and the keyboard, a test waits for the event it checks,
// and each test saves a screenshot as build/tests/x11-<name>.png.
#pragma once

#include "platform/afx/tests/WndTestSupport.h"

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace x11test {

// Runs xdotool to its end; true when it succeeded.
inline bool XdoTool(const QStringList& args)
{
    QProcess tool;
    tool.start("xdotool", args);
    return tool.waitForFinished(30000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

// The window the window manager holds active (_NET_ACTIVE_WINDOW), 0 for none.
inline WId ActiveWindowId()
{
    QProcess tool;
    tool.start("xdotool", {"getactivewindow"});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return 0;
    return static_cast<WId>(tool.readAllStandardOutput().trimmed().toULongLong());
}

// A click of the button (1 left) at the point in screen coordinates.
inline bool ClickAt(QPoint global, int button = 1)
{
    return XdoTool({"mousemove", "--sync", QString::number(global.x()), QString::number(global.y()), "click",
                    QString::number(button)});
}

// Keys in xdotool's notation ("Tab", "alt+a", "ctrl+shift+Tab", "KP_Left").
inline bool PressKeys(const QString& keys)
{
    return XdoTool({"key", keys});
}

// Once the window manager framed the window (its frame is larger than its
// client area), it manages it.
inline bool WaitManaged(QWidget* w)
{
    return PumpUntil([w] { return w->isVisible() && w->frameGeometry() != w->geometry(); });
}

inline bool WaitActive(QWidget* w)
{
    return PumpUntil([w] { return w->isActiveWindow(); });
}

// Returns once the window manager has handled everything sent before: it
// moves a small probe window of its own through the manager and waits for
// the move to arrive, as the manager takes its requests in order.
class WmBarrier {
public:
    WmBarrier()
    {
        m_probe = std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::WindowDoesNotAcceptFocus);
        m_probe->setAttribute(Qt::WA_ShowWithoutActivating);
        m_probe->setWindowTitle("probe");
        m_probe->resize(16, 16);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        m_probe->move(area.right() - 60, area.bottom() - 60);
        m_probe->show();
        WaitManaged(m_probe.get());
    }
    bool Sync()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        m_flip = !m_flip;
        const QPoint to(area.right() - (m_flip ? 120 : 60), area.bottom() - 60);
        if (!XdoTool({"windowmove", "--sync", QString::number(m_probe->winId()), QString::number(to.x()),
                      QString::number(to.y())}))
            return false;
        const QPoint before = m_probe->frameGeometry().topLeft();
        return PumpUntil([&] { return m_probe->frameGeometry().topLeft() != before; }, 10000);
    }

private:
    std::unique_ptr<QWidget> m_probe;
    bool m_flip = false;
};

// The screen as the person sees it, decorations included.
inline QImage Screen()
{
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage();
}

inline QRgb ScreenPixel(QPoint global)
{
    const QImage shot = QGuiApplication::primaryScreen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
    return shot.isNull() ? 0 : shot.pixel(0, 0) & 0xFFFFFF;
}

// Saves the screen as build/tests/x11-<name>.png.
inline void SaveScreenshot(const char* name)
{
    const QString path = QString(QUILLO_TEST_OUTPUT_DIR) + "/x11-" + name + ".png";
    EXPECT_TRUE(Screen().save(path)) << path.toStdString();
}

// The centre of a window in screen coordinates.
inline QPoint CentreOf(QWidget* w)
{
    return w->mapToGlobal(QPoint(w->width() / 2, w->height() / 2));
}

}  // namespace x11test
