// Trackbars: scroll codes and NM_RELEASEDCAPTURE from mouse and keys,
// position messages, and custom drawing of every part.
#include "CommonControlTestSupport.h"

#include <QKeyEvent>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

using cctest::CommonControlTest;
using cctest::Scroll;

namespace {

// A 200 x 30 horizontal trackbar: the channel runs from x 8 to 192 and the
// thumb centre from 8 (min) to 8 + 183 (max), x = 8 + (pos - min) * 183 / range;
// the thumb spans rows 2..21, the channel rows 10..13.
constexpr int kW = 200, kH = 30;
int CentreX(int pos) { return 8 + pos * 183 / 100; }

struct DragCase {
    const char* name;
    DWORD style;
    int startPos;
    QPoint press;                // along x (or y when vertical), across
    std::vector<QPoint> moves;
    std::vector<UINT> codes;     // scroll codes expected, in order
    std::vector<int> positions;  // their positions (0 where Windows passes none)
    int finalPos;
};

class TrackbarMouse : public CommonControlTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(TrackbarMouse, SendsScrollCodesThenOneReleasedCapture)
{
    const DragCase& c = GetParam();
    const bool vertical = (c.style & TBS_VERT) != 0;
    const RECT rc = vertical ? RECT{10, 10, 10 + kH, 10 + kW} : RECT{10, 10, 10 + kW, 10 + kH};
    HWND track = Make(TRACKBAR_CLASS, c.style, 21, rc);
    ASSERT_NE(track, nullptr);
    SendMessage(track, TBM_SETPOS, TRUE, c.startPos);
    auto at = [&](QPoint p) { return vertical ? QPoint(p.y(), p.x()) : p; };
    QWidget* w = qlafx::WidgetOf(track);
    cctest::Mouse(w, QEvent::MouseButtonPress, at(c.press));
    for (const QPoint& m : c.moves)
        cctest::Mouse(w, QEvent::MouseMove, at(m));
    EXPECT_EQ(m_parent.Count(NM_RELEASEDCAPTURE), 0) << c.name << ": not while the button is down";
    cctest::Mouse(w, QEvent::MouseButtonRelease, at(c.moves.empty() ? c.press : c.moves.back()));

    const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
    std::vector<Scroll> expected;
    for (size_t i = 0; i < c.codes.size(); ++i)
        expected.push_back({message, c.codes[i], c.positions[i], track});
    EXPECT_EQ(m_parent.scrolls, expected) << c.name;
    EXPECT_EQ(m_parent.Count(NM_RELEASEDCAPTURE), 1) << c.name;
    ASSERT_FALSE(m_parent.notes.empty());
    const NMHDR last = m_parent.notes.back().As<NMHDR>();
    EXPECT_EQ(last.code, NM_RELEASEDCAPTURE) << c.name << ": after the scroll codes";
    EXPECT_EQ(last.idFrom, 21u);
    EXPECT_EQ(last.hwndFrom, track);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), c.finalPos) << c.name;
    EXPECT_EQ(GetCapture(), nullptr) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrackbarMouse,
    ::testing::Values(
        // Thumb at 0 (x 8) dragged to x 81: (81 - 8) * 100 / 183 = 39.9 -> 40; then
        // to x 82 (still 40: no message), then to the far end (100).
        DragCase{"drag", 0, 0, {8, 12}, {{81, 12}, {82, 12}, {191, 12}},
                 {TB_THUMBTRACK, TB_THUMBTRACK, TB_THUMBPOSITION, TB_ENDTRACK}, {40, 100, 100, 0}, 100},
        // Grabbed 3 px right of its centre: the grab offset is kept.
        DragCase{"grab offset", 0, 50, {CentreX(50) + 3, 12}, {{CentreX(60) + 3, 12}},
                 {TB_THUMBTRACK, TB_THUMBPOSITION, TB_ENDTRACK}, {60, 60, 0}, 60},
        DragCase{"vertical drag", TBS_VERT, 0, {8, 12}, {{CentreX(25), 12}},
                 {TB_THUMBTRACK, TB_THUMBPOSITION, TB_ENDTRACK}, {25, 25, 0}, 25},
        // A press on the channel pages towards it (page size 20 by default).
        DragCase{"page down", 0, 0, {150, 12}, {}, {TB_PAGEDOWN, TB_ENDTRACK}, {0, 0}, 20},
        DragCase{"page up", 0, 50, {20, 12}, {}, {TB_PAGEUP, TB_ENDTRACK}, {0, 0}, 30},
        // A drag that ends where it began still reports its position.
        DragCase{"press and release on thumb", 0, 30, {CentreX(30), 12}, {},
                 {TB_THUMBPOSITION, TB_ENDTRACK}, {30, 0}, 30}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& ch : n)
            if (ch == ' ')
                ch = '_';
        return n;
    });

