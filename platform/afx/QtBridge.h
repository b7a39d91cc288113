// The Qt side of windows: the widget of layer-drawn windows, the event filter
// that turns Qt events on every window's widget into WM_* messages, and the
// key and mouse translation tables.
//
// A translated event goes through the window's procedure; ::DefWindowProc for
// that same message hands the event to the widget's own Qt handling. A
// message handled without the default swallows the event.
#pragma once

#include "platform/afx/WinUser.h"

#include <QImage>
#include <QWidget>

namespace qlafx {

// The widget of a window of a registered (non-built-in) class, and of the
// layer-drawn built-in classes: shows the window's surface 1:1.
class LayerWidget : public QWidget {
    Q_OBJECT
public:
    explicit LayerWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The window's surface: a 32-bit image of its client size (B, G, R, A in
// memory), made on first use and resized with the window. NULL for dead windows.
QImage* SurfaceOfWindow(HWND hwnd);
// Device pixels per logical unit on the window's screen (1 without a window).
qreal DevicePixelRatioOfWindow(HWND hwnd);

// Qt::Key → VK_* (0 when there is none).
int VirtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers = {});
// Mouse buttons and modifiers → MK_* flags of mouse messages.
UINT MouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

// Sends the posted messages, timers and Qt events due now (tests and nested
// loops); runs until nothing is left to do.
void ProcessPendingEvents();

}  // namespace qlafx
