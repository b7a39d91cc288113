// The hue range bar: its weight table, the drags with their constraints
// (also through negative positions), and the painted bar.
#include "SkinTestSupport.h"

#include "RecordingParent.h"
#include "editor/ui/HueRangeCtrl.h"

#include <QImage>

#include <array>
#include <string>
#include <vector>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

using Positions = std::array<int, 4>;  // ramp start, full start, full end, ramp end

struct Weight {
    int hue;
    int weight;
};

// ---- the weight table ----

struct TableCase {
    const char* name;
    Positions at;
    std::vector<Weight> weights;
};

// (p - rs) 256 / (fs - rs) rising, 255 flat, (re - p - 1) 256 / (re - fe)
// falling, 0 elsewhere.
const TableCase kTableCases[] = {
    {"Defaults",
     {96, 112, 144, 160},
     {{95, 0}, {96, 0}, {100, 64}, {111, 240}, {112, 255}, {143, 255}, {144, 240}, {159, 0}, {160, 0}, {0, 0}}},
    {"NegativeRampStartWrapsThroughZero",
     {-10, 0, 20, 30},
     {{245, 0}, {246, 0}, {251, 128}, {255, 230}, {0, 255}, {19, 255}, {20, 230}, {29, 0}, {30, 0}}},
    {"PastOneTurn",
     {250, 260, 270, 280},
     {{249, 0}, {250, 0}, {255, 128}, {4, 255}, {13, 255}, {14, 230}, {23, 0}, {24, 0}}},
    {"AllNegative",
     {-54, -38, -6, 10},
     {{202, 0}, {210, 128}, {218, 255}, {249, 255}, {250, 240}, {0, 144}, {8, 16}, {9, 0}, {10, 0}}},
};

class HueWeights : public ::testing::TestWithParam<TableCase> {};

TEST_P(HueWeights, FollowTheFourPositions)
{
    const TableCase& c = GetParam();
    CHueRangeCtrl ctrl;
    ctrl.m_rampStart = c.at[0];
    ctrl.m_fullStart = c.at[1];
    ctrl.m_fullEnd = c.at[2];
    ctrl.m_rampEnd = c.at[3];
    BYTE table[256];
    ctrl.BuildWeightTable(table);
    for (const Weight& w : c.weights)
        EXPECT_EQ(table[w.hue], w.weight) << "hue " << w.hue;
}

INSTANTIATE_TEST_SUITE_P(Cases, HueWeights, ::testing::ValuesIn(kTableCases),
                         [](const ::testing::TestParamInfo<TableCase>& info) { return std::string(info.param.name); });

// ---- dragging ----

// A 258 x 60 bar: the lower bar spans x 1..257, 256 pixels, so a hue's
// column is 1 + hue and a move of n pixels moves n hue steps; its rows are
// 40..58 below the black line at 40.
class HueRangeFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateParent());
        ASSERT_TRUE(m_ctrl.Create(AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 258, 60), &m_parent,
                                  100));
        m_ctrl.UpdateWindow();
    }
    void TearDown() override
    {
        m_ctrl.DestroyWindow();
        m_parent.DestroyWindow();
    }
    void Mouse(UINT message, int x, int y = 50)
    {
        m_ctrl.SendMessage(message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON,
                           MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    }
    void Drag(int from, int to)
    {
        Mouse(WM_LBUTTONDOWN, from);
        Mouse(WM_MOUSEMOVE, to);
        Mouse(WM_LBUTTONUP, to);
    }
    Positions Now() const { return {m_ctrl.m_rampStart, m_ctrl.m_fullStart, m_ctrl.m_fullEnd, m_ctrl.m_rampEnd}; }

    CRecordingParent m_parent{WM_HUERANGE_DRAGGED};
    CHueRangeCtrl m_ctrl;
};

struct DragCase {
    const char* name;
    int from, to;  // client x of the press and of the move
    Positions after;
};

// From the defaults 96, 112, 144, 160 (markers at columns 97, 113, 145, 161).
const DragCase kDragCases[] = {
    {"RampStartMarker", 97, 90, {89, 112, 144, 160}},
    {"RampStartPushesFullStart", 97, 117, {116, 120, 144, 160}},
    {"FullStartPushesRampStart", 113, 83, {78, 82, 144, 160}},
    {"FullEndPushesRampEnd", 145, 245, {96, 112, 244, 248}},
    {"RampEndKeptWithin200", 161, 311, {96, 112, 144, 296}},
    // Hue 104 lies in the rising part: both its markers move, then the full
    // start keeps 4 from the full end.
    {"RisingPart", 105, 135, {126, 142, 146, 160}},
    {"FallingPart", 153, 123, {96, 110, 114, 130}},
    {"WholeRangeIntoNegative", 201, 51, {-54, -38, -6, 10}},
    {"WholeRangePastOneTurn", 201, 301, {196, 212, 244, 260}},
    {"MarkerWithinOnePixel", 98, 88, {86, 112, 144, 160}},
};

