// "ScrollBar": a QScrollBar that, as on Windows, does not move itself: a
// click or key sends WM_HSCROLL / WM_VSCROLL with its SB_* code and the
// parent sets the new position. Only the thumb follows a drag
// (SB_THUMBTRACK); on release SB_THUMBPOSITION and SB_ENDSCROLL follow, and
// the thumb returns to the position the parent set.
#include "platform/afx/CommCtrlSupport.h"

#include <QScrollBar>

#include <algorithm>

namespace qlafx {
namespace {

class ScrollBarControl : public QScrollBar {
public:
    ScrollBarControl(HWND hwnd, Qt::Orientation o, QWidget* parent) : QScrollBar(o, parent), m_hwnd(hwnd)
    {
        setTracking(false);
        connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { OnAction(action); });
        connect(this, &QAbstractSlider::sliderMoved, this, [this](int at) { OnTrack(at); });
        connect(this, &QAbstractSlider::sliderReleased, this, [this] { OnReleased(); });
    }

    int minPos = 0;
    int maxPos = 100;
    UINT page = 0;
    int pos = 0;
    int trackPos = 0;
    UINT disabledArrows = ESB_ENABLE_BOTH;
    bool disabledByInfo = false;
    bool scrolled = false;  // a scroll code went out since the button went down

    bool Vertical() const { return orientation() == Qt::Vertical; }
    // The largest position: the thumb's page must fit before the end.
    int Limit() const
    {
        const long long lim = static_cast<long long>(maxPos) - std::max<long long>(static_cast<long long>(page) - 1, 0);
        return static_cast<int>(std::max<long long>(lim, minPos));
    }
    void Sync()
    {
        m_syncing = true;
        setRange(minPos, Limit());
        setPageStep(static_cast<int>(std::max<UINT>(page, 1)));
        setValue(pos);
        setSliderPosition(pos);
        m_syncing = false;
    }
    void SetPos(int p)
    {
        pos = std::clamp(p, minPos, Limit());
        Sync();
    }

private:
    void OnAction(int action)
    {
        if (m_syncing)
            return;
        UINT code = SB_ENDSCROLL;
        switch (action) {
        case SliderSingleStepAdd: code = SB_LINEDOWN; break;
        case SliderSingleStepSub: code = SB_LINEUP; break;
        case SliderPageStepAdd: code = SB_PAGEDOWN; break;
        case SliderPageStepSub: code = SB_PAGEUP; break;
        case SliderToMinimum: code = SB_TOP; break;
        case SliderToMaximum: code = SB_BOTTOM; break;
        default: return;  // drags are reported by OnTrack
        }
        scrolled = true;
        // The parent moves the bar, not the click.
        setSliderPosition(pos);
        SendScroll(m_hwnd, Vertical(), code, 0);
    }
    // Only the thumb follows a drag; the position is the parent's to set.
    void OnTrack(int at)
    {
        if (m_syncing)
            return;
        scrolled = true;
        trackPos = at;
        SendScroll(m_hwnd, Vertical(), SB_THUMBTRACK, at);
    }
    void OnReleased()
    {
        if (m_syncing)
            return;
        scrolled = true;
        const int at = sliderPosition();
        SendScroll(m_hwnd, Vertical(), SB_THUMBPOSITION, at);
        if (IsWindow(m_hwnd))
            Sync();
    }

    HWND m_hwnd;
    bool m_syncing = false;
};

ScrollBarControl* ControlOf(HWND hwnd) { return dynamic_cast<ScrollBarControl*>(WidgetOf(hwnd)); }

// SIF_DISABLENOSCROLL: a bar with nothing to scroll is disabled instead of
// showing an empty track; it comes back when there is something again.
void ApplyInfo(ScrollBarControl& bar, const SCROLLINFO& si)
{
    if (si.fMask & SIF_RANGE) {
        bar.minPos = si.nMin;
        bar.maxPos = std::max(si.nMin, si.nMax);
    }
    if (si.fMask & SIF_PAGE)
        bar.page = std::min<UINT>(si.nPage, static_cast<UINT>(bar.maxPos - bar.minPos + 1));
    if (si.fMask & SIF_POS)
        bar.pos = si.nPos;
    bar.pos = std::clamp(bar.pos, bar.minPos, bar.Limit());
    const bool needed = bar.maxPos > bar.minPos && static_cast<long long>(bar.page) <= bar.maxPos - bar.minPos;
    if (si.fMask & SIF_DISABLENOSCROLL) {
        bar.disabledByInfo = !needed;
        bar.setEnabled(needed && bar.disabledArrows != ESB_DISABLE_BOTH);
    } else if (bar.disabledByInfo && needed) {
        bar.disabledByInfo = false;
        bar.setEnabled(bar.disabledArrows != ESB_DISABLE_BOTH);
    }
    bar.Sync();
}

LRESULT ScrollMessage(HWND hwnd, ScrollBarControl& bar, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_LBUTTONDOWN:
        bar.scrolled = false;
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case WM_LBUTTONUP: {
        const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        if (IsWindow(hwnd) && bar.scrolled) {
            bar.scrolled = false;
            SendScroll(hwnd, bar.Vertical(), SB_ENDSCROLL, 0);
        }
        return r;
    }
    case SBM_SETPOS: {
        const int old = bar.pos;
        bar.SetPos(static_cast<int>(wParam));
        return old;
    }
    case SBM_GETPOS:
        return bar.pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
        const int old = bar.pos;
        SCROLLINFO si{sizeof si, SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
        ApplyInfo(bar, si);
        return bar.pos != old ? old : 0;
    }
    case SBM_GETRANGE:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = bar.minPos;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = bar.maxPos;
        return 0;
    case SBM_SETSCROLLINFO: {
        const auto* si = reinterpret_cast<const SCROLLINFO*>(lParam);
        if (si)
            ApplyInfo(bar, *si);
        return bar.pos;
    }
    case SBM_GETSCROLLINFO: {
        auto* si = reinterpret_cast<SCROLLINFO*>(lParam);
        if (!si)
            return FALSE;
        if (si->fMask & SIF_RANGE) {
            si->nMin = bar.minPos;
            si->nMax = bar.maxPos;
        }
        if (si->fMask & SIF_PAGE)
            si->nPage = bar.page;
        if (si->fMask & SIF_POS)
            si->nPos = bar.pos;
        if (si->fMask & SIF_TRACKPOS)
            si->nTrackPos = bar.isSliderDown() ? bar.trackPos : bar.pos;
        return TRUE;
    }
    case SBM_ENABLE_ARROWS: {
        const UINT flags = static_cast<UINT>(wParam) & ESB_DISABLE_BOTH;
        if (flags == bar.disabledArrows)
            return FALSE;
        bar.disabledArrows = flags;
        bar.setEnabled(flags != ESB_DISABLE_BOTH && !bar.disabledByInfo);
        return TRUE;
    }
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT ScrollBarProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    ScrollBarControl* bar = ControlOf(hwnd);
    if (!bar)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return ScrollMessage(hwnd, *bar, msg, wParam, lParam);
}

bool IsControl(HWND hwnd, int nBar) { return nBar == SB_CTL && ControlOf(hwnd) != nullptr; }

}  // namespace

