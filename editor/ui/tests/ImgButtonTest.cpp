#include "SkinTestSupport.h"

#include "editor/ui/HintWnd.h"
#include "editor/ui/ImgButton.h"

using skintest::Bgr;
using skintest::BgrOf;

namespace {

// A 2 x 4 face: picture (upper half) and mask (lower half).
//   picture: (0,0) B200 G100 R50   (1,0) B10 G20 R30
//            (0,1) white           (1,1) black
//   mask:    (0,2) white  (1,2) black
//            (0,3) grey 128        (1,3) white
void MakeFace(CQLImage* face)
{
    ASSERT_EQ(face->Create(2, 4), 0);
    face->PutPixel(0, 0, CPixel{200, 100, 50, 255});
    face->PutPixel(1, 0, CPixel{10, 20, 30, 255});
    face->PutPixel(0, 1, CPixel{255, 255, 255, 255});
    face->PutPixel(1, 1, CPixel{0, 0, 0, 255});
    face->PutPixel(0, 2, CPixel{255, 255, 255, 255});
    face->PutPixel(1, 2, CPixel{0, 0, 0, 255});
    face->PutPixel(0, 3, CPixel{128, 128, 128, 255});
    face->PutPixel(1, 3, CPixel{255, 255, 255, 255});
}

struct FaceCase {
    const char* name;
    int grey;
    BOOL hot;
    BOOL pressed;
    int layout;
    int w, h;  // button size
    int x, y;  // buffer pixel read
    Bgr expected;
};

class DrawFace : public ::testing::TestWithParam<FaceCase> {};

// Background B G R 100. Buffer = (background (255 - m) + colour m) / 256.
TEST_P(DrawFace, BlendsTheGreyedPictureThroughItsMask)
{
    const FaceCase& c = GetParam();
    CImgButton button;
    MakeFace(&button.m_face);
    ASSERT_EQ(button.m_hotFace.Create(2, 4), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            button.m_hotFace.PutPixel(x, y, CPixel{0, 0, 255, 255});
    ASSERT_EQ(button.m_backBuffer.Create(c.w, c.h), 0);
    button.m_layout = c.layout;
    button.SetBkColorRGB(100, 100, 100);
    button.FillBackBuffer();
    button.DrawFace(c.grey, nullptr, RECT{0, 0, c.w, c.h}, c.hot, c.pressed);
    EXPECT_EQ(BgrOf(button.m_backBuffer.GetPixel2(c.x, c.y)), c.expected);
}

// Layout 0 on 6 x 10: face at x0 = (6 - 2) / 2 = 2, y0 = 5.
INSTANTIATE_TEST_SUITE_P(
    ImgButton, DrawFace,
    ::testing::Values(
        // White mask, colour: c 255 / 256.
        FaceCase{"HotInColour", 0, FALSE, FALSE, 0, 6, 10, 2, 5, {199, 99, 49}},
        // Black mask: the background (100 x 255 / 256).
        FaceCase{"BlackMaskShowsBackground", 0, FALSE, FALSE, 0, 6, 10, 3, 5, {99, 99, 99}},
        // Grey 128 over white: (100 x 127 + 255 x 128) / 256 = 177.
        FaceCase{"GreyMaskHalfWay", 0, FALSE, FALSE, 0, 6, 10, 2, 6, {177, 177, 177}},
        // Grey of (200, 100, 50) = 95; fully grey.
        FaceCase{"DisabledFullyGrey", 100, FALSE, FALSE, 0, 6, 10, 2, 5, {94, 94, 94}},
        // Half way: (50 x 95 + 50 c) / 100 = 147, 97, 72, then x 255 / 256.
        FaceCase{"IdleHalfGrey", 50, FALSE, FALSE, 0, 6, 10, 2, 5, {146, 96, 71}},
        FaceCase{"HotFaceReplacesThePicture", 0, TRUE, FALSE, 0, 6, 10, 2, 5, {0, 0, 254}},
        FaceCase{"PressedShiftsByOne", 0, FALSE, TRUE, 0, 6, 10, 3, 6, {199, 99, 49}},
        FaceCase{"PressedLeavesTheOldCorner", 0, FALSE, TRUE, 0, 6, 10, 2, 5, {100, 100, 100}},
        // Layout 1: x0 = 5, y0 = 10 - 2 - (10 - 2) / 2 = 4.
        FaceCase{"LayoutOneAtTheLeft", 0, FALSE, FALSE, 1, 30, 10, 5, 4, {199, 99, 49}},
        // Narrower than 20: x0 = 0.
        FaceCase{"LayoutOneNarrow", 0, FALSE, FALSE, 1, 15, 10, 0, 4, {199, 99, 49}}),
    [](const auto& info) { return std::string(info.param.name); });

struct BevelCase {
    BOOL raised;
    int base;
    int x, y;
    int expected;
};

class DrawBevel : public ::testing::TestWithParam<BevelCase> {};

// An 8 x 6 buffer: ring columns 0/7, 1/6, 2/5 over rows 1..4; ring rows
// 0/5, 1/4, 2/3 over columns 1..6. Raised -32, +64, +32; pressed -64, -32, -16.
TEST_P(DrawBevel, AdjustsTheThreeOuterRings)
{
    const BevelCase& c = GetParam();
    CImgButton button;
    const BYTE v = static_cast<BYTE>(c.base);
    skintest::Fill(&button.m_backBuffer, 8, 6, CPixel{v, v, v, 255});
    button.DrawBevel(c.raised);
    const CPixel p = button.m_backBuffer.GetPixel2(c.x, c.y);
    EXPECT_EQ((Bgr{p.b, p.g, p.r}), (Bgr{c.expected, c.expected, c.expected})) << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(
    ImgButton, DrawBevel,
    ::testing::Values(BevelCase{TRUE, 100, 0, 0, 100},   // corner untouched
                      BevelCase{TRUE, 100, 7, 5, 100},   // corner untouched
                      BevelCase{TRUE, 100, 1, 0, 68},    // outer row
                      BevelCase{TRUE, 100, 0, 1, 68},    // outer column
                      BevelCase{TRUE, 100, 1, 1, 228},   // second ring's row and column
                      BevelCase{TRUE, 100, 2, 1, 196},   // second row, third column
                      BevelCase{TRUE, 100, 2, 2, 164},   // third ring twice
                      BevelCase{TRUE, 100, 3, 3, 132},   // third ring's bottom row only
                      BevelCase{TRUE, 100, 6, 4, 228},
                      BevelCase{TRUE, 250, 1, 1, 255},   // limited at each step
                      BevelCase{TRUE, 250, 1, 0, 218},
                      BevelCase{FALSE, 100, 1, 0, 36},
                      BevelCase{FALSE, 100, 1, 1, 36},
                      BevelCase{FALSE, 100, 2, 2, 68},
                      BevelCase{FALSE, 20, 1, 0, 0},
                      BevelCase{FALSE, 100, 0, 0, 100}));

TEST(ImgButton, LightenBuffer)
{
    CImgButton button;
    skintest::Fill(&button.m_backBuffer, 2, 1, CPixel{0, 100, 255, 7});
    button.LightenBuffer(TRUE);
    // v x 0.8 + 51.2: 51, 131, 255.
    EXPECT_EQ(BgrOf(button.m_backBuffer.GetPixel2(1, 0)), (Bgr{51, 131, 255}));
    EXPECT_EQ(button.m_backBuffer.GetPixel2(1, 0).a, 7);
    button.LightenBuffer(FALSE);
    // (v + 256) / 2: 153, 193, 255.
    EXPECT_EQ(BgrOf(button.m_backBuffer.GetPixel2(0, 0)), (Bgr{153, 193, 255}));
}

TEST(ImgButton, ZoomToolFaceIsCentredInItsOwnColours)
{
    CZoomToolButton button;
    MakeFace(&button.m_face);
    skintest::Fill(&button.m_backBuffer, 6, 6, CPixel{100, 100, 100, 9});
    button.SetBkColorRGB(100, 100, 100);
    button.DrawFace(100, nullptr, RECT{0, 0, 6, 6}, TRUE, FALSE);
    // x0 = y0 = (6 - 2) / 2 = 2; no grey effect; the face's alpha is kept.
    const CPixel p = button.m_backBuffer.GetPixel2(2, 2);
    EXPECT_EQ(BgrOf(p), (Bgr{199, 99, 49}));
    EXPECT_EQ(p.a, 255);
    EXPECT_EQ(BgrOf(button.m_backBuffer.GetPixel2(3, 3)), (Bgr{0, 0, 0}));
}

// A button with a tip in a parent at the screen's origin.
class ImgButtonWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        // Away from the windows, so that no mouse event makes the button hot.
        ::SetCursorPos(2000, 2000);
        qlafx::ProcessPendingEvents();
        CQLImage face;
        MakeFace(&face);
        m_facePath = m_folder.Path() + "face.bmp";
        ASSERT_EQ(face.SaveToFile(m_facePath.c_str()), 0);
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 300, 200));
        ASSERT_TRUE(m_hint.Create("", &m_parent));
        g_hintWnd = &m_hint;
        ASSERT_TRUE(m_button.Create("", RECT{10, 10, 50, 40}, &m_parent, 7, m_facePath.c_str(), "Undo", 0));
        CImgButton::s_hoverTicks = 0;
    }
    void TearDown() override
    {
        m_button.DestroyWindow();
        g_hintWnd = nullptr;
        m_hint.DestroyWindow();
        m_parent.DestroyWindow();
    }
    void Tick() { m_button.SendMessage(WM_TIMER, 1234); }

    skintest::TempFolder m_folder;
    std::string m_facePath;
    skintest::CParentWnd m_parent;
    CHintWnd m_hint;
    CImgButton m_button;
};

