#include "SkinTestSupport.h"

#include "editor/ui/TabStrip.h"

#include <string>

namespace {

using skintest::Bgr;
using skintest::BgrAt;

// A page that refuses to be created.
class CFailingPage : public CWnd {
protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CFailingPage, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

// A 300 x 200 strip with three pages; the page area is 5..295 x 20..195.
class TabStripTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 400, 300));
        m_strip.AddTab(&m_pages[0], "One", 10);
        m_strip.AddTab(&m_pages[1], "Second", 20);
        m_strip.AddTab(&m_pages[2], "Third", 30);
        ASSERT_TRUE(m_strip.Create(AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, RECT{0, 0, 300, 200}, &m_parent,
                                   1));
    }
    void TearDown() override
    {
        m_strip.DestroyWindow();
        m_parent.DestroyWindow();
    }
    void ClickAt(int x, int y)
    {
        m_strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        m_strip.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }

    skintest::CParentWnd m_parent;
    CTabStrip m_strip;
    CWnd m_pages[3];
};

TEST_F(TabStripTest, PagesAreCreatedAsChildrenAndFillThePageArea)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(m_pages[i].m_hWnd, nullptr) << i;
        EXPECT_EQ(m_pages[i].GetDlgCtrlID(), 1000 + i);
        EXPECT_EQ(m_pages[i].GetParent()->m_hWnd, m_strip.m_hWnd);
        RECT r;
        m_pages[i].GetWindowRect(&r);
        m_strip.ScreenToClient(&r);
        EXPECT_EQ(r.left, 5);
        EXPECT_EQ(r.top, 20);
        EXPECT_EQ(r.right, 295);
        EXPECT_EQ(r.bottom, 195);
    }
    EXPECT_EQ(m_strip.GetActivePage(), &m_pages[2]) << "the last added page is current";
    skintest::SurfaceOf(m_strip.m_hWnd);
    EXPECT_TRUE(m_pages[2].IsWindowVisible()) << "painting shows the current page";
    EXPECT_FALSE(m_pages[0].IsWindowVisible());
}

TEST_F(TabStripTest, CaptionsKeepThirtyOneCharacters)
{
    CTabStrip strip;
    CWnd a, b;
    const std::string exact(31, 'c');
    strip.AddTab(&a, exact.c_str(), 1);
    strip.AddTab(&b, std::string(40, 'd').c_str(), 2);
    EXPECT_EQ(std::string(strip.GetTab(0).caption), exact);
    EXPECT_EQ(std::string(strip.GetTab(1).caption), std::string(31, 'd'));
    EXPECT_EQ(strip.GetTab(1).value, 2);
}

TEST_F(TabStripTest, CreationFailsWhenAPageCannotBeCreated)
{
    CTabStrip strip;
    CWnd good;
    CFailingPage bad;
    strip.AddTab(&good, "Good", 0);
    strip.AddTab(&bad, "Bad", 1);
    EXPECT_FALSE(strip.Create(AfxRegisterWndClass(0), "", WS_CHILD, RECT{0, 0, 200, 100}, &m_parent, 2));
}

TEST_F(TabStripTest, TabsAreDrawnInARowWithTheCurrentOneOpen)
{
    const QImage s = skintest::SurfaceOf(m_strip.m_hWnd);
    ASSERT_FALSE(s.isNull());
    const RECT one = m_strip.GetTab(0).rect, two = m_strip.GetTab(1).rect, three = m_strip.GetTab(2).rect;
    EXPECT_EQ(one.left, 5);
    EXPECT_EQ(one.top, 2);
    EXPECT_EQ(one.bottom, 20);
    EXPECT_EQ(two.left, one.right);
    EXPECT_EQ(three.left, two.right);
    EXPECT_GT(one.right - one.left, 10) << "text width + 10";

    const Bgr tabFill{100, 100, 100}, black{0, 0, 0}, white{255, 255, 255}, band{192, 192, 192};
    const COLORREF faceRef = ::GetSysColor(COLOR_3DFACE);
    const Bgr face{GetBValue(faceRef), GetGValue(faceRef), GetRValue(faceRef)};
    const struct {
        int x, y;
        Bgr colour;
        const char* what;
    } pixels[] = {
        {one.left, 10, tabFill, "a tab's first column is filled"},
        {one.left + 1, 10, black, "its frame starts one pixel in"},
        {one.left + 3, 10, tabFill, "inside a tab, left of the caption"},
        {one.right - 1, 10, black, "frame, right edge"},
        {two.left + 3, 2, black, "frame, top edge"},
        {three.left + 3, 3, white, "the current tab's white band"},
        {three.left + 3, 6, band, "the line below the band"},
        {three.left + 3, 12, face, "the current tab in the face colour"},
        {three.right - 1, 12, Bgr{128, 128, 128}, "shaded right edge"},
        {three.left, 12, white, "lit left edge"},
        {7, 19, white, "the frame's top left of the current tab"},
        {three.right + 3, 19, white, "the frame's top right of the current tab"},
        {three.right + 3, 10, Bgr{-1, -1, -1}, "right of the tabs: background, not a tab"},
    };
    for (const auto& p : pixels) {
        if (p.colour.b < 0) {
            EXPECT_NE(BgrAt(s, p.x, p.y), tabFill) << p.what;
            continue;
        }
        EXPECT_EQ(BgrAt(s, p.x, p.y), p.colour) << p.what;
    }
}

TEST_F(TabStripTest, BackgroundIsAGradientWithAShadowBelowThePage)
{
    const QImage s = skintest::SurfaceOf(m_strip.m_hWnd);
    // Shadow: 8..298 x 23..199, seen right of and below the page area.
    EXPECT_EQ(BgrAt(s, 296, 100), (Bgr{0, 0, 0}));
    EXPECT_EQ(BgrAt(s, 100, 197), (Bgr{0, 0, 0}));
    EXPECT_NE(BgrAt(s, 2, 100), (Bgr{0, 0, 0})) << "no shadow left of the page";
    EXPECT_NE(BgrAt(s, 299, 10), (Bgr{0, 0, 0})) << "no shadow beside the tab row";
    // Face colour at the top darkening towards grey 128 at the bottom.
    const COLORREF face = ::GetSysColor(COLOR_3DFACE);
    EXPECT_NEAR(BgrAt(s, 2, 1).g, GetGValue(face), 3);
    EXPECT_NEAR(BgrAt(s, 2, 198).g, 128, 4);
}

TEST_F(TabStripTest, ClickingATabShowsItsPage)
{
    skintest::SurfaceOf(m_strip.m_hWnd);
    const RECT one = m_strip.GetTab(0).rect;
    const struct {
        const char* what;
        int x, y;
        int current;
    } clicks[] = {
        {"first tab", one.left + 4, 10, 0},
        {"same tab again", one.left + 4, 10, 0},
        {"below the tabs", one.left + 4, 40, 0},
        {"third tab", m_strip.GetTab(2).rect.left + 4, 10, 2},
    };
    for (const auto& c : clicks) {
        ClickAt(c.x, c.y);
        skintest::SurfaceOf(m_strip.m_hWnd);
        EXPECT_EQ(m_strip.GetActivePage(), &m_pages[c.current]) << c.what;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(m_pages[i].IsWindowVisible() != FALSE, i == c.current) << c.what << " page " << i;
    }
    const QImage s = skintest::SurfaceOf(m_strip.m_hWnd);
    EXPECT_EQ(BgrAt(s, one.left + 3, 10), (Bgr{100, 100, 100})) << "the first tab closed again";
}

}  // namespace
