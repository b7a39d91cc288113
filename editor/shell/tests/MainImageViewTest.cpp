#include "ShellWindowsTestSupport.h"

#include "editor/shell/MainImageView.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/BitmapMenu.h"
#include "platform/afx/Menu.h"

#include <filesystem>
#include <fstream>
#include <vector>

using shelltest::MakeImage;
using skintest::Bgr;
using skintest::BgrAt;

namespace {

std::vector<UINT> Commands(CMenu* menu)
{
    std::vector<UINT> ids;
    for (UINT i = 0; i < menu->GetMenuItemCount(); ++i)
        ids.push_back(menu->GetMenuItemID(static_cast<int>(i)));
    return ids;
}

TEST(ImageViewMenu, KitModeTrimLeavesZoomAndEditItems)
{
    CBitmapMenu menu;
    ASSERT_TRUE(menu.LoadMenu(CMainImageView::kContextMenuId));
    CBitmapMenu* popup = menu.SubMenuAt(0);
    ASSERT_NE(popup, nullptr);
    const std::vector<UINT> full{32776, 32777, 32778, 32779, 0,     32780, 0,    57603,
                                 57634, 57637, 0,     57601, 32881, 32882, 32784};
    EXPECT_EQ(Commands(popup), full);
    // The -i mode's trim: positions 7 and then 10, then Next and Prev. Photo.
    popup->DeleteMenu(7, MF_BYPOSITION);
    popup->DeleteMenu(10, MF_BYPOSITION);
    popup->DeleteMenu(32881, MF_BYCOMMAND);
    popup->DeleteMenu(32882, MF_BYCOMMAND);
    const std::vector<UINT> kit{32776, 32777, 32778, 32779, 0, 32780, 0, 57634, 57637, 0, 32784};
    EXPECT_EQ(Commands(popup), kit);
}

TEST(ImageViewMenu, ItemsTakeIconsOfToolbars134And365)
{
    CBitmapMenu menu;
    ASSERT_TRUE(menu.LoadMenu(CMainImageView::kContextMenuId));
    ASSERT_TRUE(menu.LoadToolbarImages(134));
    ASSERT_TRUE(menu.LoadToolbarImages(365));
    int withIcon = 0;
    for (const auto& item : menu.SubMenuAt(0)->Items()) {
        if (item->m_command == 32784)
            EXPECT_GE(item->m_imagePresent, 0);
        withIcon += item->m_imagePresent >= 0;
    }
    EXPECT_EQ(withIcon, 1);  // Image Properties is the one command of theirs here
}

class MainImageView : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 500, 400));
        ASSERT_TRUE(m_view.Create("", RECT{0, 0, 400, 300}, &m_parent, 0xFF1103));
        m_app.m_pMainWnd = &m_parent;
    }
    void TearDown() override
    {
        qlafx::SetPopupMenuHook({});
        m_app.m_pMainWnd = nullptr;
        ShellWindowsTest::TearDown();
    }
    void ShowPhoto(int w = 120, int h = 80)
    {
        MakeImage(&thePhotoDocument.m_image, w, h, [](int x, int y) { return CPixel{BYTE(x), BYTE(y), 150, 255}; });
        m_view.SetImage(&thePhotoDocument.m_image, TRUE);
    }

    skintest::CParentWnd m_parent;
    CMainImageView m_view;
};

TEST_F(MainImageView, EmptyViewShowsTheGreyGradient)
{
    m_view.SetImage(&thePhotoDocument.m_image, TRUE);
    m_view.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const QImage surface = skintest::SurfaceOf(m_view.m_hWnd);
    // Beyond the axis' end at (100, 100) the darker colour, beyond its start
    // at (175, 175) the lighter one (ramp entry 255: 95), each dithered by -2..1.
    for (POINT p : {POINT{5, 40}, POINT{90, 90}}) {
        const Bgr c = BgrAt(surface, p.x, p.y);
        EXPECT_NEAR(c.g, 64, 2) << p.x << "," << p.y;
        EXPECT_EQ(c.r, c.g);
    }
    for (POINT p : {POINT{399, 299}, POINT{200, 200}})
        EXPECT_NEAR(BgrAt(surface, p.x, p.y).g, 95, 2) << p.x << "," << p.y;
    const Bgr middle = BgrAt(surface, 137, 137);
    EXPECT_GT(middle.g, 70);
    EXPECT_LT(middle.g, 90);
}

TEST_F(MainImageView, ShownPhotoIsNotErased)
{
    ShowPhoto(400, 300);
    m_view.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    const QImage surface = skintest::SurfaceOf(m_view.m_hWnd);
    POINT probe{200, 150};
    const int rgb = m_view.GetPixelAt(probe, FALSE);
    ASSERT_NE(rgb, -1);
    EXPECT_NEAR(BgrAt(surface, probe.x, probe.y).r, GetRValue(rgb), 8);
    EXPECT_NEAR(BgrAt(surface, probe.x, probe.y).g, GetGValue(rgb), 8);
}

