#include "ShellWindowsTestSupport.h"

#include "editor/shell/FunctionBar.h"
#include "editor/shell/MainView.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/QtBridge.h"

#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

using shelltest::MakeImage;

namespace {

// The main window as the bar asks it: Quillo Sharpen available or not.
class CFrameStandIn : public skintest::CParentWnd {
public:
    BOOL OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* info) override
    {
        if (code == CN_UPDATE_COMMAND_UI && id == 32801 && extra) {
            static_cast<CCmdUI*>(extra)->Enable(m_sharpen);
            return TRUE;
        }
        return CParentWnd::OnCmdMsg(id, code, extra, info);
    }
    BOOL m_sharpen = TRUE;
};

struct Rect {
    int left, top, right, bottom;
    bool operator==(const Rect&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rect& r)
{
    return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

constexpr UINT kGroups[] = {CFunctionBar::kTransform, CFunctionBar::kExposure, CFunctionBar::kColor,
                            CFunctionBar::kFrame, CFunctionBar::kEnhance};

// The bar only hands its frame on: a token stands for it.
CMainFrame* const kFrameToken = reinterpret_cast<CMainFrame*>(0x1000);
CMainFrame* g_ranWith = nullptr;
int g_runs = 0;
int RecordRun(CMainFrame* frame)
{
    g_ranWith = frame;
    ++g_runs;
    return IDOK;
}

std::string LongLine(size_t n, char c)
{
    return std::string(n, c);
}

class FunctionBar : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        m_skin = m_folder.Path() + "program/skin/";
        std::filesystem::create_directories(m_skin);
        // The generated pictures, without the partner's logo.
        for (const auto& entry : std::filesystem::directory_iterator(std::string(QUILLO_PROGRAM_DIR) + "/skin"))
            std::filesystem::create_symlink(entry.path(), m_skin + entry.path().filename().string());
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%sprogram/",
                      m_folder.Path().c_str());
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 1000, 700));
        m_app.m_pMainWnd = &m_parent;
    }
    void TearDown() override
    {
        m_bar.reset();
        m_view.reset();
        for (UINT id : kGroups)
            CFunctionBar::SetButtonRunner(id, nullptr);
        thePhotoDocument.m_pluginMenu = PluginMenu{};
        theAppSettings.m_noForum = 0;
        m_app.m_pMainWnd = nullptr;
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      QUILLO_PROGRAM_DIR);
        ShellWindowsTest::TearDown();
    }
    void WriteLogo(const std::string& text)
    {
        std::ofstream(m_skin + "outlogo.txt", std::ios::binary) << text;
        CQLImage logo;
        MakeImage(&logo, 60, 50, [](int x, int y) {
            return CPixel{static_cast<BYTE>(200 - x), 90, static_cast<BYTE>(y < 25 ? 220 : 255), 255};
        });
        ASSERT_EQ(logo.SaveToFile((m_skin + "outlogo.bmp").c_str()), 0);
    }
    // The bar alone, on the test's parent, h pixels high.
    void MakeBar(int h = 700, const std::string& interfaceKeys = "")
    {
        WriteProfile("[General]\nUserName=Tester\n[Interface]\n" + interfaceKeys);
        m_bar = std::make_unique<CFunctionBar>();
        m_bar->m_kitMode = &m_kit;
        m_bar->m_frame = kFrameToken;
        ASSERT_TRUE(m_bar->Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 140, h), &m_parent,
                                  CFunctionBar::kId));
    }
    CWnd* Item(UINT id) const { return m_bar->GetDlgItem(id); }
    Rect PlaceOf(UINT id) const
    {
        CWnd* item = Item(id);
        if (!item)
            return {};
        RECT r;
        item->GetWindowRect(&r);
        m_bar->ScreenToClient(&r);
        return {r.left, r.top, r.right, r.bottom};
    }
    bool Shown(UINT id) const { return Item(id) && ::IsWindowVisible(Item(id)->m_hWnd); }
    bool Enabled(UINT id) const { return Item(id) && Item(id)->IsWindowEnabled(); }
    void Click(UINT id)
    {
        m_bar->SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)->m_hWnd));
    }
    static void LoadPhoto()
    {
        MakeImage(&thePhotoDocument.m_image, 16, 16, [](int x, int y) {
            return CPixel{static_cast<BYTE>(x * 16), static_cast<BYTE>(y * 16), 90, 255};
        });
    }
    static std::vector<UINT> Commands(CMenu* menu)
    {
        std::vector<UINT> ids;
        for (int i = 0; menu && i < static_cast<int>(menu->GetMenuItemCount()); ++i)
            ids.push_back(menu->GetMenuItemID(i));
        return ids;
    }

    std::string m_skin;
    CFrameStandIn m_parent;
    std::unique_ptr<CFunctionBar> m_bar;
    std::unique_ptr<CMainView> m_view;
    int m_kit = 0;
};

