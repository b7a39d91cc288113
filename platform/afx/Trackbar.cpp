// "msctls_trackbar32": drawn by the layer. Dragging the thumb sends
// TB_THUMBTRACK while the position changes, then TB_THUMBPOSITION and
// TB_ENDTRACK on release; every press that took the mouse ends with one
// NM_RELEASEDCAPTURE. NM_CUSTOMDRAW lets the parent draw the whole face or
// each part (tics, channel, thumb).
#include "platform/afx/CommCtrlSupport.h"

#include <QApplication>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <vector>

namespace qlafx {
namespace {

constexpr int kMargin = 8;      // channel ends from the client edges
constexpr UINT_PTR kRepeatTimer = 1;

struct TrackState {
    int min = 0;
    int max = 100;
    int pos = 0;
    int line = 1;
    int page = 20;
    bool pageSet = false;
    int ticFreq = 1;
    std::vector<int> tics;  // set with TBM_SETTIC, ascending
    int selStart = 0;
    int selEnd = 0;
    int thumbLength = 20;
    bool dragging = false;
    int grab = 0;          // pointer minus thumb centre along the channel
    int pagingTo = -1;     // a press on the channel pages towards this point
    bool captured = false;
    bool focus = false;
    int wheelRest = 0;     // wheel delta short of a whole notch (fine-grained wheels, touch pads)
};

class TrackWidget : public LayerWidget {
public:
    using LayerWidget::LayerWidget;
    TrackState state;
};

TrackState* StateOf(HWND hwnd)
{
    auto* w = dynamic_cast<TrackWidget*>(WidgetOf(hwnd));
    return w ? &w->state : nullptr;
}

bool Vertical(HWND hwnd) { return (StyleOfWindow(hwnd) & TBS_VERT) != 0; }

// ---- geometry, in client coordinates; "along" is x for horizontal bars ----

struct Geometry {
    RECT channel;
    RECT thumb;
    RECT tics;
    int first;  // thumb centre at min
    int span;   // centre travel from min to max
};

RECT Orient(bool vertical, int a0, int c0, int a1, int c1)
{
    return vertical ? RECT{c0, a0, c1, a1} : RECT{a0, c0, a1, c1};
}

int CentreOf(const TrackState& st, const Geometry& g)
{
    const int range = st.max - st.min;
    if (range <= 0)
        return g.first;
    return g.first + static_cast<int>(static_cast<long long>(st.pos - st.min) * g.span / range);
}

// The thumb's size along the channel: the application style's handle.
int ThumbSpan(HWND hwnd)
{
    QStyleOptionSlider opt;
    opt.orientation = Vertical(hwnd) ? Qt::Vertical : Qt::Horizontal;
    const int len = QApplication::style()->pixelMetric(QStyle::PM_SliderLength, &opt, WidgetOf(hwnd));
    return std::max(3, len);
}

Geometry Layout(HWND hwnd, const TrackState& st)
{
    RECT client{};
    GetClientRect(hwnd, &client);
    const bool vertical = Vertical(hwnd);
    const int along = vertical ? client.bottom : client.right;
    const int across = vertical ? client.right : client.bottom;
    const DWORD style = StyleOfWindow(hwnd);
    Geometry g{};
    const int thumbTop = (style & TBS_TOP) && !(style & TBS_BOTH) ? std::max(0, across - 2 - st.thumbLength) : 2;
    const int thumbBottom = std::min(across, thumbTop + st.thumbLength);
    const int mid = (thumbTop + thumbBottom) / 2;
    g.first = kMargin;
    g.span = std::max(0, along - 2 * kMargin - 1);
    g.channel = Orient(vertical, kMargin, mid - 2, along - kMargin, mid + 2);
    const int c = CentreOf(st, g);
    const int thumbSpan = ThumbSpan(hwnd);
    g.thumb = Orient(vertical, c - thumbSpan / 2, thumbTop, c - thumbSpan / 2 + thumbSpan, thumbBottom);
    if ((style & TBS_TOP) && !(style & TBS_BOTH))
        g.tics = Orient(vertical, kMargin, std::max(0, thumbTop - 5), along - kMargin, thumbTop - 1);
    else
        g.tics = Orient(vertical, kMargin, thumbBottom + 1, along - kMargin, std::min(across, thumbBottom + 5));
    return g;
}

int PosFromPoint(const TrackState& st, const Geometry& g, int along)
{
    if (g.span <= 0)
        return st.min;
    const long long range = st.max - st.min;
    const long long offset = std::clamp(along - g.first, 0, g.span);
    return st.min + static_cast<int>((offset * range + g.span / 2) / g.span);
}

int Clamp(const TrackState& st, int pos) { return std::clamp(pos, st.min, std::max(st.min, st.max)); }

// The positions that carry a tic mark: both ends, every ticFreq with
// TBS_AUTOTICKS, and those set with TBM_SETTIC.
std::vector<int> TicPositions(HWND hwnd, const TrackState& st)
{
    std::vector<int> out;
    const DWORD style = StyleOfWindow(hwnd);
    if (style & TBS_NOTICKS)
        return out;
    out.push_back(st.min);
    if ((style & TBS_AUTOTICKS) && st.ticFreq > 0)
        for (long long p = static_cast<long long>(st.min) + st.ticFreq; p < st.max; p += st.ticFreq)
            out.push_back(static_cast<int>(p));
    for (int t : st.tics)
        if (t > st.min && t < st.max)
            out.push_back(t);
    if (st.max != st.min)
        out.push_back(st.max);
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

// ---- drawing ----

// The application style's slider laid over our geometry: its range is the
// thumb centre's travel in pixels, its rectangle that travel widened by the
// style's handle length, so the style's handle centre is ours.
QStyleOptionSlider SliderOption(HWND hwnd, const TrackState& st, const Geometry& g, QWidget* widget)
{
    QStyleOptionSlider opt;
    if (widget)
        opt.initFrom(widget);
    opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    opt.state.setFlag(QStyle::State_Enabled, IsWindowEnabled(hwnd) != FALSE);
    opt.state.setFlag(QStyle::State_HasFocus, st.focus);
    const bool vertical = Vertical(hwnd);
    opt.orientation = vertical ? Qt::Vertical : Qt::Horizontal;
    opt.state.setFlag(QStyle::State_Horizontal, !vertical);
    opt.upsideDown = false; // the minimum is at the left or the top
    opt.minimum = 0;
    opt.maximum = std::max(0, g.span);
    opt.sliderPosition = opt.sliderValue = std::clamp(CentreOf(st, g) - g.first, 0, opt.maximum);
    opt.tickPosition = QSlider::NoTicks; // the tics are drawn as their own part
    if (st.dragging) {
        opt.activeSubControls = QStyle::SC_SliderHandle;
        opt.state |= QStyle::State_Sunken;
    }
    const int len = ThumbSpan(hwnd);
    const int start = g.first - len / 2;
    const int end = start + g.span + len;
    const RECT across = g.thumb;
    opt.rect = vertical ? QRect(QPoint(across.left, start), QPoint(across.right - 1, end - 1))
                        : QRect(QPoint(start, across.top), QPoint(end - 1, across.bottom - 1));
    return opt;
}

// Each tic is the application style's tick mark of a one-tick slider whose
// handle centre is the tic's position: the style's colour, pen and length,
// at the positions the trackbar computes (tics need not be evenly spaced).
void DrawTics(HWND hwnd, HDC dc, const TrackState& st, const Geometry& g)
{
    const bool vertical = Vertical(hwnd);
    const DWORD style = StyleOfWindow(hwnd);
    QWidget* widget = WidgetOf(hwnd);
    QStyleOptionSlider opt = SliderOption(hwnd, st, g, widget);
    opt.subControls = QStyle::SC_SliderTickmarks;
    const bool before = (style & TBS_TOP) && !(style & TBS_BOTH); // above, or left of a vertical bar
    opt.tickPosition = before ? QSlider::TicksAbove : QSlider::TicksBelow;
    opt.minimum = opt.maximum = opt.sliderPosition = opt.sliderValue = 0;
    opt.tickInterval = 1;
    const int len = QApplication::style()->pixelMetric(QStyle::PM_SliderLength, &opt, widget);
    const QRect band(QPoint(g.tics.left, g.tics.top), QPoint(g.tics.right - 1, g.tics.bottom - 1));
    // Styles place ticks from the option's origin along the slider, so the
    // painter is moved to each tic rather than the option's rectangle. Across,
    // styles leave the outer edge free: one pixel out, the tick fills the band.
    const int out = before ? -1 : 1;
    opt.rect = vertical ? QRect(band.left() + out, 0, band.width(), len) : QRect(0, band.top() + out, len, band.height());
    PaintWithQt(dc, [&](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, false); // crisp, as on a slider's own painter
        p.setClipRect(band);
        TrackState probe = st;
        for (int t : TicPositions(hwnd, st)) {
            probe.pos = t;
            const int start = CentreOf(probe, g) - len / 2;
            p.save();
            p.translate(vertical ? 0 : start, vertical ? start : 0);
            QApplication::style()->drawComplexControl(QStyle::CC_Slider, &opt, &p, widget);
            p.restore();
        }
    });
}

void DrawStyled(HWND hwnd, HDC dc, const TrackState& st, const Geometry& g, QStyle::SubControls part)
{
    QWidget* widget = WidgetOf(hwnd);
    QStyleOptionSlider opt = SliderOption(hwnd, st, g, widget);
    opt.subControls = part;
    PaintWithQt(dc, [&](QPainter& p) { QApplication::style()->drawComplexControl(QStyle::CC_Slider, &opt, &p, widget); });
}

void DrawChannel(HWND hwnd, HDC dc, const TrackState& st, const Geometry& g)
{
    DrawStyled(hwnd, dc, st, g, QStyle::SC_SliderGroove);
    if ((StyleOfWindow(hwnd) & TBS_ENABLESELRANGE) && st.selEnd > st.selStart) {
        TrackState a = st, b = st;
        a.pos = Clamp(st, st.selStart);
        b.pos = Clamp(st, st.selEnd);
        RECT sel = g.channel;
        InflateRect(&sel, Vertical(hwnd) ? -1 : 0, Vertical(hwnd) ? 0 : -1);
        if (Vertical(hwnd)) {
            sel.top = CentreOf(a, g);
            sel.bottom = CentreOf(b, g) + 1;
        } else {
            sel.left = CentreOf(a, g);
            sel.right = CentreOf(b, g) + 1;
        }
        FillRect(dc, &sel, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
}

void DrawThumb(HWND hwnd, HDC dc, const TrackState& st, const Geometry& g)
{
    DrawStyled(hwnd, dc, st, g, QStyle::SC_SliderHandle);
}

UINT ItemState(HWND hwnd, const TrackState& st)
{
    UINT s = 0;
    if (st.focus)
        s |= CDIS_FOCUS;
    if (!IsWindowEnabled(hwnd))
        s |= CDIS_DISABLED;
    return s;
}

LRESULT CustomDraw(HWND hwnd, HDC dc, DWORD stage, const RECT& rc, DWORD_PTR item, UINT state)
{
    NMCUSTOMDRAW cd{};
    cd.dwDrawStage = stage;
    cd.hdc = dc;
    cd.rc = rc;
    cd.dwItemSpec = item;
    cd.uItemState = state;
    return SendNotify(hwnd, NM_CUSTOMDRAW, &cd.hdr);
}

void Paint(HWND hwnd, HDC dc)
{
    TrackState* st = StateOf(hwnd);
    if (!st)
        return;
    RECT client{};
    GetClientRect(hwnd, &client);
    const UINT state = ItemState(hwnd, *st);
    const LRESULT whole = CustomDraw(hwnd, dc, CDDS_PREPAINT, client, 0, state);
    if (!IsWindow(hwnd) || (whole & CDRF_SKIPDEFAULT))
        return;
    FillRect(dc, &client, ControlColor(hwnd, dc, WM_CTLCOLORSTATIC));
    const Geometry g = Layout(hwnd, *st);
    const bool noThumb = (StyleOfWindow(hwnd) & TBS_NOTHUMB) != 0;
    struct Part {
        DWORD_PTR id;
        RECT rc;
        void (*draw)(HWND, HDC, const TrackState&, const Geometry&);
    };
    const Part parts[] = {{TBCD_TICS, g.tics, &DrawTics}, {TBCD_CHANNEL, g.channel, &DrawChannel},
                          {TBCD_THUMB, g.thumb, &DrawThumb}};
    for (const Part& part : parts) {
        if (part.id == TBCD_THUMB && noThumb)
            continue;
        LRESULT r = CDRF_DODEFAULT;
        // A thumb being dragged is drawn selected.
        const UINT partState = state | (part.id == TBCD_THUMB && st->dragging ? CDIS_SELECTED : 0);
        if (whole & CDRF_NOTIFYITEMDRAW)
            r = CustomDraw(hwnd, dc, CDDS_ITEMPREPAINT, part.rc, part.id, partState);
        if (!IsWindow(hwnd))
            return;
        if (!(r & CDRF_SKIPDEFAULT))
            part.draw(hwnd, dc, *st, g);
        if (r & CDRF_NOTIFYPOSTPAINT)
            CustomDraw(hwnd, dc, CDDS_ITEMPOSTPAINT, part.rc, part.id, partState);
    }
    if (whole & CDRF_NOTIFYPOSTPAINT)
        CustomDraw(hwnd, dc, CDDS_POSTPAINT, client, 0, state);
}

// ---- behaviour ----

void SetPos(HWND hwnd, TrackState& st, int pos, bool redraw)
{
    pos = Clamp(st, pos);
    if (pos == st.pos)
        return;
    st.pos = pos;
    if (redraw)
        InvalidateRect(hwnd, nullptr, FALSE);
}

void SetRange(HWND hwnd, TrackState& st, int lo, int hi, bool redraw)
{
    st.min = lo;
    st.max = hi;
    if (!st.pageSet)
        st.page = std::max(1, (hi - lo) / 5);
    st.pos = Clamp(st, st.pos);
    if (redraw)
        InvalidateRect(hwnd, nullptr, FALSE);
}

// A user move: the new position, then the scroll code to the parent.
void Move(HWND hwnd, TrackState& st, int pos, UINT code)
{
    SetPos(hwnd, st, pos, true);
    const bool withPos = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    SendScroll(hwnd, Vertical(hwnd), code, withPos ? st.pos : 0);
}

void PageTowards(HWND hwnd, TrackState& st)
{
    const Geometry g = Layout(hwnd, st);
    const int centre = CentreOf(st, g);
    if (st.pagingTo < 0 || std::abs(st.pagingTo - centre) <= ThumbSpan(hwnd) / 2)
        return;
    const int target = PosFromPoint(st, g, st.pagingTo);
    if (st.pagingTo < centre)
        Move(hwnd, st, std::max(st.pos - st.page, target), TB_PAGEUP);
    else
        Move(hwnd, st, std::min(st.pos + st.page, target), TB_PAGEDOWN);
}

void EndPress(HWND hwnd, TrackState& st)
{
    if (!st.captured)
        return;
    st.captured = false;
    KillTimer(hwnd, kRepeatTimer);
    if (st.dragging) {
        st.dragging = false;
        InvalidateRect(hwnd, nullptr, FALSE);
        SendScroll(hwnd, Vertical(hwnd), TB_THUMBPOSITION, st.pos);
    }
    st.pagingTo = -1;
    if (!IsWindow(hwnd))
        return;
    SendScroll(hwnd, Vertical(hwnd), TB_ENDTRACK, 0);
    if (GetCapture() == hwnd)
        ReleaseCapture();
    if (IsWindow(hwnd))
        SendNotify(hwnd, NM_RELEASEDCAPTURE);
}

int Along(HWND hwnd, LPARAM lParam) { return Vertical(hwnd) ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam); }

void ButtonDown(HWND hwnd, TrackState& st, LPARAM lParam)
{
    if (GetFocus() != hwnd)
        SetFocus(hwnd);
    const Geometry g = Layout(hwnd, st);
    const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    st.captured = true;
    SetCapture(hwnd);
    if (PtInRect(&g.thumb, pt) && !(StyleOfWindow(hwnd) & TBS_NOTHUMB)) {
        st.dragging = true;
        st.grab = Along(hwnd, lParam) - CentreOf(st, g);
        InvalidateRect(hwnd, nullptr, FALSE);
        return;
    }
    st.pagingTo = Along(hwnd, lParam);
    PageTowards(hwnd, st);
    if (IsWindow(hwnd))
        SetTimer(hwnd, kRepeatTimer, 100, nullptr);
}

void KeyDown(HWND hwnd, TrackState& st, WPARAM vk)
{
    switch (static_cast<int>(vk)) {
    case VK_LEFT:
    case VK_UP: Move(hwnd, st, st.pos - st.line, TB_LINEUP); break;
    case VK_RIGHT:
    case VK_DOWN: Move(hwnd, st, st.pos + st.line, TB_LINEDOWN); break;
    case VK_PRIOR: Move(hwnd, st, st.pos - st.page, TB_PAGEUP); break;
    case VK_NEXT: Move(hwnd, st, st.pos + st.page, TB_PAGEDOWN); break;
    case VK_HOME: Move(hwnd, st, st.min, TB_TOP); break;
    case VK_END: Move(hwnd, st, st.max, TB_BOTTOM); break;
    default: break;
    }
}

bool IsMoveKey(WPARAM vk)
{
    switch (static_cast<int>(vk)) {
    case VK_LEFT: case VK_UP: case VK_RIGHT: case VK_DOWN: case VK_PRIOR: case VK_NEXT: case VK_HOME: case VK_END:
        return true;
    default:
        return false;
    }
}

LRESULT TrackMessage(HWND hwnd, TrackState& st, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(hwnd, &ps);
        if (dc)
            Paint(hwnd, dc);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ButtonDown(hwnd, st, lParam);
        return 0;
    case WM_MOUSEMOVE:
        if (st.dragging) {
            const Geometry g = Layout(hwnd, st);
            const int pos = PosFromPoint(st, g, Along(hwnd, lParam) - st.grab);
            if (pos != st.pos)
                Move(hwnd, st, pos, TB_THUMBTRACK);
        } else if (st.pagingTo >= 0) {
            st.pagingTo = Along(hwnd, lParam);
        }
        return 0;
    case WM_LBUTTONUP:
        EndPress(hwnd, st);
        return 0;
    case WM_CAPTURECHANGED:
        if (st.captured && reinterpret_cast<HWND>(lParam) != hwnd)
            EndPress(hwnd, st);
        return 0;
    case WM_TIMER:
        if (wParam == kRepeatTimer) {
            PageTowards(hwnd, st);
            return 0;
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_MOUSEWHEEL: {
        // As the desktop's own sliders: turning the wheel away from the user
        // moves the thumb right, or up on a vertical bar (whose minimum is at
        // the top), one line a notch.
        st.wheelRest += GET_WHEEL_DELTA_WPARAM(wParam);
        const int notches = st.wheelRest / WHEEL_DELTA;
        st.wheelRest -= notches * WHEEL_DELTA;
        if (notches == 0)
            return 0;
        const int steps = Vertical(hwnd) ? -notches : notches;
        Move(hwnd, st, st.pos + steps * st.line, steps < 0 ? TB_LINEUP : TB_LINEDOWN);
        if (IsWindow(hwnd))
            SendScroll(hwnd, Vertical(hwnd), TB_ENDTRACK, 0);
        return 0;
    }
    case WM_KEYDOWN:
        if (!IsMoveKey(wParam))
            return DefWindowProc(hwnd, msg, wParam, lParam);
        KeyDown(hwnd, st, wParam);
        return 0;
    case WM_KEYUP:
        if (!IsMoveKey(wParam))
            return DefWindowProc(hwnd, msg, wParam, lParam);
        SendScroll(hwnd, Vertical(hwnd), TB_ENDTRACK, 0);
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        st.focus = msg == WM_SETFOCUS;
        InvalidateRect(hwnd, nullptr, FALSE);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_ENABLE:
    case WM_SIZE:
        InvalidateRect(hwnd, nullptr, FALSE);
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case TBM_GETPOS:
        return st.pos;
    case TBM_SETPOS:
        SetPos(hwnd, st, static_cast<int>(lParam), wParam != 0);
        return 0;
    case TBM_GETRANGEMIN:
        return st.min;
    case TBM_GETRANGEMAX:
        return st.max;
    case TBM_SETRANGE:
        SetRange(hwnd, st, static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam))),
                 static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam))), wParam != 0);
        return 0;
    case TBM_SETRANGEMIN:
        SetRange(hwnd, st, static_cast<int>(lParam), st.max, wParam != 0);
        return 0;
    case TBM_SETRANGEMAX:
        SetRange(hwnd, st, st.min, static_cast<int>(lParam), wParam != 0);
        return 0;
    case TBM_SETPAGESIZE: {
        const int old = st.page;
        st.page = static_cast<int>(lParam);
        st.pageSet = true;
        return old;
    }
    case TBM_GETPAGESIZE:
        return st.page;
    case TBM_SETLINESIZE: {
        const int old = st.line;
        st.line = static_cast<int>(lParam);
        return old;
    }
    case TBM_GETLINESIZE:
        return st.line;
    case TBM_SETTICFREQ:
        st.ticFreq = static_cast<int>(wParam);
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case TBM_SETTIC: {
        const int t = static_cast<int>(lParam);
        if (t < st.min || t > st.max)
            return FALSE;
        st.tics.insert(std::upper_bound(st.tics.begin(), st.tics.end(), t), t);
        InvalidateRect(hwnd, nullptr, FALSE);
        return TRUE;
    }
    case TBM_GETTIC:
        return wParam < st.tics.size() ? st.tics[wParam] : -1;
    case TBM_CLEARTICS:
        st.tics.clear();
        if (wParam)
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case TBM_GETNUMTICS:
        return static_cast<LRESULT>(TicPositions(hwnd, st).size());
    case TBM_GETTICPOS: {
        if (wParam >= st.tics.size())
            return -1;
        TrackState probe = st;
        probe.pos = st.tics[wParam];
        return CentreOf(probe, Layout(hwnd, st));
    }
    case TBM_SETSEL:
        st.selStart = static_cast<SHORT>(LOWORD(static_cast<DWORD>(lParam)));
        st.selEnd = static_cast<SHORT>(HIWORD(static_cast<DWORD>(lParam)));
        if (wParam)
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case TBM_SETSELSTART:
    case TBM_SETSELEND:
        (msg == TBM_SETSELSTART ? st.selStart : st.selEnd) = static_cast<int>(lParam);
        if (wParam)
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case TBM_GETSELSTART:
        return st.selStart;
    case TBM_GETSELEND:
        return st.selEnd;
    case TBM_CLEARSEL:
        st.selStart = st.selEnd = 0;
        if (wParam)
            InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case TBM_GETTHUMBRECT:
    case TBM_GETCHANNELRECT: {
        auto* out = reinterpret_cast<RECT*>(lParam);
        if (out) {
            const Geometry g = Layout(hwnd, st);
            *out = msg == TBM_GETTHUMBRECT ? g.thumb : g.channel;
        }
        return 0;
    }
    case TBM_SETTHUMBLENGTH:
        st.thumbLength = std::max(4, static_cast<int>(wParam));
        InvalidateRect(hwnd, nullptr, FALSE);
        return 0;
    case TBM_GETTHUMBLENGTH:
        return st.thumbLength;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT TrackProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TrackState* st = StateOf(hwnd);
    if (!st)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return TrackMessage(hwnd, *st, msg, wParam, lParam);
}

}  // namespace

void RegisterTrackbarClass()
{
    BuiltinClass cls;
    cls.layerDrawn = true;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &TrackProc;
    cls.createWidget = [](HWND, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        auto* w = new TrackWidget(parent);
        w->setFocusPolicy((static_cast<DWORD>(cs.style) & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
        if (static_cast<DWORD>(cs.style) & TBS_FIXEDLENGTH)
            w->state.thumbLength = 20;
        return w;
    };
    RegisterBuiltinClass(TRACKBAR_CLASS, std::move(cls));
}

}  // namespace qlafx

// ---- CSliderCtrl ----

IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)

BOOL CSliderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create(TRACKBAR_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}