TEST_F(MainImageView, ActualSizeShowsThePhotosPixelsUnchanged)
{
    ShowPhoto(600, 500);
    m_view.SetSmoothScaling(TRUE);
    m_view.SetScrollZoom(37, 21, 1.0);
    const QImage surface = skintest::SurfaceOf(m_view.m_hWnd);
    // The image area starts below the 30-pixel strip.
    for (POINT p : {POINT{0, 30}, POINT{123, 77}, POINT{399, 299}}) {
        POINT image = p;
        ASSERT_TRUE(m_view.ClientToImage(&image));
        EXPECT_EQ(image.x, 37 + p.x);
        EXPECT_EQ(image.y, 21 + p.y - 30);
        EXPECT_EQ(BgrAt(surface, p.x, p.y), skintest::BgrOf(thePhotoDocument.m_image.GetPixel2(image.x, image.y)))
            << p.x << "," << p.y;
    }
}

TEST_F(MainImageView, DoubleClickOnTheEmptyViewOpensAFile)
{
    m_view.SetImage(&thePhotoDocument.m_image, FALSE);
    m_view.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 150));
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_parent.m_commands, std::vector<UINT>{57601});

    ShowPhoto();
    m_parent.m_commands.clear();
    m_view.SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(200, 150));
    qlafx::ProcessPendingEvents();
    EXPECT_TRUE(m_parent.m_commands.empty());
}

TEST_F(MainImageView, ContextMenuChecksHighQualityAndGraysBrowsing)
{
    const std::string folder = m_folder.Path() + "photos/";
    std::filesystem::create_directories(folder);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        std::ofstream(folder + name) << "x";
    const struct {
        const char* current;  // nullptr: no folder list
        BOOL smooth;
        bool checked, nextGrayed, prevGrayed;
    } cases[] = {
        {"b.jpg", TRUE, true, false, false},
        {"a.jpg", FALSE, false, false, true},
        {"c.jpg", TRUE, true, true, false},
        {nullptr, FALSE, false, true, true},
    };
    ShowPhoto();
    for (const auto& c : cases) {
        thePhotoDocument.m_folderList = FolderPhotoList();
        if (c.current)
            thePhotoDocument.m_folderList.SetCurrent((folder + c.current).c_str());
        m_view.SetSmoothScaling(c.smooth);
        int shown = 0;
        qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) -> UINT {
            ++shown;
            EXPECT_EQ((::GetMenuState(menu, 32780, MF_BYCOMMAND) & MF_CHECKED) != 0, c.checked);
            EXPECT_EQ((::GetMenuState(menu, 32881, MF_BYCOMMAND) & MF_GRAYED) != 0, c.nextGrayed);
            EXPECT_EQ((::GetMenuState(menu, 32882, MF_BYCOMMAND) & MF_GRAYED) != 0, c.prevGrayed);
            EXPECT_EQ(::GetMenuState(menu, 32784, MF_BYCOMMAND) & MF_GRAYED, 0u);
            return 0;
        });
        m_view.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 150));
        EXPECT_EQ(shown, 1) << (c.current ? c.current : "none");
    }
}

TEST_F(MainImageView, ContextMenuCommandGoesToTheParentAndNeedsAPhoto)
{
    int shown = 0;
    qlafx::SetPopupMenuHook([&](HMENU, QMenu*) -> UINT {
        ++shown;
        return 32778;
    });
    m_view.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 150));
    EXPECT_EQ(shown, 0);
    ShowPhoto();
    m_view.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(200, 150));
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(m_parent.m_commands, std::vector<UINT>{32778});
}

TEST_F(MainImageView, ArrowKeysWithTheExtendedFlagMoveTheSelection)
{
    ShowPhoto(400, 300);
    constexpr LPARAM kExtended = 1 | (1 << 24);
    const struct {
        UINT key;
        RECT after;
    } cases[] = {
        {VK_LEFT, {45, 60, 145, 160}},
        {VK_RIGHT, {50, 60, 150, 160}},
        {VK_UP, {50, 55, 150, 155}},
        {VK_DOWN, {50, 60, 150, 160}},
    };
    m_view.SetSelection(50, 60, 150, 160, TRUE);
    for (const auto& c : cases) {
        m_view.SendMessage(WM_KEYDOWN, c.key, kExtended);
        RECT s;
        m_view.GetSelection(&s);
        EXPECT_EQ(s.left, c.after.left) << c.key;
        EXPECT_EQ(s.top, c.after.top) << c.key;
        EXPECT_EQ(s.right, c.after.right) << c.key;
        EXPECT_EQ(s.bottom, c.after.bottom) << c.key;
    }
}

}  // namespace