TEST_F(FunctionBar, ButtonsLieInTheirSlots)
{
    WriteLogo("https://partner.example.org/\nOur partner\n");
    for (int noForum : {0, 1}) {
        SCOPED_TRACE("noForum " + std::to_string(noForum));
        theAppSettings.m_noForum = noForum;
        MakeBar(700);
        const struct {
            UINT id;
            Rect place;
        } cases[] = {
            {CFunctionBar::kTransform, {15, 25, 105, 115}},      {CFunctionBar::kTransformMenu, {105, 25, 120, 115}},
            {CFunctionBar::kExposure, {15, 115, 105, 205}},      {CFunctionBar::kExposureMenu, {105, 115, 120, 205}},
            {CFunctionBar::kColor, {15, 205, 105, 295}},         {CFunctionBar::kColorMenu, {105, 205, 120, 295}},
            {CFunctionBar::kEnhance, {15, 295, 105, 385}},       {CFunctionBar::kEnhanceMenu, {105, 295, 120, 385}},
            {CFunctionBar::kFrame, {15, 385, 105, 475}},         {CFunctionBar::kFrameMenu, {105, 385, 120, 475}},
            {CFunctionBar::kToCompact, {22, 1, 112, 24}},        {CFunctionBar::kToNormal, {1, 1, 32, 32}},
            {CFunctionBar::kCompactTransform, {1, 45, 32, 76}},  {CFunctionBar::kCompactExposure, {1, 77, 32, 108}},
            {CFunctionBar::kCompactColor, {1, 109, 32, 140}},    {CFunctionBar::kCompactFilter, {1, 141, 32, 172}},
            {CFunctionBar::kCompactFrame, {1, 173, 32, 204}},    {CFunctionBar::kCompactNet, {1, 205, 32, 236}},
            {CFunctionBar::kLogo, noForum ? Rect{22, 500, 112, 535} : Rect{22, 580, 112, 615}},
        };
        for (const auto& c : cases)
            EXPECT_EQ(PlaceOf(c.id), c.place) << c.id;
        if (noForum)
            EXPECT_EQ(Item(CFunctionBar::kForum), nullptr);
        else
            EXPECT_EQ(PlaceOf(CFunctionBar::kForum), (Rect{15, 475, 105, 565}));
        char caption[64] = {};
        Item(CFunctionBar::kTransform)->GetWindowText(caption, sizeof caption);
        EXPECT_STREQ(caption, "Transform");
        EXPECT_STREQ(m_bar->m_transform.m_tipText, "Rotate,Flip and Crop");
        EXPECT_STREQ(m_bar->m_enhance.m_tipText, "Noise reduction,Digital Beatuty and Quillo Sharpen");
        EXPECT_STREQ(m_bar->m_toCompact.m_tipText, "Compact mode");
        EXPECT_STREQ(m_bar->m_logo.m_tipText, "Our partner");
        EXPECT_EQ(m_bar->m_logo.m_layout, 1);
        m_bar.reset();
    }
}