class HueDrag : public HueRangeFixture, public ::testing::WithParamInterface<DragCase> {};

TEST_P(HueDrag, MovesTheMarkersWithinTheirConstraints)
{
    const DragCase& c = GetParam();
    Drag(c.from, c.to);
    EXPECT_EQ(Now(), c.after);
    EXPECT_EQ(m_parent.Count(), 1);
    EXPECT_EQ(m_ctrl.m_dragMode, CHueRangeCtrl::kNoDrag);
}

INSTANTIATE_TEST_SUITE_P(Cases, HueDrag, ::testing::ValuesIn(kDragCases),
                         [](const ::testing::TestParamInfo<DragCase>& info) { return std::string(info.param.name); });

TEST_F(HueRangeFixture, PressOutsideTheBarDragsNothing)
{
    Mouse(WM_LBUTTONDOWN, 150, 10);
    Mouse(WM_MOUSEMOVE, 100, 10);
    Mouse(WM_LBUTTONUP, 100, 10);
    EXPECT_EQ(Now(), (Positions{96, 112, 144, 160}));
    EXPECT_EQ(m_parent.Count(), 0);
}

// After the whole range was dragged to -54, -38, -6, 10 the bar wraps:
// markers at 1 + (p mod 256) = 203, 219, 251, 11; weights as in the table
// case "AllNegative".
TEST_F(HueRangeFixture, BarWrapsNegativePositions)
{
    Drag(201, 51);
    const QImage s = skintest::SurfaceOf(m_ctrl.m_hWnd);
    const std::array<int, 4> columns = {203, 219, 251, 11};
    for (int m = 0; m < 4; ++m)
        EXPECT_EQ(m_ctrl.m_markerX[m], columns[m]) << m;
    const Bgr rampMarker{255, 255, 0}, fullMarker{0, 0, 255};
    EXPECT_EQ(BgrAt(s, 203, 50), rampMarker);
    EXPECT_EQ(BgrAt(s, 11, 50), rampMarker);
    EXPECT_EQ(BgrAt(s, 12, 50), rampMarker);
    EXPECT_EQ(BgrAt(s, 250, 50), fullMarker);
    EXPECT_EQ(BgrAt(s, 1 + 210, 50), (Bgr{128, 128, 128}));
    EXPECT_EQ(BgrAt(s, 1 + 8, 50), (Bgr{16, 16, 16}));
    EXPECT_EQ(BgrAt(s, 1 + 0, 50), (Bgr{144, 144, 144}));
    EXPECT_EQ(BgrAt(s, 1 + 100, 50), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(s, 1 + 210, 40), (Bgr{0, 0, 0}));
}

// Strip column c shows hue c * 256 / 256: grey level c in grey mode, the
// codec's HSB colour (brightness 128, saturation 255) in colour mode.
TEST_F(HueRangeFixture, StripShowsGreyOrHue)
{
    m_ctrl.SetStateAndRedraw(0);
    QImage s = skintest::SurfaceOf(m_ctrl.m_hWnd);
    EXPECT_EQ(BgrAt(s, 1, 10), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(s, 1 + 200, 10), (Bgr{200, 200, 200}));
    m_ctrl.SetStateAndRedraw(1);
    s = skintest::SurfaceOf(m_ctrl.m_hWnd);
    EXPECT_EQ(BgrAt(s, 1, 10), (Bgr{0, 0, 128}));          // hue 0: red
    EXPECT_EQ(BgrAt(s, 1 + 85, 10), (Bgr{0, 128, 0}));     // hue 85: green
    EXPECT_EQ(BgrAt(s, 1 + 170, 10), (Bgr{128, 0, 0}));    // hue 170: blue
}

TEST_F(HueRangeFixture, DisabledBarShowsTheFace)
{
    m_ctrl.EnableWindow(FALSE);
    m_ctrl.Invalidate(FALSE);
    const QImage s = skintest::SurfaceOf(m_ctrl.m_hWnd);
    EXPECT_EQ(BgrAt(s, 1 + 128, 50), skintest::BgrOf(::GetSysColor(COLOR_3DFACE)));
    EXPECT_EQ(BgrAt(s, 1 + 128, 40), (Bgr{0, 0, 0}));
}

}  // namespace
