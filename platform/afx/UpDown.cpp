// "msctls_updown32": two arrow buttons drawn by the layer. A press asks the
// parent with UDN_DELTAPOS, whose delta has Windows' sign: the up (or right)
// arrow moves towards the upper end of the range, so with the default range
// (lower 100, upper 0) it proposes -1. A non-zero answer refuses the step.
#include "platform/afx/CommCtrlSupport.h"

#include <QKeyEvent>
#include <QPointer>

#include <algorithm>
#include <functional>
#include <string>

namespace qlafx {
namespace {

constexpr UINT_PTR kRepeatTimer = 1;

struct UpDownState {
    int lower = 100;  // Windows' default range runs from 100 down to 0
    int upper = 0;
    int pos = 0;
    int base = 10;
    HWND buddy = nullptr;
    int pressed = 0;  // +1 up / right arrow, -1 down / left arrow, 0 none
    bool repeating = false;
};

class UpDownWidget : public LayerWidget {
public:
    using LayerWidget::LayerWidget;
    UpDownState state;
    std::function<bool(QKeyEvent*)> buddyKey;  // UDS_ARROWKEYS: up and down on the buddy

    // Watches the buddy's keys (Windows subclasses the buddy for them).
    void WatchBuddy(HWND buddy)
    {
        if (m_watched)
            m_watched->removeEventFilter(this);
        m_watched = buddy ? WidgetOf(buddy) : nullptr;
        if (m_watched)
            m_watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (watched == m_watched && (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && buddyKey)
            return buddyKey(static_cast<QKeyEvent*>(e));
        return false;
    }

private:
    QPointer<QWidget> m_watched;
};

UpDownState* StateOf(HWND hwnd)
{
    auto* w = dynamic_cast<UpDownWidget*>(WidgetOf(hwnd));
    return w ? &w->state : nullptr;
}

bool Horizontal(HWND hwnd) { return (StyleOfWindow(hwnd) & UDS_HORZ) != 0; }

// The arrow's half of the client area: +1 up (top half) or right (right half).
RECT ArrowRect(HWND hwnd, int arrow)
{
    RECT rc{};
    GetClientRect(hwnd, &rc);
    if (Horizontal(hwnd)) {
        const int mid = rc.right / 2;
        return arrow > 0 ? RECT{mid, 0, rc.right, rc.bottom} : RECT{0, 0, mid, rc.bottom};
    }
    const int mid = rc.bottom / 2;
    return arrow > 0 ? RECT{0, 0, rc.right, mid} : RECT{0, mid, rc.right, rc.bottom};
}

void DrawArrow(HDC dc, const RECT& rc, int arrow, bool horizontal, bool pressed, bool enabled)
{
    RECT face = rc;
    FillRect(dc, &face, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    const int cx = (rc.left + rc.right) / 2 + (pressed ? 1 : 0);
    const int cy = (rc.top + rc.bottom) / 2 + (pressed ? 1 : 0);
    POINT tri[3];
    if (horizontal) {
        const int d = arrow > 0 ? 1 : -1;
        tri[0] = {cx - 2 * d, cy - 3};
        tri[1] = {cx - 2 * d, cy + 3};
        tri[2] = {cx + d, cy};
    } else {
        const int d = arrow > 0 ? -1 : 1;
        tri[0] = {cx - 3, cy - d};
        tri[1] = {cx + 3, cy - d};
        tri[2] = {cx, cy + 2 * d};
    }
    const int color = enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT;
    HBRUSH brush = GetSysColorBrush(color);
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Polygon(dc, tri, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
}

void Paint(HWND hwnd, HDC dc, const UpDownState& st)
{
    const bool enabled = IsWindowEnabled(hwnd);
    for (int arrow : {+1, -1})
        DrawArrow(dc, ArrowRect(hwnd, arrow), arrow, Horizontal(hwnd), st.pressed == arrow, enabled);
}

int RangeMin(const UpDownState& st) { return std::min(st.lower, st.upper); }
int RangeMax(const UpDownState& st) { return std::max(st.lower, st.upper); }

std::string FormatPos(const UpDownState& st, bool thousands)
{
    if (st.base == 16) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(st.pos) & 0xFFFFu);
        return buf;
    }
    const std::string digits = std::to_string(std::abs(static_cast<long long>(st.pos)));
    std::string out = st.pos < 0 ? std::string(1, '-') : std::string();
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (thousands && i > 0 && (n - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

void UpdateBuddy(HWND hwnd, const UpDownState& st)
{
    if (st.buddy && IsWindow(st.buddy) && (StyleOfWindow(hwnd) & UDS_SETBUDDYINT))
        SetWindowText(st.buddy, FormatPos(st, !(StyleOfWindow(hwnd) & UDS_NOTHOUSANDS)).c_str());
}

// One step of arrow (+1 up/right, -1 down/left).
void Step(HWND hwnd, UpDownState& st, int arrow)
{
    const int delta = (st.upper >= st.lower ? 1 : -1) * arrow;
    NMUPDOWN nm{};
    nm.iPos = st.pos;
    nm.iDelta = delta;
    if (SendNotify(hwnd, UDN_DELTAPOS, &nm.hdr) != 0 || !IsWindow(hwnd))
        return;
    long long next = static_cast<long long>(st.pos) + nm.iDelta;
    if (next > RangeMax(st))
        next = (StyleOfWindow(hwnd) & UDS_WRAP) ? RangeMin(st) : RangeMax(st);
    else if (next < RangeMin(st))
        next = (StyleOfWindow(hwnd) & UDS_WRAP) ? RangeMax(st) : RangeMin(st);
    if (next == st.pos)
        return;
    st.pos = static_cast<int>(next);
    UpdateBuddy(hwnd, st);
    SendScroll(hwnd, !Horizontal(hwnd), SB_THUMBPOSITION, st.pos);
}

void Release(HWND hwnd, UpDownState& st)
{
    if (!st.pressed)
        return;
    st.pressed = 0;
    KillTimer(hwnd, kRepeatTimer);
    st.repeating = false;
    if (GetCapture() == hwnd)
        ReleaseCapture();
    InvalidateRect(hwnd, nullptr, FALSE);
    if (IsWindow(hwnd))
        SendScroll(hwnd, !Horizontal(hwnd), SB_ENDSCROLL, st.pos);
}

// Beside its buddy (UDS_ALIGNRIGHT / UDS_ALIGNLEFT), which gives up that room.
void AttachToBuddy(HWND hwnd, UpDownState& st)
{
    const DWORD style = StyleOfWindow(hwnd);
    if (!st.buddy || !(style & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT)))
        return;
    RECT b{}, self{};
    GetWindowRect(st.buddy, &b);
    GetWindowRect(hwnd, &self);
    HWND parent = GetParent(hwnd);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&b), 2);
    const int w = self.right - self.left;
    const int h = b.bottom - b.top;
    if (style & UDS_ALIGNRIGHT) {
        MoveWindow(st.buddy, b.left, b.top, std::max(0, b.right - b.left - w + 2), h, TRUE);
        MoveWindow(hwnd, b.right - w, b.top, w, h, TRUE);
    } else {
        MoveWindow(st.buddy, b.left + w - 2, b.top, std::max(0, b.right - b.left - w + 2), h, TRUE);
        MoveWindow(hwnd, b.left, b.top, w, h, TRUE);
    }
}

// UDS_ARROWKEYS: the up and down keys on the buddy step as the arrows do;
// their release ends the scroll.
void WatchBuddy(HWND hwnd, UpDownState& st)
{
    auto* w = dynamic_cast<UpDownWidget*>(WidgetOf(hwnd));
    if (!w)
        return;
    const bool keys = (StyleOfWindow(hwnd) & UDS_ARROWKEYS) != 0;
    w->WatchBuddy(keys ? st.buddy : nullptr);
    w->buddyKey = [hwnd](QKeyEvent* e) {
        UpDownState* s = StateOf(hwnd);
        if (!s || (e->key() != Qt::Key_Up && e->key() != Qt::Key_Down))
            return false;
        if (e->type() == QEvent::KeyPress)
            Step(hwnd, *s, e->key() == Qt::Key_Up ? +1 : -1);
        else if (!e->isAutoRepeat())
            SendScroll(hwnd, !Horizontal(hwnd), SB_ENDSCROLL, s->pos);
        return true;
    };
}

LRESULT UpDownMessage(HWND hwnd, UpDownState& st, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        if (StyleOfWindow(hwnd) & UDS_AUTOBUDDY) {
            st.buddy = GetWindow(hwnd, GW_HWNDPREV);
            AttachToBuddy(hwnd, st);
            WatchBuddy(hwnd, st);
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc)
            Paint(hwnd, dc, st);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (!IsWindowEnabled(hwnd))
            return 0;
        const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const RECT up = ArrowRect(hwnd, +1);
        st.pressed = PtInRect(&up, pt) ? +1 : -1;
        SetCapture(hwnd);
        InvalidateRect(hwnd, nullptr, FALSE);
        Step(hwnd, st, st.pressed);
        if (IsWindow(hwnd) && st.pressed)
            SetTimer(hwnd, kRepeatTimer, 400, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wParam != kRepeatTimer)
            return DefWindowProc(hwnd, msg, wParam, lParam);
        if (st.pressed) {
            if (!st.repeating) {
                st.repeating = true;
                SetTimer(hwnd, kRepeatTimer, 80, nullptr);
            }
            Step(hwnd, st, st.pressed);
        }
        return 0;
    case WM_LBUTTONUP:
        Release(hwnd, st);
        return 0;
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hwnd)
            Release(hwnd, st);
        return 0;
    case WM_ENABLE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case UDM_SETRANGE:
        st.upper = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
        st.lower = static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam)));
        st.pos = std::clamp(st.pos, RangeMin(st), RangeMax(st));
        return 0;
    case UDM_SETRANGE32:
        st.lower = static_cast<int>(wParam);
        st.upper = static_cast<int>(lParam);
        st.pos = std::clamp(st.pos, RangeMin(st), RangeMax(st));
        return 0;
    case UDM_GETRANGE:
        return MAKELONG(static_cast<WORD>(st.upper), static_cast<WORD>(st.lower));
    case UDM_GETRANGE32:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = st.lower;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = st.upper;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32: {
        const int old = st.pos;
        const int want = msg == UDM_SETPOS ? static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)))
                                           : static_cast<int>(lParam);
        st.pos = std::clamp(want, RangeMin(st), RangeMax(st));
        UpdateBuddy(hwnd, st);
        return old;
    }
    case UDM_GETPOS:
        return MAKELONG(static_cast<WORD>(st.pos), 0);
    case UDM_GETPOS32:
        if (lParam)
            *reinterpret_cast<BOOL*>(lParam) = FALSE;
        return st.pos;
    case UDM_SETBUDDY: {
        const HWND old = st.buddy;
        st.buddy = reinterpret_cast<HWND>(wParam);
        AttachToBuddy(hwnd, st);
        WatchBuddy(hwnd, st);
        return reinterpret_cast<LRESULT>(old);
    }
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(st.buddy);
    case UDM_SETBASE: {
        if (wParam != 10 && wParam != 16)
            return 0;
        const int old = st.base;
        st.base = static_cast<int>(wParam);
        UpdateBuddy(hwnd, st);
        return old;
    }
    case UDM_GETBASE:
        return st.base;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT UpDownProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    UpDownState* st = StateOf(hwnd);
    if (!st)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return UpDownMessage(hwnd, *st, msg, wParam, lParam);
}

}  // namespace

void RegisterUpDownClass()
{
    BuiltinClass cls;
    cls.layerDrawn = true;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &UpDownProc;
    cls.createWidget = [](HWND, const CREATESTRUCT&, QWidget* parent) -> QWidget* {
        auto* w = new UpDownWidget(parent);
        w->setFocusPolicy(Qt::NoFocus);
        return w;
    };
    RegisterBuiltinClass(UPDOWN_CLASS, std::move(cls));
}

}  // namespace qlafx

// ---- CSpinButtonCtrl ----

IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)

BOOL CSpinButtonCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create(UPDOWN_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

CWnd* CSpinButtonCtrl::SetBuddy(CWnd* pWndBuddy)
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(
        SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(qlafx::HwndOf(pWndBuddy)))));
}

CWnd* CSpinButtonCtrl::GetBuddy() const
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY)));
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const
{
    const DWORD r = GetRange();
    lower = static_cast<SHORT>(HIWORD(r));
    upper = static_cast<SHORT>(LOWORD(r));
}
