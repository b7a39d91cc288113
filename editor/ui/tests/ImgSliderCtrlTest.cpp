#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/ImgSliderCtrl.h"
#include "editor/ui/PromptForText.h"

#include <string>

using skintest::Bgr;
using skintest::BgrOf;

namespace {

constexpr CPixel kDark{100, 10, 0, 255};    // grey 16, red below blue
constexpr CPixel kMiddle{90, 40, 20, 255};  // grey 39, red below blue

// Skin: a uniform 16 x 16 face (B G R 200, read wrapped at x + 10), a
// 60 x 4 track dark in columns 0..11 and 48..59 and kMiddle between, a
// 6 x 4 opaque red thumb. The control: 120 x 12 without the value box,
// range 0..100, so the track lies on rows (12 - 4) / 2 = 4..7 and the thumb
// centre is 86 x pos / 100 + 3 + 14.
class ImgSlider : public skintest::SkinTest {
protected:
    void SetUp() override
    {
        skintest::Fill(&theAppSettings.m_faceImage, 16, 16, CPixel{200, 200, 200, 255});
        CQLImage& track = theAppSettings.m_sliderImage;
        ASSERT_EQ(track.Create(60, 4), 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 60; ++x)
                track.PutPixel(x, y, x < 12 || x >= 48 ? kDark : kMiddle);
        skintest::Fill(&theAppSettings.m_sliderBarImage, 6, 4, CPixel{0, 0, 255, 255});
        ASSERT_TRUE(m_parent.CreateParent());
        ASSERT_TRUE(m_slider.Create(WS_CHILD | WS_VISIBLE, RECT{0, 0, 120, 12}, &m_parent, 5));
        m_slider.SetValueDisplay(FALSE, 1.0, 0.0);
        m_slider.SetRange(0, 100);
    }
    void TearDown() override
    {
        m_slider.DestroyWindow();
        m_parent.DestroyWindow();
        skintest::SkinTest::TearDown();
    }
    Bgr Face(int x, int y) const { return BgrOf(m_slider.m_face.GetPixel2(x, y)); }

    skintest::CParentWnd m_parent;
    CImgSliderCtrl m_slider;
};

TEST_F(ImgSlider, FaceByPositionAndState)
{
    const struct {
        const char* name;
        int min, max, pos;
        bool enabled;
        int x, y;
        Bgr expected;
    } cases[] = {
        {"above the track: the face", 0, 100, 0, true, 5, 0, {200, 200, 200}},
        // At the minimum the dark left arrow turns RGB(160, 160, 160).
        {"minimum, left arrow", 0, 100, 0, true, 5, 5, {160, 160, 160}},
        // Right of the thumb (centre 17) the blue track is its plain grey.
        {"minimum, track", 0, 100, 0, true, 30, 5, {39, 39, 39}},
        // Column 116 + 60 - 120 = 56: dark, beyond w - 15, kept as it is.
        {"minimum, right arrow", 0, 100, 0, true, 116, 5, {100, 10, 0}},
        {"minimum, thumb", 0, 100, 0, true, 15, 3, {0, 0, 255}},
        {"maximum, right arrow", 0, 100, 100, true, 116, 5, {160, 160, 160}},
        {"maximum, left arrow", 0, 100, 100, true, 5, 5, {100, 10, 0}},
        // Left of the thumb (centre 103): 39 x 1.5 + 128 = 186.
        {"maximum, track", 0, 100, 100, true, 30, 5, {186, 186, 186}},
        {"maximum, thumb", 0, 100, 100, true, 101, 3, {0, 0, 255}},
        // Disabled at 50 (centre 60): grey + 64 = 103, and no thumb.
        {"disabled, track", 0, 100, 50, false, 30, 5, {103, 103, 103}},
        {"disabled, no thumb", 0, 100, 50, false, 60, 3, {200, 200, 200}},
        {"enabled, thumb", 0, 100, 50, true, 60, 3, {0, 0, 255}},
        // An empty range: the thumb at the left, both arrows greyed.
        {"empty range, thumb", 40, 40, 40, true, 15, 3, {0, 0, 255}},
        {"empty range, right arrow", 40, 40, 40, true, 116, 5, {160, 160, 160}},
    };
    for (const auto& c : cases) {
        m_slider.SetRange(c.min, c.max);
        m_slider.SetPos(c.pos);
        m_slider.EnableWindow(c.enabled);
        m_slider.ComposeFace();
        EXPECT_EQ(Face(c.x, c.y), c.expected) << c.name;
    }
}

TEST_F(ImgSlider, NarrowControlsComposeAnEightyPixelFace)
{
    m_slider.MoveWindow(0, 0, 50, 12);
    m_slider.SetValueDisplay(TRUE, 1.0, 0.0);
    m_slider.ComposeFace();
    UINT w = 0, h = 0;
    m_slider.m_face.GetSize(&w, &h);
    EXPECT_EQ(w, 80u - 32u);
    EXPECT_EQ(h, 12u);
}

TEST_F(ImgSlider, ArrowsStepAndNotifyEvenAtTheEnds)
{
    m_slider.SetPos(100);
    m_slider.ComposeFace();
    m_slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(115, 6));
    EXPECT_EQ(m_slider.GetPos(), 100);
    m_slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 6));
    EXPECT_EQ(m_slider.GetPos(), 99);
    ASSERT_EQ(m_parent.m_notifyCodes.size(), 2u);
    EXPECT_EQ(m_parent.m_notifyCodes[0], NM_RELEASEDCAPTURE);
}