using Trackbar = CommonControlTest;

TEST_F(Trackbar, DefaultsAndPositionMessagesWithoutNotifying)
{
    HWND track = Make(TRACKBAR_CLASS, 0, 3, {0, 0, kW, kH});
    EXPECT_EQ(SendMessage(track, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessage(track, TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(SendMessage(track, TBM_GETPAGESIZE, 0, 0), 20);
    EXPECT_EQ(SendMessage(track, TBM_GETLINESIZE, 0, 0), 1);
    // WM_USER is TBM_GETPOS: the skinned slider's owners read it that way.
    SendMessage(track, TBM_SETPOS, TRUE, 42);
    EXPECT_EQ(SendMessage(track, WM_USER, 0, 0), 42);
    SendMessage(track, TBM_SETRANGE, TRUE, MAKELPARAM(10, 20));
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 20) << "the position is kept inside a new range";
    SendMessage(track, TBM_SETPOS, TRUE, 5);
    EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), 10);
    EXPECT_TRUE(m_parent.scrolls.empty());
    EXPECT_TRUE(m_parent.notes.empty() || m_parent.Count(NM_RELEASEDCAPTURE) == 0);

    RECT channel{}, thumb{};
    SendMessage(track, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
    SendMessage(track, TBM_SETPOS, FALSE, 50);
    SendMessage(track, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&channel));
    SendMessage(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    EXPECT_EQ(channel.left, 8);
    EXPECT_EQ(channel.right, 192);
    EXPECT_EQ((thumb.left + thumb.right) / 2, CentreX(50));
}

struct KeyCase {
    int qtKey;
    UINT code;
    int pos;
};

TEST_F(Trackbar, KeysMoveByLineAndPageAndEndTrackOnRelease)
{
    HWND track = Make(TRACKBAR_CLASS, WS_TABSTOP, 4, {0, 0, kW, kH});
    SendMessage(track, TBM_SETPOS, TRUE, 50);
    const KeyCase cases[] = {{Qt::Key_Right, TB_LINEDOWN, 51}, {Qt::Key_Left, TB_LINEUP, 50},
                             {Qt::Key_PageDown, TB_PAGEDOWN, 70}, {Qt::Key_PageUp, TB_PAGEUP, 50},
                             {Qt::Key_End, TB_BOTTOM, 100}, {Qt::Key_Home, TB_TOP, 0}};
    QWidget* w = qlafx::WidgetOf(track);
    for (const KeyCase& k : cases) {
        m_parent.Clear();
        QKeyEvent press(QEvent::KeyPress, k.qtKey, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
        QKeyEvent release(QEvent::KeyRelease, k.qtKey, Qt::NoModifier);
        QApplication::sendEvent(w, &release);
        const std::vector<Scroll> expected{{WM_HSCROLL, k.code, 0, track}, {WM_HSCROLL, TB_ENDTRACK, 0, track}};
        EXPECT_EQ(m_parent.scrolls, expected) << k.qtKey;
        EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), k.pos) << k.qtKey;
        EXPECT_EQ(m_parent.Count(NM_RELEASEDCAPTURE), 0) << "keys never had the capture";
    }
}

struct WheelCase {
    const char* name;
    DWORD style;
    std::vector<int> deltas;  // angle deltas of the wheel events, in order
    UINT code;                // the scroll code of the step
    int pos;                  // from 50, line size 3
};

