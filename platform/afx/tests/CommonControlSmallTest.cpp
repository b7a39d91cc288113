// Up-down controls, progress bars, scroll bars, tab controls and tool tips.
#include "CommonControlTestSupport.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>
#include <QPainter>
#include <QStyleOptionProgressBar>
#include <QStyleOptionSlider>
#include <string>
#include <QTabBar>

using cctest::CommonControlTest;
using cctest::Scroll;

namespace {

// ---- up-down: the sign of UDN_DELTAPOS ----

struct SpinCase {
    const char* name;
    bool setRange;
    int lower, upper;  // with setRange
    bool upArrow;
    int delta;         // Windows' sign: towards the upper end is +1 when upper > lower
};

class SpinDelta : public CommonControlTest, public ::testing::WithParamInterface<SpinCase> {};

// A 16 x 40 spin: the up arrow is the top half.
TEST_P(SpinDelta, ReportsWindowsSignAndMovesWhenAllowed)
{
    const SpinCase& c = GetParam();
    HWND spin = Make(UPDOWN_CLASS, 0, 1240, {10, 10, 26, 50});
    ASSERT_NE(spin, nullptr);
    if (c.setRange)
        SendMessage(spin, UDM_SETRANGE32, static_cast<WPARAM>(c.lower), c.upper);
    SendMessage(spin, UDM_SETPOS32, 0, 50);
    cctest::Click(qlafx::WidgetOf(spin), c.upArrow ? QPoint(8, 5) : QPoint(8, 35));
    const auto notes = m_parent.Of(UDN_DELTAPOS);
    ASSERT_EQ(notes.size(), 1u) << c.name;
    const NMUPDOWN nm = notes[0].As<NMUPDOWN>();
    EXPECT_EQ(nm.iDelta, c.delta) << c.name;
    EXPECT_EQ(nm.iPos, 50) << c.name;
    EXPECT_EQ(nm.hdr.idFrom, 1240u);
    EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 50 + c.delta) << c.name;
    const std::vector<Scroll> expected{{WM_VSCROLL, SB_THUMBPOSITION, 50 + c.delta, spin},
                                       {WM_VSCROLL, SB_ENDSCROLL, 50 + c.delta, spin}};
    EXPECT_EQ(m_parent.scrolls, expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, SpinDelta,
                         ::testing::Values(SpinCase{"default_up", false, 0, 0, true, -1},
                                           SpinCase{"default_down", false, 0, 0, false, +1},
                                           SpinCase{"rising_up", true, 0, 100, true, +1},
                                           SpinCase{"rising_down", true, 0, 100, false, -1},
                                           SpinCase{"falling_up", true, 200, 10, true, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

using Spin = CommonControlTest;

TEST_F(Spin, RefusedStepKeepsPositionAndTheEndsStillNotify)
{
    HWND spin = Make(UPDOWN_CLASS, 0, 1048, {10, 10, 26, 50});
    SendMessage(spin, UDM_SETRANGE32, 0, 10);
    SendMessage(spin, UDM_SETPOS32, 0, 10);
    // At the upper end: the owner still hears the press (its own value may
    // have another range) and the position stays.
    cctest::Click(qlafx::WidgetOf(spin), QPoint(8, 5));
    ASSERT_EQ(m_parent.Count(UDN_DELTAPOS), 1);
    EXPECT_EQ(m_parent.Of(UDN_DELTAPOS)[0].As<NMUPDOWN>().iDelta, 1);
    EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 10);

    m_parent.Clear();
    m_parent.answer = [](NMHDR* hdr) -> LRESULT { return hdr->code == UDN_DELTAPOS ? 1 : 0; };
    cctest::Click(qlafx::WidgetOf(spin), QPoint(8, 35));
    EXPECT_EQ(m_parent.Count(UDN_DELTAPOS), 1);
    EXPECT_EQ(SendMessage(spin, UDM_GETPOS32, 0, 0), 10) << "a non-zero answer refuses the step";
    const std::vector<Scroll> expected{{WM_VSCROLL, SB_ENDSCROLL, 10, spin}};
    EXPECT_EQ(m_parent.scrolls, expected);
}

TEST_F(Spin, BuddyShowsThePositionWithSetBuddyInt)
{
    HWND edit = Make("Edit", 0, 1230, {10, 10, 110, 30});
    HWND spin = Make(UPDOWN_CLASS, UDS_SETBUDDYINT | UDS_AUTOBUDDY | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 1231,
                     {0, 0, 16, 20});
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessage(spin, UDM_GETBUDDY, 0, 0)), edit);
    RECT e{}, s{};
    GetWindowRect(edit, &e);
    GetWindowRect(spin, &s);
    EXPECT_EQ(s.right, e.right + 16 - 2) << "the spin sits at the buddy's right edge";
    SendMessage(spin, UDM_SETRANGE32, 0, 5000);
    SendMessage(spin, UDM_SETPOS32, 0, 1233);
    char text[32] = {};
    GetWindowText(edit, text, sizeof text);
    EXPECT_STREQ(text, "1,233");

    // The up key in the buddy steps as the up arrow does.
    QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(qlafx::WidgetOf(edit), &up);
    ASSERT_EQ(m_parent.Count(UDN_DELTAPOS), 1);
    EXPECT_EQ(m_parent.Of(UDN_DELTAPOS)[0].As<NMUPDOWN>().iDelta, 1);
    GetWindowText(edit, text, sizeof text);
    EXPECT_STREQ(text, "1,234");
}

// ---- progress bar ----

using Progress = CommonControlTest;

TEST_F(Progress, BarFillsInProportionAndMessagesReturnOldValues)
{
    HWND bar = Make(PROGRESS_CLASS, 0, 1, {0, 0, 102, 12});
    EXPECT_EQ(SendMessage(bar, PBM_SETRANGE32, 0, 200), MAKELONG(0, 100));
    EXPECT_EQ(SendMessage(bar, PBM_SETPOS, 50, 0), 0);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 50);
    SendMessage(bar, PBM_SETBARCOLOR, 0, RGB(0, 0, 255));
    SendMessage(bar, PBM_SETBKCOLOR, 0, RGB(255, 255, 0));
    // Inside the 1-pixel frame: 100 columns, 50 / 200 of them filled (1..25).
    const QImage img = cctest::SurfaceAfterPaint(bar);
    EXPECT_EQ(cctest::PixelOf(img, 1, 6), RGB(0, 0, 255));
    EXPECT_EQ(cctest::PixelOf(img, 25, 6), RGB(0, 0, 255));
    EXPECT_EQ(cctest::PixelOf(img, 26, 6), RGB(255, 255, 0));
    EXPECT_EQ(SendMessage(bar, PBM_SETPOS, 500, 0), 50);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 200) << "kept inside the range";
    // Stepping past the end starts over from the low end.
    SendMessage(bar, PBM_SETSTEP, 30, 0);
    SendMessage(bar, PBM_SETPOS, 190, 0);
    EXPECT_EQ(SendMessage(bar, PBM_STEPIT, 0, 0), 190);
    EXPECT_EQ(SendMessage(bar, PBM_GETPOS, 0, 0), 20);
    PBRANGE range{};
    EXPECT_EQ(SendMessage(bar, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range)), 0);
    EXPECT_EQ(range.iHigh, 200);
}