TEST_F(ImgButtonWindow, CreateFailsWithoutAFace)
{
    CImgButton other;
    EXPECT_FALSE(other.Create("", RECT{0, 0, 20, 20}, &m_parent, 8, (m_folder.Path() + "none.bmp").c_str(), nullptr,
                              0));
    EXPECT_EQ(other.m_hWnd, nullptr);
}

TEST_F(ImgButtonWindow, TheTipShowsOnTheTenthTickAndTheCountRestartsWhenTheCursorLeaves)
{
    RECT window;
    m_button.GetWindowRect(&window);
    ::SetCursorPos(window.left + 5, window.top + 5);
    m_button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(m_button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(m_button.m_hover, 1);
    for (int i = 0; i < 9; ++i)
        Tick();
    EXPECT_FALSE(m_hint.IsWindowVisible());
    Tick();
    ASSERT_TRUE(m_hint.IsWindowVisible());
    EXPECT_STREQ(m_hint.m_text, "Undo");
    RECT tip;
    m_hint.GetWindowRect(&tip);
    EXPECT_EQ(tip.left, window.right - 5);
    EXPECT_EQ(tip.top, window.bottom);

    ::SetCursorPos(window.right + 50, window.bottom + 50);
    Tick();
    EXPECT_EQ(m_button.m_hover, 0);
    EXPECT_EQ(CImgButton::s_hoverTicks, 0);
    EXPECT_FALSE(m_hint.IsWindowVisible());
}

TEST_F(ImgButtonWindow, DisabledButtonShowsItsFaceFullyGrey)
{
    m_button.EnableWindow(FALSE);
    m_button.SetBkColorRGB(100, 100, 100);
    m_button.Invalidate();
    const QImage surface = skintest::SurfaceOf(m_button.m_hWnd);
    // Face at ((40 - 2) / 2, 5) = (19, 5): grey 95 x 255 / 256.
    EXPECT_EQ(skintest::BgrAt(surface, 19, 5), (Bgr{94, 94, 94}));
    EXPECT_EQ(skintest::BgrAt(surface, 2, 20), (Bgr{100, 100, 100}));
}

}  // namespace
