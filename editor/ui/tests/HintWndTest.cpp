#include "SkinTestSupport.h"

#include "editor/ui/HintWnd.h"

namespace {

class HintWnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateParent(500, 300, 300, 200));
        ASSERT_TRUE(m_hint.Create("", &m_owner));
    }
    void TearDown() override
    {
        m_hint.DestroyWindow();
        m_owner.DestroyWindow();
    }
    SIZE SizeOf(const char* text)
    {
        m_hint.SetText(text);
        return m_hint.CalcTextSize();
    }

    skintest::CParentWnd m_owner;
    CHintWnd m_hint;
};

TEST_F(HintWnd, SeveralLinesAreSixPixelsACharacterAndFourteenALine)
{
    const struct {
        const char* text;
        SIZE size;
    } cases[] = {
        {"ab\ncdef", {4 * 6 + 10, 2 * 14 + 10}},
        {"one\n\n\ntwo", {3 * 6 + 10, 2 * 14 + 10}},  // a run of breaks is one
        {"a\r\nbcd\n", {3 * 6 + 10, 2 * 14 + 10}},    // returns skipped, no empty last line
        {"WWWW", {4 * 6 + 10, 14 + 10}},               // one line, but no main window to measure with
    };
    for (const auto& c : cases) {
        const SIZE got = SizeOf(c.text);
        EXPECT_EQ(got.cx, c.size.cx) << c.text;
        EXPECT_EQ(got.cy, c.size.cy) << c.text;
    }
    RECT window;
    m_hint.GetWindowRect(&window);
    EXPECT_EQ(window.right - window.left, 34);
    EXPECT_EQ(window.bottom - window.top, 24);
}

TEST_F(HintWnd, OneLineIsMeasuredInTheHintFontOnTheMainWindow)
{
    CWinApp app("Quillo");
    app.m_pMainWnd = &m_owner;
    CClientDC dc(&m_owner);
    CFont* old = dc.SelectObject(&m_hint.m_font);
    const SIZE extent = dc.GetTextExtent("WWWW");
    dc.SelectObject(old);
    ASSERT_NE(extent.cx, 4 * 6) << "the fixture must tell the two ways apart";
    const SIZE got = SizeOf("WWWW");
    EXPECT_EQ(got.cx, extent.cx + 10);
    EXPECT_EQ(got.cy, extent.cy + 10);
    app.m_pMainWnd = nullptr;
}

TEST_F(HintWnd, PlacementComparesScreenCoordinates)
{
    // The owner's client area spans x 500..800 and y 300..500 on the screen;
    // the tip is 34 x 38.
    const struct {
        const char* name;
        POINT at;
        POINT expected;
    } cases[] = {
        {"inside", {520, 320}, {520, 320}},
        {"past the right edge", {780, 320}, {746, 320}},
        {"past the bottom", {520, 480}, {520, 442}},
        {"past both", {790, 490}, {756, 452}},
    };
    for (const auto& c : cases) {
        m_hint.ShowAt(c.at.x, c.at.y, "ab\ncdef", nullptr);
        RECT window;
        m_hint.GetWindowRect(&window);
        EXPECT_EQ(window.left, c.expected.x) << c.name;
        EXPECT_EQ(window.top, c.expected.y) << c.name;
        EXPECT_TRUE(m_hint.IsWindowVisible()) << c.name;
    }
}

TEST_F(HintWnd, PaintsAGradientAFrameAndTheText)
{
    m_hint.ShowAt(520, 320, "ab\ncdef", nullptr);
    m_hint.Invalidate();
    const QImage surface = skintest::SurfaceOf(m_hint.m_hWnd);
    EXPECT_EQ(skintest::BgrAt(surface, 0, 0), (skintest::Bgr{128, 128, 128}));
    EXPECT_EQ(skintest::BgrAt(surface, 33, 37), (skintest::Bgr{128, 128, 128}));
    // Near the top the ramp is close to RGB(255, 255, 240), near the bottom to
    // RGB(255, 255, 160) (entries held to 253 at most, dithered by -2..1).
    const skintest::Bgr top = skintest::BgrAt(surface, 30, 1), bottom = skintest::BgrAt(surface, 30, 36);
    EXPECT_GE(top.b, 225);
    EXPECT_LE(bottom.b, 170);
    EXPECT_GE(bottom.r, 250);
}

TEST_F(HintWnd, MovingTheMouseHidesTheTipAtTheNextTick)
{
    ::SetCursorPos(10, 10);
    m_hint.ShowAt(520, 320, "tip", nullptr);
    m_hint.SendMessage(WM_TIMER, 323);
    EXPECT_TRUE(m_hint.IsWindowVisible()) << "the mouse has not moved";
    ::SetCursorPos(11, 10);
    m_hint.SendMessage(WM_TIMER, 323);
    EXPECT_FALSE(m_hint.IsWindowVisible());
}

}  // namespace