// Without colours of the program's, the bar is the application style's
// progress bar in the control's state.
TEST_F(Progress, DrawnByTheApplicationStyleInItsState)
{
    const struct {
        const char* name;
        DWORD style;
        int pos;
        bool enabled;
    } cases[] = {{"quarter", 0, 25, true},
                 {"three_quarters", 0, 75, true},
                 {"disabled", 0, 25, false},
                 {"vertical", PBS_VERTICAL, 60, true}};
    QImage quarter;
    for (const auto& c : cases) {
        const QSize size = c.style & PBS_VERTICAL ? QSize(14, 80) : QSize(120, 14);
        HWND bar = Make(PROGRESS_CLASS, c.style, 2, {0, 0, size.width(), size.height()});
        SendMessage(bar, PBM_SETRANGE32, 0, 100);
        SendMessage(bar, PBM_SETPOS, c.pos, 0);
        EnableWindow(bar, c.enabled);
        const QImage img = cctest::SurfaceAfterPaint(bar).convertToFormat(QImage::Format_RGB32);

        QWidget* widget = qlafx::WidgetOf(bar);
        QStyleOptionProgressBar opt;
        opt.initFrom(widget);
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        opt.state.setFlag(QStyle::State_Enabled, c.enabled);
        opt.state.setFlag(QStyle::State_Horizontal, !(c.style & PBS_VERTICAL));
        opt.rect = QRect(QPoint(0, 0), size);
        opt.minimum = 0;
        opt.maximum = 1000;
        opt.progress = c.pos * 10;
        opt.textVisible = false;
        QImage want(size, QImage::Format_RGB32);
        {
            QPainter p(&want);
            p.fillRect(opt.rect, opt.palette.brush(QPalette::Window));
            QApplication::style()->drawControl(QStyle::CE_ProgressBar, &opt, &p, widget);
        }
        EXPECT_EQ(img, want) << c.name;
        if (std::string(c.name) == "quarter")
            quarter = img;
        if (std::string(c.name) == "three_quarters")
            EXPECT_NE(img, quarter) << "the position shows";
        DestroyWindow(bar);
    }
}

