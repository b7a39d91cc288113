#include "ShelfKitTestSupport.h"

#include "album/shell/BackdropWnd.h"
#include "album/shell/ButtonST.h"
#include "album/shell/HintWnd.h"
#include "album/shell/ImgButton.h"
#include "album/shell/SkinDialog.h"
#include "album/shell/TabStrip.h"
#include "editor/ui/BitmapMenu.h"
#include "editor/ui/SkinDrawing.h"
#include "editor/ui/tests/SkinTestSupport.h"
#include "platform/afx/ResourceTables.h"
#include "platform/afx/tests/WndTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <filesystem>
#include <functional>

using skintest::Bgr;
using skintest::BgrAt;

namespace {

constexpr UINT kKitDialog = 9401;
const qlafx::DialogTemplate kTemplates[] = {
    {kKitDialog, WS_POPUP | WS_CAPTION | DS_SETFONT, 0, 0, 0, 300, 170, "Album kit", "Tahoma", 8,
     {{"Button", "Normal", 1, 10, 10, 60, 16, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON},
      {"Button", "Hover", 2, 80, 10, 60, 16, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON},
      {"Button", "Disabled", 3, 150, 10, 60, 16, WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_PUSHBUTTON},
      {"Button", "Check", 4, 220, 10, 60, 16, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX},
      {"Static", "Picture buttons: idle, hover, pressed, disabled", 5, 10, 34, 260, 10, WS_CHILD | WS_VISIBLE}}},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

class Kit : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        ShelfWindowTest::SetUp();
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 400, 300));
        m_folder = std::filesystem::temp_directory_path() / ("shelf-kit-" + std::to_string(getpid()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override
    {
        m_parent.DestroyWindow();
        std::filesystem::remove_all(m_folder);
        ShelfWindowTest::TearDown();
    }
    // A face file: a 10 x 10 picture in colour over its mask, opaque in the
    // upper five rows and clear in the lower five.
    std::string FaceFile(CPixel colour)
    {
        CQLImage face;
        face.Create(10, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 10; ++x)
                face.PutPixel(x, y, y < 10 ? colour : (y < 15 ? CPixel{255, 255, 255, 255} : CPixel{0, 0, 0, 255}));
        const std::string path = (m_folder / "face.bmp").string();
        face.SaveToFile(path.c_str());
        return path;
    }

    skintest::CParentWnd m_parent;
    std::filesystem::path m_folder;
};

// The strip's three thirds by state: top disabled, middle hover, bottom normal.
TEST_F(Kit, ButtonSTFaceIsTheThirdOfItsState)
{
    const Bgr bands[3] = {{0, 0, 255}, {0, 255, 0}, {255, 0, 0}};
    m_globals->m_skin.Create(4, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x) {
            const Bgr& c = bands[y / 2];
            m_globals->m_skin.PutPixel(x, y, CPixel{BYTE(c.b), BYTE(c.g), BYTE(c.r), 255});
        }
    HWND hwnd = CreateWindowEx(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 24, m_parent.m_hWnd,
                               reinterpret_cast<HMENU>(1), nullptr, nullptr);
    shelf::CButtonST button;
    ASSERT_TRUE(button.SubclassWindow(hwnd));
    const struct {
        const char* name;
        bool enabled;
        int hover;
        int third;
    } cases[] = {{"normal", true, 0, 2}, {"hover", true, 1, 1}, {"disabled", false, 0, 0}, {"disabled, hover", false, 1, 0}};
    for (const auto& c : cases) {
        button.EnableWindow(c.enabled);
        button.m_hover = c.hover;
        button.Invalidate();
        const QImage surface = skintest::SurfaceOf(button.m_hWnd);
        EXPECT_EQ(BgrAt(surface, 30, 12), bands[c.third]) << c.name;
        if (!c.hover)
            EXPECT_EQ(BgrAt(surface, 0, 12), (Bgr{200, 200, 200})) << c.name << ": the idle frame";
    }
    button.DestroyWindow();
}

// Layout 0 in a 40 x 30 button: the face centred, its bottom 5 pixels above
// the button's; opaque rows over the background, clear rows leave it.
TEST_F(Kit, ImgButtonFacesByState)
{
    m_parent.MoveWindow(3000, 3000, 400, 300); // away from the pointer
    shelf::CImgButton button;
    ASSERT_EQ(button.Create("", CRect(10, 10, 50, 40), &m_parent, 7, FaceFile(CPixel{0, 0, 200, 255}).c_str(),
                            "Tip", 0),
              1);
    button.SetBkColor(RGB(64, 64, 64));
    // Red 200: grey 60; fade f gives (f x 60 + (100 - f) x channel) / 100.
    const struct {
        const char* name;
        bool enabled;
        bool pressed;
        Bgr opaque;
        int shift;
        int ring0;
    } cases[] = {
        {"idle, fade 50", true, false, {30, 30, 130}, 0, 64},
        {"disabled, fade 100", false, false, {60, 60, 60}, 0, 64},
        {"pressed, fade 0", true, true, {0, 0, 200}, 1, 0},
    };
    for (const auto& c : cases) {
        button.EnableWindow(c.enabled);
        button.SendMessage(BM_SETSTATE, c.pressed, 0);
        button.Invalidate();
        const QImage surface = skintest::SurfaceOf(button.m_hWnd);
        EXPECT_EQ(BgrAt(surface, 15 + c.shift, 15 + c.shift), c.opaque) << c.name;
        EXPECT_EQ(BgrAt(surface, 15 + c.shift, 21 + c.shift), (Bgr{64, 64, 64})) << c.name << ": mask 0";
        EXPECT_EQ(BgrAt(surface, 0, 10).b, c.ring0) << c.name << ": outer ring";
    }
    // Pressed: sunken rings -64, -32, -16; the corner kept.
    button.SendMessage(BM_SETSTATE, TRUE, 0);
    button.Invalidate();
    QImage surface = skintest::SurfaceOf(button.m_hWnd);
    EXPECT_EQ(BgrAt(surface, 1, 10).b, 32);
    EXPECT_EQ(BgrAt(surface, 2, 10).b, 48);
    EXPECT_EQ(BgrAt(surface, 0, 0).b, 64);
    button.SendMessage(BM_SETSTATE, FALSE, 0);
    // Hover: the face in colour and raised rings -32, +64, +32.
    button.m_hover = 0;
    button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    surface = skintest::SurfaceOf(button.m_hWnd);
    EXPECT_EQ(BgrAt(surface, 15, 15), (Bgr{0, 0, 200}));
    EXPECT_EQ(BgrAt(surface, 0, 10).b, 32);
    EXPECT_EQ(BgrAt(surface, 1, 10).b, 128);
    EXPECT_EQ(BgrAt(surface, 2, 10).b, 96);
    button.DestroyWindow();
}

TEST_F(Kit, ImgButtonShowsNoTipWhileDisabled)
{
    shelf::CImgButton button;
    ASSERT_EQ(button.Create("", CRect(0, 0, 30, 30), &m_parent, 7, FaceFile(CPixel{0, 0, 200, 255}).c_str(),
                            "View photo", 0),
              1);
    button.EnableWindow(FALSE);
    button.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(button.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    for (int tick = 0; tick < 12; ++tick)
        button.SendMessage(WM_TIMER, 1234, 0);
    EXPECT_EQ(button.m_hover, 0);
    EXPECT_FALSE(button.m_tip.IsWindowVisible());
    button.DestroyWindow();
}

TEST_F(Kit, HintSizesToItsLines)
{
    shelf::CHintWnd hint;
    ASSERT_TRUE(hint.Create("", &m_parent));
    CClientDC dc(&hint);
    CFont* old = dc.SelectObject(&hint.m_font);
    const int one = dc.GetTextExtent("View photo").cx;
    const int wide = dc.GetTextExtent("Edit Photo or Batch Processing").cx;
    dc.SelectObject(old);
    const struct {
        const char* text;
        int width;
        int height;
    } cases[] = {{"View photo", one + 10, 24}, {"View photo\r\nEdit Photo or Batch Processing", wide + 10, 38}};
    for (const auto& c : cases) {
        hint.SetText(c.text);
        CRect r;
        hint.GetWindowRect(&r);
        EXPECT_EQ(r.Width(), c.width) << c.text;
        EXPECT_EQ(r.Height(), c.height) << c.text;
    }
    hint.DestroyWindow();
}

// Records the strip's notices to its parent.
class CTabParent : public CWnd {
public:
    std::vector<WPARAM> m_changes;

protected:
    LRESULT OnChanged(WPARAM wParam, LPARAM)
    {
        m_changes.push_back(wParam);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CTabParent, CWnd)
    ON_MESSAGE(shelf::WM_TABSTRIP_CHANGED, OnChanged)
END_MESSAGE_MAP()

TEST_F(Kit, TabsFromTextWidthsAndOneNoticePerChange)
{
    CTabParent parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr));
    CWnd pages[3];
    shelf::CTabStrip strip;
    strip.AddTab(&pages[0], "Album", 0);
    strip.AddTab(&pages[1], "Fixed Disk", 1);
    strip.AddTab(&pages[2], "A caption far longer than thirty-one characters", 2);
    EXPECT_STREQ(strip.m_tabs[2].caption, "A caption far longer than thirt");
    ASSERT_TRUE(strip.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &parent, 1));
    strip.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    CClientDC dc(&strip);
    CFont* old = dc.SelectObject(&strip.m_font);
    int x = 0;
    for (const auto& tab : strip.m_tabs) {
        const int w = dc.GetTextExtent(tab.caption).cx;
        EXPECT_EQ(tab.rect.left, x) << tab.caption;
        EXPECT_EQ(tab.rect.right, x + w + 10) << tab.caption;
        EXPECT_EQ(tab.rect.top, 2);
        EXPECT_EQ(tab.rect.bottom, 20);
        x += w + 10;
    }
    dc.SelectObject(old);
    CRect page;
    pages[0].GetWindowRect(&page);
    strip.ScreenToClient(&page);
    EXPECT_EQ(page, CRect(5, 20, 295, 195));

    const CPoint onSecond((strip.m_tabs[1].rect.left + strip.m_tabs[1].rect.right) / 2, 10);
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onSecond.x, onSecond.y));
    strip.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onSecond.x, onSecond.y)); // now current
    PumpUntil([&] { return !parent.m_changes.empty(); }, 2000);
    QCoreApplication::processEvents();
    EXPECT_EQ(parent.m_changes, std::vector<WPARAM>{1});
    EXPECT_EQ(strip.GetCurrentPage(), &pages[1]);
    strip.DestroyWindow();
    parent.DestroyWindow();
}