// A held arrow steps at once and again on each repeat while the pointer
// stays over it; the parent hears of it once, when the button comes up.
TEST_F(ImgSlider, AHeldArrowRepeatsAndNotifiesOnRelease)
{
    constexpr UINT_PTR kArrowTimer = 0x51;
    m_slider.SetPos(50);
    m_slider.ComposeFace();
    m_slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(115, 6));
    EXPECT_EQ(m_slider.GetPos(), 51);
    EXPECT_EQ(CWnd::GetCapture(), &m_slider);
    const struct {
        const char* name;
        int moveX;  // -1: no move before the repeat
        int pos;
    } steps[] = {{"first repeat", -1, 52}, {"second repeat", -1, 53}, {"pointer off the arrow", 60, 53},
                 {"pointer back on it", 116, 54}};
    for (const auto& st : steps) {
        if (st.moveX >= 0)
            m_slider.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(st.moveX, 6));
        m_slider.SendMessage(WM_TIMER, kArrowTimer, 0);
        EXPECT_EQ(m_slider.GetPos(), st.pos) << st.name;
    }
    EXPECT_TRUE(m_parent.m_notifyCodes.empty()) << "nothing while held";
    m_slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(116, 6));
    EXPECT_EQ(m_slider.GetPos(), 54) << "the release adds no step of its own";
    ASSERT_EQ(m_parent.m_notifyCodes.size(), 1u);
    EXPECT_EQ(m_parent.m_notifyCodes[0], NM_RELEASEDCAPTURE);
    EXPECT_EQ(CWnd::GetCapture(), nullptr);
    m_slider.SendMessage(WM_TIMER, kArrowTimer, 0);
    EXPECT_EQ(m_slider.GetPos(), 54) << "no repeat after the release";
}

