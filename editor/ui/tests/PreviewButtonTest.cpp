// The preview button: its panel, shadow and selection mark, the empty panel
// for an image without pixels, the view notices it hands on, and views
// kept in step.
#include "SkinTestSupport.h"

#include "RecordingParent.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/PreviewButton.h"

#include <QImage>

#include <cstdio>
#include <vector>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

// A 200 x 100 button: the view sits in (40, 5)-(190, 85), the shadow in
// the last 5 rows from x 5 and the last 5 columns from y 5, the mark in
// (10, 37)-(30, 57) as (100 - 5) / 2 - 10 = 37.
class PreviewButtonFixture : public skintest::SkinTest {
protected:
    void SetUp() override
    {
        // The view's tool buttons read their pictures from the skin folder.
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      QUILLO_PROGRAM_DIR);
        ASSERT_TRUE(m_parent.CreateParent());
    }
    void TearDown() override
    {
        for (CPreviewButton* b : {&m_button, &m_other})
            if (b->m_hWnd)
                b->DestroyWindow();
        m_parent.DestroyWindow();
        skintest::SkinTest::TearDown();
    }

    CRecordingParent m_parent{WM_ZOOMVIEW_NOTIFY};
    CPreviewButton m_button, m_other;
};

TEST_F(PreviewButtonFixture, ImageWithoutPixelsShowsAnEmptyFramedPanel)
{
    CQLImage empty;
    ASSERT_TRUE(m_button.Create("a", CRect(0, 0, 200, 100), &m_parent, 10, &empty));
    EXPECT_EQ(m_button.m_viewRect, CRect(40, 5, 190, 85));
    const QImage s = skintest::SurfaceOf(m_button.m_hWnd);
    EXPECT_FALSE(m_button.m_view.IsWindowVisible());
    const Bgr panel{240, 240, 240}, shadow{32, 32, 32}, black{0, 0, 0}, mark{192, 192, 192};
    const struct {
        int x, y;
        Bgr colour;
    } probes[] = {
        {100, 50, panel}, {40, 5, black}, {189, 84, black}, {100, 90, panel},
        {10, 97, shadow}, {2, 97, panel}, {197, 10, shadow}, {197, 2, panel},
        {10, 37, mark}, {11, 38, mark}, {29, 56, mark}, {12, 39, panel}, {2, 2, panel},
    };
    for (const auto& p : probes)
        EXPECT_EQ(BgrAt(s, p.x, p.y), p.colour) << "at " << p.x << "," << p.y;
}

TEST_F(PreviewButtonFixture, ImageWithPixelsShowsTheView)
{
    CQLImage image;
    skintest::Fill(&image, 64, 48, CPixel{0, 0, 255, 255});
    ASSERT_TRUE(m_button.Create("a", CRect(0, 0, 200, 100), &m_parent, 10, &image));
    skintest::SurfaceOf(m_button.m_hWnd);
    EXPECT_TRUE(m_button.m_view.IsWindowVisible());
    CRect view;
    m_button.m_view.GetWindowRect(&view);
    m_button.ScreenToClient(&view);
    EXPECT_EQ(view, CRect(40, 5, 190, 85));
}

TEST_F(PreviewButtonFixture, HandsViewNoticesToItsParent)
{
    CQLImage empty;
    ASSERT_TRUE(m_button.Create("a", CRect(0, 0, 200, 100), &m_parent, 10, &empty));
    m_button.SendMessage(WM_ZOOMVIEW_NOTIFY, 99, 1234);
    ASSERT_EQ(m_parent.m_received.size(), 1u);
    EXPECT_EQ(m_parent.m_received[0].first, 99u);
    EXPECT_EQ(m_parent.m_received[0].second, 1234);
}

TEST_F(PreviewButtonFixture, SyncTakesTheOtherViewsZoomAndScroll)
{
    CQLImage image;
    skintest::Fill(&image, 400, 300, CPixel{0, 255, 0, 255});
    ASSERT_TRUE(m_button.Create("a", CRect(0, 0, 200, 100), &m_parent, 10, &image));
    ASSERT_TRUE(m_other.Create("b", CRect(0, 100, 200, 200), &m_parent, 11, &image));
    m_other.m_view.SetScrollZoom(30, 20, 1.0);
    int otherPos[2], pos[2];
    double otherZoom = 0, zoom = 0;
    m_other.m_view.GetScrollZoom(otherPos, &otherZoom);
    m_button.SyncViewFrom(&m_button);
    m_button.m_view.GetScrollZoom(pos, &zoom);
    EXPECT_NE(zoom, 1.0);
    m_button.SyncViewFrom(&m_other);
    m_button.m_view.GetScrollZoom(pos, &zoom);
    EXPECT_EQ(zoom, otherZoom);
    EXPECT_EQ(pos[0], otherPos[0]);
    EXPECT_EQ(pos[1], otherPos[1]);
}

TEST_F(PreviewButtonFixture, SelectionRedrawsOnlyOnAChange)
{
    CQLImage empty;
    ASSERT_TRUE(m_button.Create("a", CRect(0, 0, 200, 100), &m_parent, 10, &empty));
    skintest::SurfaceOf(m_button.m_hWnd);
    m_button.SetSelected(TRUE);
    EXPECT_TRUE(m_button.m_selected);
    const QImage selected = skintest::SurfaceOf(m_button.m_hWnd);
    // The unselected frames are gone, and the selected mark (icon 175, drawn
    // 4 px left of and 8 px above the mark at (10, 37)) shows its blue badge.
    EXPECT_NE(BgrAt(selected, 29, 56), (Bgr{192, 192, 192}));
    const Bgr badge = BgrAt(selected, 20, 40);
    EXPECT_GT(badge.b, badge.r + 100) << badge;
    m_button.SetSelected(FALSE);
    const QImage cleared = skintest::SurfaceOf(m_button.m_hWnd);
    EXPECT_EQ(BgrAt(cleared, 29, 56), (Bgr{192, 192, 192}));
}

}  // namespace
