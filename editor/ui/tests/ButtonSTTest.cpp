#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/ButtonST.h"

using skintest::Bgr;
using skintest::BgrAt;
using skintest::BgrOf;

namespace {

constexpr Bgr kBand0{0, 0, 255};    // disabled
constexpr Bgr kBand1{0, 255, 0};    // hovered
constexpr Bgr kBand2{255, 0, 0};    // normal

// A skin picture of three 2-row bands and a push button skinned by it.
class ButtonST : public skintest::SkinTest {
protected:
    void SetUp() override
    {
        ASSERT_EQ(m_skin.Create(4, 6), 0);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 4; ++x) {
                const Bgr c = y < 2 ? kBand0 : (y < 4 ? kBand1 : kBand2);
                m_skin.PutPixel(x, y, CPixel{static_cast<BYTE>(c.b), static_cast<BYTE>(c.g),
                                             static_cast<BYTE>(c.r), 255});
            }
        g_skinButtonImage = &m_skin;
        ASSERT_TRUE(m_parent.CreateParent());
        qlafx::RegisterDialogClasses();
        HWND hwnd = CreateWindowEx(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 24,
                                   m_parent.m_hWnd, reinterpret_cast<HMENU>(1), nullptr, nullptr);
        ASSERT_TRUE(m_button.SubclassWindow(hwnd));
    }
    void TearDown() override
    {
        m_button.DestroyWindow();
        m_parent.DestroyWindow();
        skintest::SkinTest::TearDown();
    }
    QImage Paint()
    {
        m_button.Invalidate();
        return skintest::SurfaceOf(m_button.m_hWnd);
    }

    CQLImage m_skin;
    skintest::CParentWnd m_parent;
    CButtonST m_button;
};

TEST_F(ButtonST, SubclassingMakesItOwnerDrawn)
{
    EXPECT_EQ(m_button.GetStyle() & BS_TYPEMASK, BS_OWNERDRAW);
}

TEST_F(ButtonST, TheFaceIsTheSkinBandOfTheState)
{
    const struct {
        const char* name;
        bool enabled;
        int hover;
        Bgr face;
    } cases[] = {
        {"normal", true, 0, kBand2},
        {"hovered", true, 1, kBand1},
        {"disabled", false, 0, kBand0},
        {"disabled and hovered", false, 1, kBand0},
    };
    for (const auto& c : cases) {
        m_button.EnableWindow(c.enabled);
        m_button.m_hover = c.hover;
        const QImage surface = Paint();
        EXPECT_EQ(BgrAt(surface, 30, 12), c.face) << c.name;
        EXPECT_EQ(BgrAt(surface, 2, 12), c.face) << c.name << ", inside the frame";
    }
}

TEST_F(ButtonST, BordersOfAFlatButton)
{
    const Bgr light = BgrOf(::GetSysColor(COLOR_BTNHIGHLIGHT)), shadow = BgrOf(::GetSysColor(COLOR_BTNSHADOW));
    const struct {
        const char* name;
        int hover;
        int border;
        Bgr top, bottom;
    } cases[] = {
        {"idle", 0, 1, {220, 180, 180}, {220, 180, 180}},
        {"hovered", 1, 1, light, shadow},
        {"hovered without the border flag", 1, 0, {220, 180, 180}, {220, 180, 180}},
    };
    for (const auto& c : cases) {
        m_button.m_hover = c.hover;
        m_button.m_border = c.border;
        const QImage surface = Paint();
        EXPECT_EQ(BgrAt(surface, 30, 0), c.top) << c.name;
        EXPECT_EQ(BgrAt(surface, 0, 12), c.top) << c.name;
        EXPECT_EQ(BgrAt(surface, 30, 23), c.bottom) << c.name;
        EXPECT_EQ(BgrAt(surface, 59, 12), c.bottom) << c.name;
    }
}

TEST_F(ButtonST, WithoutSkinTheBackgroundColourFills)
{
    m_button.ResetNormalBkColor(TRUE);
    EXPECT_EQ(m_button.m_skin, nullptr);
    EXPECT_EQ(BgrAt(Paint(), 30, 12), BgrOf(::GetSysColor(COLOR_BTNFACE)));
}

TEST_F(ButtonST, HoverFollowsTheMouseOnlyOnFlatButtons)
{
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(m_button.m_hover, 1);
    EXPECT_EQ(CWnd::GetCapture(), &m_button);
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(m_button.m_hover, 1) << "still inside";
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(100, 5));
    EXPECT_EQ(m_button.m_hover, 0);
    EXPECT_NE(CWnd::GetCapture(), &m_button);

    m_button.SetFlatStyle(FALSE);
    m_button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(m_button.m_hover, 0) << "a button that is not flat never hovers";
}

}  // namespace