// Transparent track pixels at a greyed end show the face, never a grey block.
TEST_F(ImgSlider, GreyedArrowKeepsTransparentTrackPixels)
{
    CQLImage& track = theAppSettings.m_sliderImage;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            track.PutPixel(x, y, CPixel{0, 0, 0, 0});
    track.PutPixel(59, 0, CPixel{0, 0, 0, 0});
    const struct {
        const char* name;
        int pos, x, y;
        Bgr expected;
    } cases[] = {
        {"minimum, transparent left end", 0, 3, 5, {200, 200, 200}},
        {"minimum, opaque dark arrow greyed", 0, 8, 5, {160, 160, 160}},
        {"maximum, transparent right end", 100, 119, 4, {200, 200, 200}},
        {"maximum, opaque dark arrow greyed", 100, 119, 5, {160, 160, 160}},
    };
    for (const auto& c : cases) {
        m_slider.SetPos(c.pos);
        m_slider.ComposeFace();
        EXPECT_EQ(Face(c.x, c.y), c.expected) << c.name;
    }
}

TEST_F(ImgSlider, ClickAndDragMapAlongTheInnerTrack)
{
    m_slider.SetPos(0);
    m_slider.ComposeFace();
    // Inner track: from 14 + 3 = 17, 120 - 28 - 6 = 86 wide.
    m_slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 6));
    EXPECT_EQ(m_slider.GetPos(), (60 - 17) * 100 / 86);
    EXPECT_EQ(m_parent.m_notifyCodes.size(), 1u);
    m_slider.ComposeFace();
    const int centre = m_slider.m_thumbCentre;
    m_slider.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre + 1, 3));
    EXPECT_EQ(m_slider.m_dragging, 1);
    m_slider.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, 3));
    EXPECT_EQ(m_slider.GetPos(), (90 - 1 - 17) * 100 / 86);
    EXPECT_EQ(m_parent.m_notifyCodes.size(), 1u) << "no notice while dragging";
    m_slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(90, 3));
    EXPECT_EQ(m_slider.m_dragging, 0);
    EXPECT_EQ(m_parent.m_notifyCodes.size(), 2u);
}

// The value box asks for a position; only digits and minus signs are taken.
TEST_F(ImgSlider, TheValueBoxTakesATypedPosition)
{
    m_slider.MoveWindow(0, 0, 152, 12);
    m_slider.SetValueDisplay(TRUE, 0.5, 0.0);
    m_slider.SetRange(-20, 100);
    m_slider.SetPos(10);
    skintest::SurfaceOf(m_slider.m_hWnd);  // the paint places the box at x 120..152
    const struct {
        const char* typed;
        int pos;
        size_t notices;
    } cases[] = {{"12a", 10, 0}, {"-7", -7, 1}, {"-7", -7, 1}, {"40", 40, 2}};
    std::string prompt, prefill;
    for (const auto& c : cases) {
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char* text, UINT) {
            if (!dialog || text)
                return qlafx::kModalRun;
            CString shown;
            dialog->GetDlgItemText(IDC_PROMPT_LABEL, shown);
            prompt = static_cast<const char*>(shown);
            dialog->GetDlgItemText(IDC_PROMPT_EDIT, shown);
            prefill = static_cast<const char*>(shown);
            dialog->SetDlgItemText(IDC_PROMPT_EDIT, c.typed);
            dialog->SendMessage(WM_COMMAND, IDOK);
            return IDOK;
        });
        m_slider.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(136, 6));
        qlafx::SetModalHook({});
        EXPECT_EQ(prompt, "Input a number from -20 to 100") << c.typed;
        EXPECT_EQ(m_slider.GetPos(), c.pos) << c.typed;
        EXPECT_EQ(m_parent.m_notifyCodes.size(), c.notices) << c.typed;
    }
    EXPECT_EQ(prefill, "-7") << "the position, not the value shown";
}

TEST(ImgSliderValue, ShowsTenthsOnlyWhenThereIsAFraction)
{
    const struct {
        double value;
        const char* text;
    } cases[] = {{10 * 0.5, "5"}, {11 * 0.5, "5.5"}, {-3.0, "-3"}, {-2.5, "-2.5"}, {0.0, "0"}};
    for (const auto& c : cases) {
        char text[32];
        CImgSliderCtrl::FormatValue(c.value, text, sizeof text);
        EXPECT_STREQ(text, c.text) << c.value;
    }
}

}  // namespace
