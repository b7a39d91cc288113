// Helpers of the common control tests: a parent that records what its
// controls send (WM_NOTIFY with the notification's own structure,
// WM_HSCROLL / WM_VSCROLL, WM_COMMAND, WM_DRAWITEM, WM_MEASUREITEM) and
// answers notifications through a hook; synthetic mouse input.
#pragma once

#include "platform/afx/Afx.h"
#include "platform/afx/QtBridge.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace cctest {

struct Note {
    UINT code;
    UINT_PTR id;
    HWND from;
    std::vector<unsigned char> bytes;  // the whole structure as sent

    template <class T>
    T As() const
    {
        T t{};
        std::memcpy(&t, bytes.data(), std::min(sizeof t, bytes.size()));
        return t;
    }
};

struct Scroll {
    UINT message;
    UINT code;
    int pos;
    HWND from;
    bool operator==(const Scroll& o) const
    {
        return message == o.message && code == o.code && pos == o.pos && from == o.from;
    }
};

struct Command {
    UINT id;
    UINT code;
};

// The size of the structure a notification carries (by code and sender).
inline size_t NotifySize(UINT code, HWND from)
{
    char cls[32] = {};
    GetClassName(from, cls, sizeof cls);
    const bool list = std::strcmp(cls, "SysListView32") == 0;
    if (code == NM_CUSTOMDRAW)
        return list ? sizeof(NMLVCUSTOMDRAW) : sizeof(NMCUSTOMDRAW);
    if (code == UDN_DELTAPOS)
        return sizeof(NMUPDOWN);
    if (code >= LVN_KEYDOWN && code <= LVN_FIRST)
        return code == LVN_KEYDOWN ? sizeof(NMLVKEYDOWN) : sizeof(NMLISTVIEW);
    if (code == TVN_KEYDOWN)
        return sizeof(NMTVKEYDOWN);
    if (code == TVN_BEGINLABELEDIT || code == TVN_ENDLABELEDIT)
        return sizeof(NMTVDISPINFO);
    if (code >= TVN_KEYDOWN && code <= TVN_FIRST)
        return sizeof(NMTREEVIEW);
    if (list && (code == NM_DBLCLK || code == NM_CLICK || code == NM_RCLICK))
        return sizeof(NMITEMACTIVATE);
    return sizeof(NMHDR);
}

class CControlParent : public CWnd {
public:
    std::vector<Note> notes;
    std::vector<Scroll> scrolls;
    std::vector<Command> commands;
    std::vector<DRAWITEMSTRUCT> draws;
    std::vector<MEASUREITEMSTRUCT> measures;
    std::function<LRESULT(NMHDR*)> answer;     // WM_NOTIFY's result
    std::function<void(DRAWITEMSTRUCT*)> draw;  // paints owner-drawn items
    UINT measuredHeight = 0;                    // WM_MEASUREITEM's answer (0: leave it)
    // Texts of LVN_/TVN_ notifications that point at caller buffers.
    std::vector<std::string> labels;

    BOOL CreateParent(int cx = 400, int cy = 300)
    {
        return CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP | WS_VISIBLE, 0, 0, cx, cy, nullptr, nullptr);
    }
    int Count(UINT code) const
    {
        int n = 0;
        for (const Note& note : notes)
            n += note.code == code;
        return n;
    }
    std::vector<Note> Of(UINT code) const
    {
        std::vector<Note> out;
        for (const Note& note : notes)
            if (note.code == code)
                out.push_back(note);
        return out;
    }
    int CommandCount(UINT code) const
    {
        int n = 0;
        for (const Command& c : commands)
            n += c.code == code;
        return n;
    }
    void Clear()
    {
        notes.clear();
        scrolls.clear();
        commands.clear();
        draws.clear();
        measures.clear();
        labels.clear();
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lParam);
            Note note{hdr->code, hdr->idFrom, hdr->hwndFrom, {}};
            const size_t size = NotifySize(hdr->code, hdr->hwndFrom);
            note.bytes.assign(reinterpret_cast<unsigned char*>(hdr), reinterpret_cast<unsigned char*>(hdr) + size);
            if (hdr->code == TVN_ENDLABELEDIT) {
                auto* di = reinterpret_cast<NMTVDISPINFO*>(hdr);
                labels.push_back(di->item.pszText ? di->item.pszText : "<null>");
            }
            notes.push_back(std::move(note));
            return answer ? answer(hdr) : 0;
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            scrolls.push_back({message, LOWORD(static_cast<DWORD>(wParam)),
                               static_cast<SHORT>(HIWORD(static_cast<DWORD>(wParam))), reinterpret_cast<HWND>(lParam)});
            return 0;
        case WM_COMMAND:
            commands.push_back({LOWORD(static_cast<DWORD>(wParam)), HIWORD(static_cast<DWORD>(wParam))});
            return 0;
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
            draws.push_back(*dis);
            if (draw)
                draw(dis);
            return TRUE;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            measures.push_back(*mis);
            if (measuredHeight)
                mis->itemHeight = measuredHeight;
            return TRUE;
        }
        default:
            return CWnd::WindowProc(message, wParam, lParam);
        }
    }
};

// A parent per case, destroyed after it.
class CommonControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitCommonControls();
        ASSERT_TRUE(m_parent.CreateParent());
    }
    void TearDown() override
    {
        if (m_parent.m_hWnd)
            m_parent.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    HWND Make(LPCSTR cls, DWORD style, UINT id, RECT rc, LPCSTR text = nullptr)
    {
        return CreateWindowEx(0, cls, text, WS_CHILD | WS_VISIBLE | style, rc.left, rc.top, rc.right - rc.left,
                              rc.bottom - rc.top, m_parent.m_hWnd,
                              reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)), nullptr, nullptr);
    }
    CControlParent m_parent;
};

inline void Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), type == QEvent::MouseMove ? Qt::NoButton : button,
                  held, mods);
    QApplication::sendEvent(w, &e);
}

inline void Click(QWidget* w, QPoint at, Qt::MouseButton button = Qt::LeftButton)
{
    Mouse(w, QEvent::MouseButtonPress, at, button);
    Mouse(w, QEvent::MouseButtonRelease, at, button);
}

inline void DoubleClick(QWidget* w, QPoint at)
{
    Click(w, at);
    Mouse(w, QEvent::MouseButtonDblClick, at);
    Mouse(w, QEvent::MouseButtonRelease, at);
}

inline COLORREF PixelOf(const QImage& img, int x, int y)
{
    const QRgb p = img.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

// The surface of a layer-drawn control after pending paints ran.
inline QImage SurfaceAfterPaint(HWND hwnd)
{
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    qlafx::ProcessPendingEvents();
    const QImage* s = qlafx::SurfaceOfWindow(hwnd);
    return s ? s->copy() : QImage();
}

}  // namespace cctest