// The more button sits in the bottom right corner; a short bar cuts off the
// lower groups, which its menu then carries.
TEST_F(FunctionBar, MoreButtonFollowsTheBarsHeight)
{
    MakeBar(700);
    const struct {
        int height;
        bool shown;
        int menu;
    } cases[] = {{319, true, 223}, {320, true, 224}, {409, true, 224}, {410, false, 0}, {300, true, 223}};
    for (const auto& c : cases) {
        SCOPED_TRACE("height " + std::to_string(c.height));
        m_bar->MoveWindow(0, 0, 140, c.height);
        CRect client;
        m_bar->GetClientRect(&client);
        EXPECT_EQ(PlaceOf(CFunctionBar::kMore),
                  (Rect{client.right - 20, client.bottom - 20, client.right, client.bottom}));
        EXPECT_EQ(Shown(CFunctionBar::kMore), c.shown);
        if (!c.shown)
            continue;
        EXPECT_EQ(m_bar->m_more.m_menuId, c.menu);
        CMenu* popup = m_bar->m_more.GetPopupMenu();
        ASSERT_NE(popup, nullptr);
        // Enhancement and Frame, or Frame alone, then the Maximize item.
        const std::vector<UINT> items = Commands(popup);
        ASSERT_EQ(items.size(), c.menu == 223 ? 4u : 3u);
        EXPECT_EQ(items.back(), 32814u);
    }
    // Compact mode holds every group already.
    m_bar->MoveWindow(0, 0, 140, 300);
    Click(CFunctionBar::kToCompact);
    EXPECT_FALSE(Shown(CFunctionBar::kMore));
}

TEST_F(FunctionBar, EnablingFollowsThePhotoTheRunnersAndKitMode)
{
    for (UINT id : kGroups)
        CFunctionBar::SetButtonRunner(id, RecordRun);
    CFunctionBar::SetButtonRunner(CFunctionBar::kColor, nullptr);  // a dialog not built yet
    WriteLogo("https://partner.example.org/\nOur partner\n");
    MakeBar(700);
    const UINT menus[] = {CFunctionBar::kTransformMenu, CFunctionBar::kExposureMenu, CFunctionBar::kColorMenu,
                          CFunctionBar::kEnhanceMenu, CFunctionBar::kFrameMenu, CFunctionBar::kMore,
                          CFunctionBar::kCompactTransform, CFunctionBar::kCompactExposure,
                          CFunctionBar::kCompactColor, CFunctionBar::kCompactFilter, CFunctionBar::kCompactFrame};
    const UINT always[] = {CFunctionBar::kForum, CFunctionBar::kLogo, CFunctionBar::kToCompact,
                           CFunctionBar::kToNormal, CFunctionBar::kCompactNet};
    const struct {
        const char* name;
        bool photo;
        int kit;
    } cases[] = {{"no photo", false, 0}, {"photo", true, 0}, {"photo in kit mode", true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.photo)
            LoadPhoto();
        else
            thePhotoDocument.Clear();
        m_kit = c.kit;
        m_bar->MoveWindow(0, 0, 140, 400);  // the more button shows
        m_bar->UpdateButtons();
        for (UINT id : menus)
            EXPECT_EQ(Enabled(id), c.photo) << id;
        for (UINT id : always)
            EXPECT_TRUE(Enabled(id)) << id;
        EXPECT_FALSE(Enabled(CFunctionBar::kColor)) << "no runner";
        EXPECT_EQ(Enabled(CFunctionBar::kExposure), c.photo);
        EXPECT_EQ(Enabled(CFunctionBar::kEnhance), c.photo);
        EXPECT_EQ(Enabled(CFunctionBar::kTransform), c.photo && !c.kit);
        EXPECT_EQ(Enabled(CFunctionBar::kFrame), c.photo && !c.kit);
        EXPECT_EQ(Shown(CFunctionBar::kTransformMenu), !c.kit);
        EXPECT_EQ(Shown(CFunctionBar::kFrameMenu), !c.kit);
        EXPECT_TRUE(Shown(CFunctionBar::kExposureMenu));
    }
    // The enhancement choice needs one of its functions available.
    m_parent.m_sharpen = FALSE;
    m_bar->UpdateButtons();
    EXPECT_FALSE(Enabled(CFunctionBar::kEnhance));
}

TEST_F(FunctionBar, GroupButtonRunsItsDialogWithTheFrame)
{
    CFunctionBar::SetButtonRunner(CFunctionBar::kExposure, RecordRun);
    EXPECT_EQ(CFunctionBar::SetButtonRunner(CFunctionBar::kExposureMenu, RecordRun), nullptr) << "not a group";
    LoadPhoto();
    MakeBar(700);
    g_runs = 0;
    Click(CFunctionBar::kExposure);
    EXPECT_EQ(g_runs, 1);
    EXPECT_EQ(g_ranWith, kFrameToken);
    Click(CFunctionBar::kColor);  // no runner: nothing
    EXPECT_EQ(g_runs, 1);
}

