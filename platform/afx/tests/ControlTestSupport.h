// Helpers of the dialog and control tests: a parent window that records
// what its controls tell it and answers WM_CTLCOLOR* with a known brush,
// and reads of a control's surface.
#pragma once

#include "platform/afx/Controls.h"
#include "platform/afx/DC.h"
#include "platform/afx/QtBridge.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace ctltest {

struct Command {
    UINT id;
    UINT code;
    HWND control;
};

struct CtlColorCall {
    UINT kind;
    HWND control;
};

// The parent of the controls under test.
class CRecorder : public CWnd {
public:
    COLORREF m_brushColor = RGB(10, 200, 30);
    COLORREF m_textColor = RGB(250, 0, 250);
    bool m_answerColor = true;
    std::vector<Command> m_commands;
    std::vector<CtlColorCall> m_ctlColors;
    std::vector<DRAWITEMSTRUCT> m_drawItems;
    CBrush m_brush;

    BOOL CreateParent(int cx = 300, int cy = 200)
    {
        m_brush.CreateSolidBrush(m_brushColor);
        return CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP | WS_VISIBLE, 0, 0, cx, cy, nullptr, nullptr);
    }
    int Count(UINT id, UINT code) const
    {
        int n = 0;
        for (const Command& c : m_commands)
            n += c.id == id && c.code == code;
        return n;
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_commands.push_back({LOWORD(static_cast<DWORD>(wParam)), HIWORD(static_cast<DWORD>(wParam)),
                              reinterpret_cast<HWND>(lParam)});
        return TRUE;
    }
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        m_ctlColors.push_back({nCtlColor, pWnd ? pWnd->m_hWnd : nullptr});
        if (!m_answerColor)
            return CWnd::OnCtlColor(pDC, pWnd, nCtlColor);
        pDC->SetTextColor(m_textColor);
        return m_brush;
    }
    void OnDrawItem(int, LPDRAWITEMSTRUCT dis)
    {
        m_drawItems.push_back(*dis);
        ::FillRect(dis->hDC, &dis->rcItem, m_brush);
    }
    DECLARE_MESSAGE_MAP()
};

inline COLORREF PixelOf(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The control's surface after pending paints ran.
inline QImage SurfaceAfterPaint(HWND hwnd)
{
    UpdateWindow(hwnd);
    qlafx::ProcessPendingEvents();
    const QImage* s = qlafx::SurfaceOfWindow(hwnd);
    return s ? s->copy() : QImage();
}

inline void MouseClick(HWND hwnd, QPoint at)
{
    QWidget* w = qlafx::WidgetOf(hwnd);
    const QPointF local(at), global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

inline void KeyPress(HWND hwnd, int qtKey, const QString& text = QString(), Qt::KeyboardModifiers mods = {})
{
    QWidget* w = qlafx::WidgetOf(hwnd);
    QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qtKey, mods, text);
    QApplication::sendEvent(w, &release);
}

inline HWND MakeControl(CWnd& parent, const char* cls, const char* text, DWORD style, UINT id,
                        RECT rc = {10, 10, 110, 40})
{
    qlafx::RegisterDialogClasses();
    return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, rc.left, rc.top, rc.right - rc.left,
                          rc.bottom - rc.top, parent.m_hWnd, reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)),
                          nullptr, nullptr);
}

// A parent with its recorder, destroyed after each case.
class ControlTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_parent.CreateParent()); }
    void TearDown() override
    {
        if (m_parent.m_hWnd)
            m_parent.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    CRecorder m_parent;
};

}  // namespace ctltest