// ---- scroll bar ----

using ScrollBarTest = CommonControlTest;

TEST_F(ScrollBarTest, ClicksAskTheParentWhichMovesTheBar)
{
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(0, 0, 20, 200), &m_parent, 11));
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 1000, 100, 250, 0};
    bar.SetScrollInfo(&si);
    auto* qbar = dynamic_cast<QScrollBar*>(bar.GetWidget());
    ASSERT_NE(qbar, nullptr);
    EXPECT_EQ(qbar->value(), 250);
    EXPECT_EQ(qbar->maximum(), 901) << "the last position leaves a page: 1000 - 100 + 1";

    // The bar does not move itself: the parent hears SB_LINEDOWN.
    qbar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(bar.GetScrollPos(), 250);
    EXPECT_EQ(qbar->value(), 250);
    ASSERT_EQ(m_parent.scrolls.size(), 1u);
    EXPECT_EQ(m_parent.scrolls[0], (Scroll{WM_VSCROLL, SB_LINEDOWN, 0, bar.m_hWnd}));
    qbar->triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(m_parent.scrolls.back().code, SB_PAGEUP);

    EXPECT_EQ(bar.SetScrollPos(5000), 250);
    EXPECT_EQ(bar.GetScrollPos(), 901);
    EXPECT_EQ(bar.GetScrollLimit(), 901);
}

// Only the thumb follows a drag: SB_THUMBTRACK while it moves, then
// SB_THUMBPOSITION and SB_ENDSCROLL; a parent that sets nothing gets the
// thumb back where it was.
TEST_F(ScrollBarTest, ThumbDragTracksAndReturnsUnlessParentMovesIt)
{
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(0, 0, 20, 200), &m_parent, 12));
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 1000, 100, 0, 0};
    bar.SetScrollInfo(&si);
    auto* qbar = dynamic_cast<QScrollBar*>(bar.GetWidget());
    ASSERT_NE(qbar, nullptr);
    QStyleOptionSlider opt;
    opt.initFrom(qbar);
    opt.orientation = Qt::Vertical;
    opt.minimum = qbar->minimum();
    opt.maximum = qbar->maximum();
    opt.sliderPosition = opt.sliderValue = qbar->value();
    opt.singleStep = qbar->singleStep();
    opt.pageStep = qbar->pageStep();
    opt.subControls = QStyle::SC_All;
    const QRect thumb = qbar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, QStyle::SC_ScrollBarSlider, qbar);
    ASSERT_FALSE(thumb.isEmpty());
    QWidget* w = bar.GetWidget();
    cctest::Mouse(w, QEvent::MouseButtonPress, thumb.center());
    cctest::Mouse(w, QEvent::MouseMove, thumb.center() + QPoint(0, 40));
    ASSERT_FALSE(m_parent.scrolls.empty());
    const int tracked = m_parent.scrolls.back().pos;
    EXPECT_EQ(m_parent.scrolls.back().code, SB_THUMBTRACK);
    EXPECT_GT(tracked, 0);
    EXPECT_EQ(bar.GetScrollPos(), 0) << "the position is the parent's to set";
    cctest::Mouse(w, QEvent::MouseButtonRelease, thumb.center() + QPoint(0, 40));
    ASSERT_GE(m_parent.scrolls.size(), 3u);
    const size_t n = m_parent.scrolls.size();
    EXPECT_EQ(m_parent.scrolls[n - 2], (Scroll{WM_VSCROLL, SB_THUMBPOSITION, tracked, bar.m_hWnd}));
    EXPECT_EQ(m_parent.scrolls[n - 1], (Scroll{WM_VSCROLL, SB_ENDSCROLL, 0, bar.m_hWnd}));
    EXPECT_EQ(qbar->sliderPosition(), 0);
}