TEST_F(FunctionBar, LogoFileNeedsTwoLinesOfAtMost127Characters)
{
    const struct {
        const char* name;
        bool exists;
        std::string text;
        bool ok;
        std::string address, tip;
    } cases[] = {
        {"missing", false, "", false, "", ""},
        {"one line", true, "https://partner.example.org/\n", false, "", ""},
        {"two lines", true, "https://partner.example.org/\nOur partner\n", true, "https://partner.example.org/",
         "Our partner"},
        {"no end on the last line", true, "https://a.example/\nTip", true, "https://a.example/", "Tip"},
        {"Windows line ends", true, "https://a.example/\r\nTip\r\n", true, "https://a.example/", "Tip"},
        {"127 characters", true, LongLine(127, 'a') + "\n" + LongLine(127, 'b') + "\n", true, LongLine(127, 'a'),
         LongLine(127, 'b')},
        {"128-character address", true, LongLine(128, 'a') + "\nTip\n", false, "", ""},
        {"128-character tip", true, "https://a.example/\n" + LongLine(128, 'b') + "\n", false, "", ""},
        {"a very long line", true, LongLine(2000, 'a') + "\nTip\n", false, "", ""},
        {"empty address", true, "\nTip\n", false, "", ""},
    };
    const std::string path = m_folder.Path() + "outlogo.txt";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        if (c.exists)
            std::ofstream(path, std::ios::binary) << c.text;
        char address[128] = "old", tip[128] = "old";
        EXPECT_EQ(CFunctionBar::ReadLogoFile(path.c_str(), address, tip), c.ok);
        EXPECT_EQ(address, c.address);
        EXPECT_EQ(tip, c.tip);
    }
}

// The logo button and the web menu's logo item come and go together.
TEST_F(FunctionBar, LogoButtonAndItemOnlyWithAValidLogoFile)
{
    const struct {
        const char* name;
        const char* text;  // NULL: no file
        bool logo;
    } cases[] = {
        {"missing", nullptr, false},
        {"one line", "https://partner.example.org/\n", false},
        {"two lines", "https://partner.example.org/\nOur partner\n", true},
        {"128 characters", "https://partner.example.org/\nxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"
                           "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx\n",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(m_skin + "outlogo.txt");
        if (c.text)
            WriteLogo(c.text);
        MakeBar(700);
        EXPECT_EQ(Item(CFunctionBar::kLogo) != nullptr, c.logo);
        const std::vector<UINT> items = Commands(m_bar->m_compactNet.GetPopupMenu());
        ASSERT_FALSE(items.empty());
        EXPECT_EQ(items.front() == CFunctionBar::kLogoCmd, c.logo);
        if (c.logo) {
            CString text;
            m_bar->m_compactNet.m_menu.GetMenuText(CFunctionBar::kLogoCmd, text, MF_BYCOMMAND);
            EXPECT_STREQ(text, "Our partner");
            EXPECT_STREQ(m_bar->m_logoAddress, "https://partner.example.org/");
        }
        m_bar.reset();
    }
}

// A partner's text without its picture leaves the bar as it is without a logo.
TEST_F(FunctionBar, LogoTextWithoutItsPictureGivesNoLogo)
{
    std::ofstream(m_skin + "outlogo.txt") << "https://partner.example.org/\nOur partner\n";
    MakeBar(700);
    EXPECT_EQ(Item(CFunctionBar::kLogo), nullptr);
    EXPECT_STREQ(m_bar->m_logoAddress, "");
    EXPECT_NE(Commands(m_bar->m_compactNet.GetPopupMenu()).front(), CFunctionBar::kLogoCmd);
}

TEST_F(FunctionBar, MissingFacePictureFailsTheBar)
{
    std::filesystem::remove(m_skin + "func_net.bmp");
    WriteProfile("[General]\nUserName=Tester\n");
    CFunctionBar bar;
    EXPECT_FALSE(bar.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 140, 700), &m_parent, CFunctionBar::kId));
}