// The wheel moves as the desktop's own sliders do: away from the user is
// right, or up on a vertical bar; one line a notch, partial notches add up.
TEST_F(Trackbar, WheelStepsByLineInTheDesktopDirection)
{
    const WheelCase cases[] = {
        {"away, horizontal", 0, {120}, TB_LINEDOWN, 53},
        {"toward, horizontal", 0, {-120}, TB_LINEUP, 47},
        {"away, vertical", TBS_VERT, {120}, TB_LINEUP, 47},
        {"toward, vertical", TBS_VERT, {-120}, TB_LINEDOWN, 53},
        {"two notches at once", 0, {240}, TB_LINEDOWN, 56},
        {"half notches add up", 0, {60, 60}, TB_LINEDOWN, 53},
    };
    for (const WheelCase& c : cases) {
        SCOPED_TRACE(c.name);
        const bool vertical = (c.style & TBS_VERT) != 0;
        HWND track = Make(TRACKBAR_CLASS, c.style, 5, vertical ? RECT{0, 0, kH, kW} : RECT{0, 0, kW, kH});
        SendMessage(track, TBM_SETLINESIZE, 0, 3);
        SendMessage(track, TBM_SETPOS, TRUE, 50);
        m_parent.Clear();
        QWidget* w = qlafx::WidgetOf(track);
        for (int delta : c.deltas) {
            QWheelEvent wheel(QPointF(10, 10), QPointF(w->mapToGlobal(QPoint(10, 10))), QPoint(), QPoint(0, delta),
                              Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(w, &wheel);
        }
        const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
        const std::vector<Scroll> expected{{message, c.code, 0, track}, {message, TB_ENDTRACK, 0, track}};
        EXPECT_EQ(m_parent.scrolls, expected);
        EXPECT_EQ(SendMessage(track, TBM_GETPOS, 0, 0), c.pos);
        DestroyWindow(track);
    }
}

// A skinned slider draws every part itself: each part's rectangle is
// filled with its own colour and the default drawing skipped.
TEST_F(Trackbar, CustomDrawLetsParentDrawEachPart)
{
    const COLORREF colors[4] = {0, RGB(200, 0, 0), RGB(0, 200, 0), RGB(0, 0, 200)};  // by TBCD_*
    std::vector<DWORD_PTR> parts;
    std::vector<RECT> rects;
    m_parent.answer = [&](NMHDR* hdr) -> LRESULT {
        if (hdr->code != NM_CUSTOMDRAW)
            return 0;
        auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(hdr);
        if (cd->dwDrawStage == CDDS_PREPAINT)
            return CDRF_NOTIFYITEMDRAW;
        if (cd->dwDrawStage != CDDS_ITEMPREPAINT)
            return CDRF_DODEFAULT;
        parts.push_back(cd->dwItemSpec);
        rects.push_back(cd->rc);
        HBRUSH b = CreateSolidBrush(colors[cd->dwItemSpec]);
        FillRect(cd->hdc, &cd->rc, b);
        DeleteObject(b);
        return CDRF_SKIPDEFAULT;
    };
    HWND track = Make(TRACKBAR_CLASS, TBS_AUTOTICKS, 5, {0, 0, kW, kH});
    SendMessage(track, TBM_SETTICFREQ, 10, 0);
    SendMessage(track, TBM_SETPOS, TRUE, 0);
    const QImage img = cctest::SurfaceAfterPaint(track);
    ASSERT_FALSE(img.isNull());
    ASSERT_EQ(parts, (std::vector<DWORD_PTR>{TBCD_TICS, TBCD_CHANNEL, TBCD_THUMB}));
    // The channel away from the thumb, the thumb's middle, the tic row.
    EXPECT_EQ(cctest::PixelOf(img, 150, 11), colors[TBCD_CHANNEL]);
    EXPECT_EQ(cctest::PixelOf(img, CentreX(0), 5), colors[TBCD_THUMB]);
    EXPECT_EQ(cctest::PixelOf(img, 150, rects[0].top), colors[TBCD_TICS]);
    EXPECT_EQ(rects[0].top, 23) << "tics sit below the thumb (rows 2..21)";
}

// The colour the application style draws a slider's tick marks in: the
// first pixel its tick drawing sets on white.
QColor StyleTickColour()
{
    QImage img(100, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    QStyleOptionSlider opt;
    opt.orientation = Qt::Horizontal;
    opt.state |= QStyle::State_Horizontal | QStyle::State_Enabled;
    opt.subControls = QStyle::SC_SliderTickmarks;
    opt.tickPosition = QSlider::TicksBelow;
    opt.maximum = 10;
    opt.tickInterval = 5;
    opt.rect = img.rect();
    QPainter p(&img);
    QApplication::style()->drawComplexControl(QStyle::CC_Slider, &opt, &p);
    p.end();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) != Qt::white)
                return img.pixelColor(x, y);
    return {};
}