void RegisterScrollBarClass()
{
    BuiltinClass cls;
    cls.layerDrawn = false;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &ScrollBarProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        const DWORD style = static_cast<DWORD>(cs.style);
        auto* bar = new ScrollBarControl(hwnd, (style & SBS_VERT) ? Qt::Vertical : Qt::Horizontal, parent);
        bar->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
        bar->Sync();
        return bar;
    };
    RegisterBuiltinClass("ScrollBar", std::move(cls));
}

}  // namespace qlafx

int SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO info, BOOL redraw)
{
    if (!info || !qlafx::IsControl(hwnd, nBar))
        return 0;
    return static_cast<int>(SendMessage(hwnd, SBM_SETSCROLLINFO, static_cast<WPARAM>(redraw),
                                        reinterpret_cast<LPARAM>(info)));
}

BOOL GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO info)
{
    if (!info || !qlafx::IsControl(hwnd, nBar))
        return FALSE;
    return static_cast<BOOL>(SendMessage(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(info)));
}

int SetScrollPos(HWND hwnd, int nBar, int pos, BOOL redraw)
{
    if (!qlafx::IsControl(hwnd, nBar))
        return 0;
    return static_cast<int>(SendMessage(hwnd, SBM_SETPOS, static_cast<WPARAM>(pos), redraw));
}

int GetScrollPos(HWND hwnd, int nBar)
{
    return qlafx::IsControl(hwnd, nBar) ? static_cast<int>(SendMessage(hwnd, SBM_GETPOS, 0, 0)) : 0;
}

BOOL SetScrollRange(HWND hwnd, int nBar, int minPos, int maxPos, BOOL redraw)
{
    if (!qlafx::IsControl(hwnd, nBar))
        return FALSE;
    SendMessage(hwnd, redraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, static_cast<WPARAM>(minPos), maxPos);
    return TRUE;
}

BOOL GetScrollRange(HWND hwnd, int nBar, LPINT minPos, LPINT maxPos)
{
    if (!qlafx::IsControl(hwnd, nBar))
        return FALSE;
    SendMessage(hwnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(minPos), reinterpret_cast<LPARAM>(maxPos));
    return TRUE;
}

BOOL EnableScrollBar(HWND hwnd, UINT nBar, UINT arrows)
{
    if (!qlafx::IsControl(hwnd, static_cast<int>(nBar)))
        return FALSE;
    return static_cast<BOOL>(SendMessage(hwnd, SBM_ENABLE_ARROWS, arrows, 0));
}

BOOL ShowScrollBar(HWND hwnd, int nBar, BOOL show)
{
    if (!qlafx::IsControl(hwnd, nBar))
        return FALSE;
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    return TRUE;
}

// ---- CScrollBar ----

IMPLEMENT_DYNAMIC(CScrollBar, CWnd)

BOOL CScrollBar::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterCommonControlClasses();
    return CWnd::Create("ScrollBar", nullptr, dwStyle, rect, pParentWnd, nID);
}

BOOL CScrollBar::GetScrollInfo(LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    if (!lpScrollInfo)
        return FALSE;
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return static_cast<BOOL>(SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpScrollInfo)));
}

int CScrollBar::GetScrollLimit()
{
    SCROLLINFO si{};
    GetScrollInfo(&si, SIF_RANGE | SIF_PAGE);
    return si.nMax - std::max(static_cast<int>(si.nPage) - 1, 0);
}