TEST_F(FunctionBar, GroupMenusHoldTheirCommands)
{
    MakeBar(700);
    const struct {
        CMenuButton& button;
        UINT first, last;
    } cases[] = {
        {m_bar->m_transformMenu, 32810, 32909}, {m_bar->m_exposureMenu, 32798, 32904},
        {m_bar->m_colorMenu, 32807, 32879},     {m_bar->m_enhanceMenu, 32799, 32895},
        {m_bar->m_frameMenu, 32806, 32805},     {m_bar->m_compactNet, 32861, 32880},
    };
    for (const auto& c : cases) {
        const std::vector<UINT> items = Commands(c.button.GetPopupMenu());
        ASSERT_FALSE(items.empty()) << c.button.m_menuId;
        EXPECT_EQ(items.front(), c.first) << c.button.m_menuId;
        EXPECT_EQ(items.back(), c.last) << c.button.m_menuId;
    }
    EXPECT_EQ(m_bar->m_compactFilter.m_menuId, 218);
    CString name;
    m_bar->m_colorMenu.m_menu.GetMenuText(0, name, MF_BYPOSITION);
    EXPECT_STREQ(name, "_COLOR_");
}

// The document's plug-in pop-up goes before Color Theme in both enhancement
// menus; without it they stay as they are.
TEST_F(FunctionBar, PluginPopupGoesBeforeColorTheme)
{
    // Built without a pop-up: the bar's fill finds nothing to insert.
    thePhotoDocument.m_pluginMenu.m_built = 1;
    MakeBar(700);
    auto positionOf = [](CMenuButton& b, UINT id) {
        int pos = -1;
        b.m_menu.FindMenuItem(id, &pos);
        return pos;
    };
    const int themeAt = positionOf(m_bar->m_enhanceMenu, 32839);
    ASSERT_GT(themeAt, 0);
    m_bar.reset();

    CBitmapMenu plugins;
    ASSERT_TRUE(plugins.CreatePopupMenu());
    plugins.AppendItem(MF_STRING, 2001, "Droplets ...");
    thePhotoDocument.m_pluginMenu.m_popup = &plugins;
    thePhotoDocument.m_pluginMenu.m_built = 1;
    MakeBar(700);
    for (CMenuButton* b : {&m_bar->m_enhanceMenu, &m_bar->m_compactFilter}) {
        EXPECT_EQ(positionOf(*b, 32839), themeAt + 1);
        CBitmapMenu* popup = b->m_menu.SubMenuAt(0);
        ASSERT_NE(popup, nullptr);
        CString name;
        popup->GetMenuText(static_cast<UINT>(themeAt), name, MF_BYPOSITION);
        EXPECT_STREQ(name, "Effects Plugins");
        CMenu* inserted = popup->GetSubMenu(themeAt);
        ASSERT_NE(inserted, nullptr);
        EXPECT_EQ(inserted->m_hMenu, plugins.m_hMenu);
    }
    m_bar.reset();
    thePhotoDocument.m_pluginMenu = PluginMenu{};
}