struct TicCase {
    const char* name;
    DWORD style;
    int freq;               // TBM_SETTICFREQ
    std::vector<int> set;   // TBM_SETTIC
    std::vector<int> marks; // positions that carry a tic
};

// Tics are the style's tick marks, one per position the trackbar computes,
// on the side the style bits name, in either orientation.
TEST_F(Trackbar, TicsAreTheStylesTickMarksAtTheirPositions)
{
    const TicCase cases[] = {
        {"auto, below", TBS_AUTOTICKS, 25, {}, {0, 25, 50, 75, 100}},
        {"set unevenly, above", TBS_TOP, 1, {10, 13, 70}, {0, 10, 13, 70, 100}},
        {"vertical, auto, right", TBS_VERT | TBS_AUTOTICKS, 50, {}, {0, 50, 100}},
        {"vertical, set, left", TBS_VERT | TBS_LEFT, 1, {30}, {0, 30, 100}},
        {"none", TBS_NOTICKS | TBS_AUTOTICKS, 10, {40}, {}},
    };
    const QColor tick = StyleTickColour();
    for (const TicCase& c : cases) {
        SCOPED_TRACE(c.name);
        RECT band{};
        m_parent.answer = [&](NMHDR* hdr) -> LRESULT {
            auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(hdr);
            if (hdr->code != NM_CUSTOMDRAW)
                return 0;
            if (cd->dwDrawStage == CDDS_PREPAINT)
                return CDRF_NOTIFYITEMDRAW;
            if (cd->dwDrawStage == CDDS_ITEMPREPAINT && cd->dwItemSpec == TBCD_TICS)
                band = cd->rc;
            return CDRF_DODEFAULT;
        };
        const bool vertical = (c.style & TBS_VERT) != 0;
        HWND track = Make(TRACKBAR_CLASS, c.style, 9, vertical ? RECT{0, 0, kH, kW} : RECT{0, 0, kW, kH});
        SendMessage(track, TBM_SETTICFREQ, c.freq, 0);
        for (int t : c.set)
            SendMessage(track, TBM_SETTIC, 0, t);
        const QImage img = cctest::SurfaceAfterPaint(track);
        ASSERT_FALSE(img.isNull());
        // Across the band, the side the thumb leaves free.
        const bool before = (c.style & TBS_TOP) != 0;
        const int thumbEdge = before ? 8 : 22;
        EXPECT_EQ(vertical ? (before ? band.right <= thumbEdge : band.left >= thumbEdge)
                           : (before ? band.bottom <= thumbEdge : band.top >= thumbEdge), true);
        // Along the band: the runs of tick-coloured pixels, by their centres.
        std::vector<int> centres;
        int runStart = -1;
        const int along0 = vertical ? band.top : band.left, along1 = vertical ? band.bottom : band.right;
        for (int a = along0 - 4; a <= along1 + 4; ++a) {
            bool marked = false;
            for (int across = vertical ? band.left : band.top; across < (vertical ? band.right : band.bottom); ++across)
                marked |= img.pixelColor(vertical ? across : a, vertical ? a : across) == tick;
            if (marked && runStart < 0)
                runStart = a;
            if (!marked && runStart >= 0) {
                centres.push_back((runStart + a - 1) / 2);
                runStart = -1;
            }
        }
        std::vector<int> expected;
        for (int m : c.marks)
            expected.push_back(CentreX(m));
        EXPECT_EQ(centres, expected);
        DestroyWindow(track);
    }
}

