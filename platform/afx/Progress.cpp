// "msctls_progress32": drawn by the layer, a bar filled in proportion to
// the position within the range.
#include "platform/afx/CommCtrlSupport.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionProgressBar>

#include <algorithm>

namespace qlafx {
namespace {

struct ProgressState {
    int low = 0;
    int high = 100;
    int pos = 0;
    int step = 10;
    COLORREF bar = CLR_DEFAULT;
    COLORREF back = CLR_DEFAULT;
};

class ProgressWidget : public LayerWidget {
public:
    using LayerWidget::LayerWidget;
    ProgressState state;
};

ProgressState* StateOf(HWND hwnd)
{
    auto* w = dynamic_cast<ProgressWidget*>(WidgetOf(hwnd));
    return w ? &w->state : nullptr;
}

// The bar as the application style draws Qt's own progress bars.
void PaintStyled(HWND hwnd, HDC dc, const ProgressState& st, const RECT& client)
{
    QStyleOptionProgressBar opt;
    QWidget* widget = WidgetOf(hwnd);
    if (widget)
        opt.initFrom(widget);
    opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    if (IsWindowEnabled(hwnd))
        opt.state |= QStyle::State_Enabled;
    else
        opt.state &= ~QStyle::State_Enabled;
    opt.rect = QRect(client.left, client.top, client.right - client.left, client.bottom - client.top);
    const bool vertical = (StyleOfWindow(hwnd) & PBS_VERTICAL) != 0;
    if (vertical)
        opt.state &= ~QStyle::State_Horizontal;
    else
        opt.state |= QStyle::State_Horizontal;
    // Qt's range is int; a range wider than that is scaled to per mille.
    const long long range = static_cast<long long>(st.high) - st.low;
    opt.minimum = 0;
    opt.maximum = range > 0 ? 1000 : 0;
    opt.progress = range > 0 ? static_cast<int>((static_cast<long long>(st.pos) - st.low) * 1000 / range) : 0;
    opt.textVisible = false;
    PaintWithQt(dc, [&](QPainter& p) {
        p.fillRect(opt.rect, opt.palette.brush(QPalette::Window));
        QApplication::style()->drawControl(QStyle::CE_ProgressBar, &opt, &p, widget);
    });
}

void Paint(HWND hwnd, HDC dc, const ProgressState& st)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    // Colours the program chose are drawn as it asked; otherwise the style's.
    if (st.bar == CLR_DEFAULT && st.back == CLR_DEFAULT) {
        PaintStyled(hwnd, dc, st, client);
        return;
    }
    HBRUSH back = st.back == CLR_DEFAULT ? nullptr : CreateSolidBrush(st.back);
    FillRect(dc, &client, back ? back : GetSysColorBrush(COLOR_3DFACE));
    if (back)
        DeleteObject(back);
    RECT inner = client;
    InflateRect(&inner, -1, -1);
    const long long range = static_cast<long long>(st.high) - st.low;
    const bool vertical = (StyleOfWindow(hwnd) & PBS_VERTICAL) != 0;
    if (range > 0 && st.pos > st.low) {
        const long long done = static_cast<long long>(st.pos) - st.low;
        RECT filled = inner;
        if (vertical)
            filled.top = inner.bottom - static_cast<int>((inner.bottom - inner.top) * done / range);
        else
            filled.right = inner.left + static_cast<int>((inner.right - inner.left) * done / range);
        HBRUSH bar = st.bar == CLR_DEFAULT ? nullptr : CreateSolidBrush(st.bar);
        FillRect(dc, &filled, bar ? bar : GetSysColorBrush(COLOR_HIGHLIGHT));
        if (bar)
            DeleteObject(bar);
    }
    RECT frame = client;
    DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
}

int SetPos(HWND hwnd, ProgressState& st, int pos)
{
    const int old = st.pos;
    st.pos = std::clamp(pos, st.low, std::max(st.low, st.high));
    if (st.pos != old)
        InvalidateRect(hwnd, nullptr, FALSE);
    return old;
}

LRESULT ProgressProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ProgressState* st = StateOf(hwnd);
    if (!st)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc)
            Paint(hwnd, dc, *st);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case PBM_SETRANGE:
    case PBM_SETRANGE32: {
        const LRESULT old = MAKELONG(static_cast<WORD>(st->low), static_cast<WORD>(st->high));
        if (msg == PBM_SETRANGE) {
            st->low = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
            st->high = static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam)));
        } else {
            st->low = static_cast<int>(wParam);
            st->high = static_cast<int>(lParam);
        }
        SetPos(hwnd, *st, st->pos);
        InvalidateRect(hwnd, nullptr, FALSE);
        return old;
    }
    case PBM_GETRANGE:
        if (auto* r = reinterpret_cast<PBRANGE*>(lParam)) {
            r->iLow = st->low;
            r->iHigh = st->high;
        }
        return wParam ? st->low : st->high;
    case PBM_SETPOS:
        return SetPos(hwnd, *st, static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return SetPos(hwnd, *st, st->pos + static_cast<int>(wParam));
    case PBM_GETPOS:
        return st->pos;
    case PBM_SETSTEP: {
        const int old = st->step;
        st->step = static_cast<int>(wParam);
        return old;
    }
    case PBM_STEPIT: {
        // Past the end it starts over from the low end.
        int next = st->pos + st->step;
        if (next > st->high)
            next = st->low + (next - st->high);
        else if (next < st->low)
            next = st->high - (st->low - next);
        return SetPos(hwnd, *st, next);
    }
    case PBM_SETBARCOLOR:
    case PBM_SETBKCOLOR: {
        COLORREF& slot = msg == PBM_SETBARCOLOR ? st->bar : st->back;
        const COLORREF old = slot;
        slot = static_cast<COLORREF>(lParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return static_cast<LRESULT>(old);
    }
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

void RegisterProgressClass()
{
    BuiltinClass cls;
    cls.layerDrawn = true;
    cls.defProc = &ProgressProc;
    cls.createWidget = [](HWND, const CREATESTRUCT&, QWidget* parent) -> QWidget* {
        auto* w = new ProgressWidget(parent);
        w->setFocusPolicy(Qt::NoFocus);
        return w;
    };
    RegisterBuiltinClass(PROGRESS_CLASS, std::move(cls));
}

}  // namespace qlafx

// ---- CProgressCtrl ----

IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create(PROGRESS_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CProgressCtrl::GetRange(int& nLower, int& nUpper) const
{
    PBRANGE r{};
    SendMessage(PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&r));
    nLower = r.iLow;
    nUpper = r.iHigh;
}