// Every pop-up of menu 128, at every level, is owner-drawn; the bar is plain.
TEST_F(Kit, MenuOwnerDrawnAtEveryPopupLevel)
{
    CBitmapMenu menu;
    ASSERT_TRUE(menu.LoadMenu(128));
    ASSERT_EQ(menu.GetMenuItemCount(), 5u);
    int popups = 0;
    std::function<void(CBitmapMenu*, int)> walk = [&](CBitmapMenu* level, int depth) {
        for (UINT i = 0; i < level->GetMenuItemCount(); ++i) {
            MENUITEMINFO info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            ASSERT_TRUE(::GetMenuItemInfo(level->m_hMenu, i, TRUE, &info));
            EXPECT_EQ((info.fType & MFT_OWNERDRAW) != 0, depth > 0) << "depth " << depth << " item " << i;
            if (CBitmapMenu* sub = level->SubMenuAt(static_cast<int>(i))) {
                ++popups;
                walk(sub, depth + 1);
            }
        }
    };
    walk(&menu, 0);
    EXPECT_EQ(popups, 7); // five menus and View's two sub-menus
}

TEST_F(Kit, WorkAreaIsTheAvailableAreaOfTheScreen)
{
    RECT area{};
    ASSERT_TRUE(::SystemParametersInfo(SPI_GETWORKAREA, 0, &area, 0));
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(area.left, available.left());
    EXPECT_EQ(area.right, available.right() + 1);
    EXPECT_EQ(area.bottom, available.bottom() + 1);
}