TEST_F(Trackbar, CustomDrawSkippingAllLeavesTheWholeFaceToParent)
{
    int itemNotes = 0;
    m_parent.answer = [&](NMHDR* hdr) -> LRESULT {
        auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(hdr);
        if (hdr->code != NM_CUSTOMDRAW)
            return 0;
        if (cd->dwDrawStage & CDDS_ITEM) {
            ++itemNotes;
            return 0;
        }
        HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
        FillRect(cd->hdc, &cd->rc, b);
        DeleteObject(b);
        return CDRF_SKIPDEFAULT;
    };
    HWND track = Make(TRACKBAR_CLASS, 0, 6, {0, 0, kW, kH});
    const QImage img = cctest::SurfaceAfterPaint(track);
    EXPECT_EQ(itemNotes, 0);
    for (QPoint p : {QPoint(0, 0), QPoint(CentreX(0), 10), QPoint(150, 11), QPoint(kW - 1, kH - 1)})
        EXPECT_EQ(cctest::PixelOf(img, p.x(), p.y()), RGB(1, 2, 3)) << p.x() << "," << p.y();
}

// Through the wrapper as the skinned slider uses it.
TEST_F(Trackbar, SliderCtrlWrapsTheMessages)
{
    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, kW, kH), &m_parent, 7));
    slider.SetRange(-50, 50, TRUE);
    slider.SetPos(-20);
    EXPECT_EQ(slider.GetPos(), -20);
    EXPECT_EQ(slider.GetRangeMin(), -50);
    EXPECT_EQ(slider.GetRangeMax(), 50);
    slider.SetTicFreq(25);
    EXPECT_EQ(slider.GetNumTics(), 2u) << "without TBS_AUTOTICKS only the ends";
    slider.SetTic(10);
    EXPECT_EQ(slider.GetNumTics(), 3u);
    EXPECT_EQ(slider.GetTic(0), 10);
}

}  // namespace

// Without custom drawing the thumb is the application style's slider handle
// in the control's state: what the style draws for that state at the thumb.
TEST_F(Trackbar, ThumbIsTheStylesHandleInItsState)
{
    enum class State { Normal, Disabled, Focused, Pressed };
    const struct {
        const char* name;
        State state;
    } cases[] = {{"normal", State::Normal}, {"disabled", State::Disabled}, {"focused", State::Focused},
                 {"pressed", State::Pressed}};
    for (const auto& c : cases) {
        HWND track = Make(TRACKBAR_CLASS, TBS_NOTICKS, 6, {0, 0, kW, kH});
        SendMessage(track, TBM_SETPOS, TRUE, 40);
        RECT thumb{};
        SendMessage(track, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
        if (c.state == State::Disabled)
            EnableWindow(track, FALSE);
        if (c.state == State::Focused)
            SendMessage(track, WM_SETFOCUS, 0, 0);
        if (c.state == State::Pressed)
            SendMessage(track, WM_LBUTTONDOWN, MK_LBUTTON,
                        MAKELPARAM((thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2));
        const QImage img = cctest::SurfaceAfterPaint(track).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(img.isNull()) << c.name;

        QWidget* widget = qlafx::WidgetOf(track);
        QStyleOptionSlider opt;
        opt.initFrom(widget);
        opt.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        opt.state.setFlag(QStyle::State_Enabled, c.state != State::Disabled);
        opt.state.setFlag(QStyle::State_HasFocus, c.state == State::Focused);
        opt.state |= QStyle::State_Horizontal;
        if (c.state == State::Pressed) {
            opt.state |= QStyle::State_Sunken;
            opt.activeSubControls = QStyle::SC_SliderHandle;
        }
        opt.orientation = Qt::Horizontal;
        opt.subControls = QStyle::SC_SliderHandle;
        opt.rect = QRect(thumb.left, thumb.top, thumb.right - thumb.left, thumb.bottom - thumb.top);
        // The handle alone; where it is opaque, the control shows exactly it
        // (its soft edges blend with the groove beneath).
        QImage want(img.size(), QImage::Format_ARGB32);
        want.fill(Qt::transparent);
        {
            QPainter p(&want);
            QApplication::style()->drawComplexControl(QStyle::CC_Slider, &opt, &p, widget);
        }
        int opaque = 0, differ = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (qAlpha(want.pixel(x, y)) == 255) {
                    ++opaque;
                    differ += (img.pixel(x, y) & 0xFFFFFF) != (want.pixel(x, y) & 0xFFFFFF);
                }
        EXPECT_GT(opaque, (thumb.right - thumb.left) * (thumb.bottom - thumb.top) / 3) << c.name;
        EXPECT_EQ(differ, 0) << c.name;
        if (c.state == State::Pressed)
            SendMessage(track, WM_LBUTTONUP, 0, 0);
        DestroyWindow(track);
    }
}