TEST_F(ScrollBarTest, NothingToScrollDisablesOnlyWithDisableNoScroll)
{
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(0, 0, 20, 200), &m_parent, 1));
    // Content 100 high in a 200-high area.
    SCROLLINFO si{sizeof si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, 100, 200, 0, 0};
    ::SetScrollInfo(bar.m_hWnd, SB_CTL, &si, TRUE);
    EXPECT_FALSE(bar.GetWidget()->isEnabled());
    EXPECT_TRUE(bar.IsWindowVisible()) << "disabled, not hidden";
    si.nMax = 1000;
    ::SetScrollInfo(bar.m_hWnd, SB_CTL, &si, TRUE);
    EXPECT_TRUE(bar.GetWidget()->isEnabled());
    SCROLLINFO back{};
    ASSERT_TRUE(bar.GetScrollInfo(&back));
    EXPECT_EQ(back.nMax, 1000);
    EXPECT_EQ(back.nPage, 200u);
    bar.ShowScrollBar(FALSE);
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_EQ(::SetScrollPos(m_parent.m_hWnd, SB_VERT, 3, TRUE), 0) << "window bars are not ours";
}

// ---- tab control ----

using Tabs = CommonControlTest;

TEST_F(Tabs, ClickAsksSelChangingAndReportsSelChange)
{
    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 30), &m_parent, 1375));
    tabs.InsertItem(0, "What's wrong?");
    tabs.InsertItem(1, "Other Cool Functions");
    EXPECT_EQ(tabs.GetItemCount(), 2);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(tabs.SetCurSel(1), 0);
    EXPECT_EQ(m_parent.notes.size(), 0u) << "TCM_SETCURSEL does not notify";
    tabs.SetCurSel(0);

    auto* bar = dynamic_cast<QTabBar*>(tabs.GetWidget());
    ASSERT_NE(bar, nullptr);
    const QPoint second = bar->tabRect(1).center();
    m_parent.answer = [](NMHDR* hdr) -> LRESULT { return hdr->code == TCN_SELCHANGING ? 1 : 0; };
    cctest::Click(bar, second);
    EXPECT_EQ(tabs.GetCurSel(), 0) << "refused";
    EXPECT_EQ(m_parent.Count(TCN_SELCHANGE), 0);
    m_parent.answer = nullptr;
    cctest::Click(bar, second);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    ASSERT_EQ(m_parent.Count(TCN_SELCHANGE), 1);
    EXPECT_EQ(m_parent.Of(TCN_SELCHANGE)[0].id, 1375u);
    char text[64] = {};
    TCITEM it{};
    it.mask = TCIF_TEXT;
    it.pszText = text;
    it.cchTextMax = sizeof text;
    ASSERT_TRUE(tabs.GetItem(1, &it));
    EXPECT_STREQ(text, "Other Cool Functions");
}

// ---- tool tips ----

using ToolTips = CommonControlTest;

TEST_F(ToolTips, ToolsAnswerWithTheirTextOrAskTheirWindow)
{
    HWND button = Make("Button", BS_PUSHBUTTON, 5, {10, 10, 60, 40}, "Undo");
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&m_parent));
    ASSERT_TRUE(tip.AddTool(CWnd::FromHandle(button), "Undo"));
    EXPECT_EQ(qlafx::ToolTipTextAt(button, POINT{5, 5}), "Undo");
    tip.UpdateTipText("Undo the last step", CWnd::FromHandle(button));
    EXPECT_EQ(qlafx::ToolTipTextAt(button, POINT{5, 5}), "Undo the last step");
    CString got;
    tip.GetText(got, CWnd::FromHandle(button));
    EXPECT_STREQ(got, "Undo the last step");

    // A rectangle of the parent with a callback text.
    const RECT area{100, 100, 150, 150};
    ASSERT_TRUE(tip.AddTool(&m_parent, LPSTR_TEXTCALLBACK, &area, 77));
    m_parent.answer = [](NMHDR* hdr) -> LRESULT {
        if (hdr->code == TTN_GETDISPINFO && hdr->idFrom == 77)
            std::strcpy(reinterpret_cast<NMTTDISPINFO*>(hdr)->szText, "Zoom");
        return 0;
    };
    EXPECT_EQ(qlafx::ToolTipTextAt(m_parent.m_hWnd, POINT{120, 120}), "Zoom");
    EXPECT_EQ(qlafx::ToolTipTextAt(m_parent.m_hWnd, POINT{10, 120}), "");
    tip.Activate(FALSE);
    EXPECT_EQ(qlafx::ToolTipTextAt(button, POINT{5, 5}), "");
    EXPECT_EQ(tip.GetToolCount(), 2);
}

}  // namespace