// A skinned dialog with its picture push buttons in three states, picture
// buttons idle, hover, pressed and disabled and a three-tab strip, over the
// backdrop showing the blurred frame with a photo in its client.
TEST_F(Kit, GrabOfTheKitOverTheBackdrop)
{
    const std::string photoPath = shelfkit::CorpusPhoto("exif-samples/jpg/Canon_40D.jpg");
    if (photoPath.empty())
        GTEST_SKIP() << "corpus absent";
    CQLImage photo;
    ASSERT_NE(CQLImageCodec().LoadFile(photoPath.c_str(), &photo), 0);
    skintest::CParentWnd main;
    ASSERT_TRUE(main.CreateParent(0, 0, 900, 600));
    {
        CClientDC dc(&main);
        UINT w = 0, h = 0;
        photo.GetSize(&w, &h);
        const BITMAPINFO info = DibHeaderOf(photo, static_cast<int>(h));
        dc.SetStretchBltMode(HALFTONE);
        ::StretchDIBits(dc.GetSafeHdc(), 0, 0, 900, 600, 0, 0, static_cast<int>(w), static_cast<int>(h),
                        photo.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    }
    shelf::CBackdropWnd backdrop;
    ASSERT_TRUE(backdrop.Create(&main));
    ASSERT_EQ(backdrop.ShowOverMainWnd(), 1);
    EXPECT_EQ(backdrop.ShowOverMainWnd(), 0) << "a nested dialog finds it shown";

    shelf::CSkinDialog dialog(kKitDialog, &main);
    ASSERT_TRUE(dialog.Create(kKitDialog, &main));
    dialog.SetWindowPos(nullptr, 250, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dialog.ShowWindow(SW_SHOW);
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    auto* hover = dynamic_cast<shelf::CButtonST*>(CWnd::FromHandlePermanent(dialog.GetDlgItem(2)->m_hWnd));
    ASSERT_NE(hover, nullptr) << "plain push buttons become picture push buttons";
    EXPECT_EQ(CWnd::FromHandlePermanent(dialog.GetDlgItem(4)->m_hWnd), nullptr) << "check boxes stay";
    hover->m_hover = 1;
    hover->Invalidate();

    CRect client;
    dialog.GetClientRect(&client);
    const std::string face = FaceFile(CPixel{40, 140, 230, 255});
    shelf::CImgButton pictures[4];
    const char* names[] = {"Idle", "Hover", "Pressed", "Disabled"};
    for (int i = 0; i < 4; ++i) {
        const int left = 12 + i * 110;
        ASSERT_EQ(pictures[i].Create(names[i], CRect(left, 80, left + 100, 110), &dialog, 100 + i, face.c_str(), "tip", 1),
                  1);
        pictures[i].SetBkColor(RGB(64, 64, 64));
        pictures[i].SetTextColor(RGB(255, 255, 255));
    }
    pictures[2].SendMessage(BM_SETSTATE, TRUE, 0);
    pictures[3].EnableWindow(FALSE);
    CWnd pages[3];
    shelf::CTabStrip strip;
    strip.AddTab(&pages[0], "Album", 0);
    strip.AddTab(&pages[1], "Fixed Disk", 1);
    strip.AddTab(&pages[2], "Timeline", 2);
    ASSERT_TRUE(strip.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(12, 120, client.right - 12, client.bottom - 12),
                             &dialog, 200));
    strip.SetCurrent(1);
    for (auto& b : pictures)
        b.Invalidate();
    pictures[1].SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(pictures[1].m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    QCoreApplication::processEvents();

    QWidget* backWidget = qlafx::WidgetOf(backdrop.m_hWnd);
    QWidget* dialogWidget = qlafx::WidgetOf(dialog.m_hWnd);
    ASSERT_NE(backWidget, nullptr);
    QImage picture = backWidget->grab().toImage();
    {
        QPainter painter(&picture);
        CRect at;
        dialog.GetWindowRect(&at);
        painter.drawImage(at.left, at.top, dialogWidget->grab().toImage());
    }
    EXPECT_FALSE(shelfkit::SaveGrab(picture, "shelf_kit").empty()) << picture.width() << "x" << picture.height();
    for (auto& b : pictures)
        b.DestroyWindow();
    strip.DestroyWindow();
    dialog.DestroyWindow();
    backdrop.DestroyWindow();
    main.DestroyWindow();
}

} // namespace