// In the pane: the bar's column, its two modes and the View command.
TEST_F(FunctionBar, ModesSwitchTheColumnAndAreKept)
{
    WriteProfile("[General]\nUserName=Tester\n[Interface]\n");
    m_view = std::make_unique<CMainView>();
    RECT client;
    m_parent.GetClientRect(&client);
    ASSERT_TRUE(m_view->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, client, &m_parent, 0xE900));
    CFunctionBar& bar = m_view->m_funcBar;
    m_view->GetClientRect(&client);
    auto widthOf = [](CWnd& w) {
        RECT r;
        w.GetWindowRect(&r);
        return static_cast<int>(r.right - r.left);
    };
    auto imageLeft = [&] {
        RECT r;
        m_view->m_imageView.GetWindowRect(&r);
        m_view->ScreenToClient(&r);
        return static_cast<int>(r.left);
    };
    EXPECT_EQ(widthOf(bar), 140);
    EXPECT_EQ(imageLeft(), 140);
    EXPECT_TRUE(::IsWindowVisible(bar.m_transform.m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(bar.m_compactTransform.m_hWnd));

    bar.SendMessage(WM_COMMAND, MAKEWPARAM(CFunctionBar::kToCompact, BN_CLICKED),
                    reinterpret_cast<LPARAM>(bar.m_toCompact.m_hWnd));
    EXPECT_EQ(widthOf(bar), 38);
    EXPECT_EQ(imageLeft(), 38);
    EXPECT_FALSE(::IsWindowVisible(bar.m_transform.m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(bar.m_toCompact.m_hWnd));
    for (CWnd* w : std::initializer_list<CWnd*>{&bar.m_compactTransform, &bar.m_compactNet, &bar.m_toNormal})
        EXPECT_TRUE(::IsWindowVisible(w->m_hWnd));
    EXPECT_NE(ReadProfile().find("qlFuncBarCompact=1"), std::string::npos);

    m_view->SendMessage(WM_COMMAND, CMainView::kFunctionBarCmd, 0);
    EXPECT_FALSE(::IsWindowVisible(bar.m_hWnd));
    EXPECT_EQ(imageLeft(), 0);
    m_view->m_paintMode = 1;
    m_view->SendMessage(WM_COMMAND, CMainView::kFunctionBarCmd, 0);  // ignored in paint mode
    EXPECT_EQ(m_view->m_funcBarShown, 0);
    m_view->m_paintMode = 0;
    m_view->SendMessage(WM_COMMAND, CMainView::kFunctionBarCmd, 0);
    EXPECT_TRUE(::IsWindowVisible(bar.m_hWnd));
    EXPECT_EQ(imageLeft(), 38);

    bar.SendMessage(WM_COMMAND, MAKEWPARAM(CFunctionBar::kToNormal, BN_CLICKED),
                    reinterpret_cast<LPARAM>(bar.m_toNormal.m_hWnd));
    EXPECT_EQ(widthOf(bar), 140);
    EXPECT_NE(ReadProfile().find("qlFuncBarCompact=0"), std::string::npos);
    m_view.reset();

    // The next start comes up in the kept mode.
    MakeBar(700, "qlFuncBarCompact=1\n");
    EXPECT_EQ(m_bar->m_compact, 1);
    EXPECT_EQ(m_bar->Width(), 38);
}

TEST_F(FunctionBar, BackgroundsOfTheTwoModes)
{
    MakeBar(700);
    CRect client;
    m_bar->GetClientRect(&client);
    QImage normal = skintest::SurfaceOf(m_bar->m_hWnd);
    const skintest::Bgr face = skintest::BgrOf(GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(skintest::BgrAt(normal, 3, 2), face);
    EXPECT_EQ(skintest::BgrAt(normal, client.right - 13, 2 + 13 * 40), face);

    const struct {
        bool photo;
        int top, strip;
    } cases[] = {{false, 0x64, 0x8C}, {true, 0x96, 0xC8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.photo ? "photo" : "no photo");
        if (c.photo)
            LoadPhoto();
        m_bar->m_compact = 1;
        m_bar->UpdateButtons();
        const QImage compact = skintest::SurfaceOf(m_bar->m_hWnd);
        EXPECT_EQ(skintest::BgrAt(compact, 34, 0).g, c.top);
        EXPECT_EQ(skintest::BgrAt(compact, client.right - 2, 0).g, c.strip);
        EXPECT_EQ(skintest::BgrAt(compact, 34, client.bottom - 1).g, 0xF0);
        EXPECT_EQ(skintest::BgrAt(compact, client.right - 2, client.bottom - 1).g, 0xFF);
        const int run = c.photo ? 300 : 200;
        EXPECT_EQ(skintest::BgrAt(compact, 34, run).g, 0xF0) << "the gradient's end";
        EXPECT_LT(skintest::BgrAt(compact, 34, run / 2).g, 0xF0);
    }
}

// The bar at the left of a pane of 1000 x 700 with a photo open.
class FunctionBarGrab : public FunctionBar {
protected:
    void Grab(const char* name, int compact)
    {
        CQLImage photo;
        if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/Canon_40D.jpg", &thePhotoDocument.m_image))
            GTEST_SKIP() << "corpus photo absent";
        for (UINT id : kGroups)
            CFunctionBar::SetButtonRunner(id, RecordRun);
        MakeBar(660, compact ? "qlFuncBarCompact=1\n" : "");
        m_bar->MoveWindow(0, 0, compact ? 38 : 140, 660);
        qlafx::ProcessPendingEvents();
        m_bar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        qlafx::ProcessPendingEvents();
        const QImage grab = qlafx::WidgetOf(m_bar->m_hWnd)->grab().toImage();
        EXPECT_FALSE(shelltest::SaveGrab(grab, name).empty());
    }
};

TEST_F(FunctionBarGrab, Normal)
{
    Grab("function_bar", 0);
}

TEST_F(FunctionBarGrab, Compact)
{
    Grab("function_bar_compact", 1);
}

}  // namespace
