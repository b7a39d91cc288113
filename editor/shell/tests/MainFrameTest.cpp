#include "ShellWindowsTestSupport.h"

#include "editor/shell/EditorApp.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SplashDlg.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommandLineInfo.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/SystemVersion.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Profile.h"

#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using shelltest::MakeImage;
using skintest::Bgr;
using skintest::BgrAt;

namespace {

class RecordingCmdUI : public CCmdUI {
public:
    void Enable(BOOL on) override { m_enabled = on; }
    void SetCheck(int check) override { m_checked = check; }
    BOOL m_enabled = -1;
    int m_checked = -1;
};

const char kCanon[] = "exif-samples/jpg/Canon_40D.jpg";

std::string CorpusFile(const char* path)
{
    const std::string full = std::string(QUILLO_CORPUS_DIR) + "/" + path;
    return std::filesystem::exists(full) ? full : std::string();
}

class MainFrame : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        std::snprintf(g_programFolder, sizeof g_programFolder, "%s/", QUILLO_PROGRAM_DIR);
        qlafx::SetModalHook([this](CWnd*, const char*, const char* text, UINT) {
            m_messages.push_back(text ? text : "");
            return IDOK;
        });
    }
    void TearDown() override
    {
        if (m_frame && ::IsWindow(m_frame->m_hWnd))
            m_frame->DestroyWindow();  // deletes itself
        m_frame = nullptr;
        m_app.m_pMainWnd = nullptr;
        qlafx::SetModalHook({});
        for (UINT id : m_runners)
            CMainFrame::SetDialogRunner(id, nullptr);
        ShellWindowsTest::TearDown();
    }
    // The frame as the application makes it, with this profile and command line.
    void MakeFrame(const std::string& profile = "", const char* commandLine = nullptr)
    {
        WriteProfile("[General]\nUserName=Tester\n" + profile);
        theAppSettings.LoadProfileAndSkin();
        std::free(m_app.m_lpCmdLine);
        m_app.m_lpCmdLine = commandLine ? strdup(commandLine) : nullptr;
        m_frame = new CMainFrame;
        m_app.m_pMainWnd = m_frame;
        ASSERT_TRUE(m_frame->LoadFrame(128, 0xCF8000));
    }
    RecordingCmdUI Update(UINT id)
    {
        RecordingCmdUI ui;
        ui.m_nID = id;
        m_frame->OnCmdMsg(id, CN_UPDATE_COMMAND_UI, &ui, nullptr);
        return ui;
    }
    void SetRunner(UINT id, FrameDialogRunner run)
    {
        CMainFrame::SetDialogRunner(id, run);
        m_runners.push_back(id);
    }
    void LoadPixels()
    {
        MakeImage(&thePhotoDocument.m_image, 16, 16, [](int x, int y) {
            return CPixel{static_cast<BYTE>(x * 16), static_cast<BYTE>(y * 16), 100, 255};
        });
    }
    CString Title() const
    {
        CString t;
        m_frame->GetWindowText(t);
        return t;
    }
    // A small JPEG at path.
    static void WriteJpeg(const std::string& path)
    {
        CQLImage image;
        MakeImage(&image, 32, 24, [](int x, int y) {
            return CPixel{static_cast<BYTE>(x * 8), static_cast<BYTE>(y * 10), 60, 255};
        });
        CQLImageCodec codec;
        ASSERT_NE(codec.SaveJpegFile(path.c_str(), &image, 90, 72), 0);
    }

    CMainFrame* m_frame = nullptr;
    std::vector<std::string> m_messages;
    std::vector<UINT> m_runners;
};

int g_runs = 0;
int CountingRunner(CMainFrame*)
{
    ++g_runs;
    return IDCANCEL;
}

TEST_F(MainFrame, DialogCommandsWithoutRunnerAreDisabled)
{
    MakeFrame();
    LoadPixels();
    for (UINT id : {57603u, 32784u, 32816u, 32810u, 32838u, 32875u, 32909u}) {
        ASSERT_TRUE(CMainFrame::IsDialogCommand(id)) << id;
        EXPECT_EQ(Update(id).m_enabled, FALSE) << id;
    }
}

TEST_F(MainFrame, RunnerEnablesByTheCommandsRule)
{
    MakeFrame();
    SetRunner(32816, CountingRunner);  // By problem: needs pixels
    SetRunner(32810, CountingRunner);  // Transform: no rule of its own
    SetRunner(32875, CountingRunner);  // Multi Shoot Tools: needs a photo with a path
    EXPECT_EQ(Update(32816).m_enabled, FALSE);
    EXPECT_EQ(Update(32810).m_enabled, TRUE);
    EXPECT_EQ(Update(32875).m_enabled, FALSE);
    g_runs = 0;
    m_frame->SendMessage(WM_COMMAND, 32816, 0);
    EXPECT_EQ(g_runs, 0);  // disabled: not run

    LoadPixels();
    EXPECT_EQ(Update(32816).m_enabled, TRUE);
    EXPECT_EQ(Update(32875).m_enabled, FALSE);  // pixels but no file
    std::snprintf(thePhotoDocument.m_path, sizeof thePhotoDocument.m_path, "/photos/a.jpg");
    EXPECT_EQ(Update(32875).m_enabled, TRUE);
    m_frame->SendMessage(WM_COMMAND, 32816, 0);
    EXPECT_EQ(g_runs, 1);

    thePhotoDocument.Clear();
    EXPECT_EQ(Update(32816).m_enabled, FALSE);
}

TEST_F(MainFrame, ViewPaneIsAskedBeforeTheFrame)
{
    MakeFrame();
    // The history bar switch belongs to the view: checked by its flag.
    RecordingCmdUI ui = Update(CMainView::kHistoryBarCmd);
    EXPECT_EQ(ui.m_checked, m_frame->m_view.m_historyShown);
    const int shown = m_frame->m_view.m_historyShown;
    m_frame->SendMessage(WM_COMMAND, CMainView::kHistoryBarCmd, 0);
    EXPECT_EQ(m_frame->m_view.m_historyShown, !shown);
    // A command the view does not know reaches the frame's table.
    SetRunner(32838, CountingRunner);
    g_runs = 0;
    m_frame->SendMessage(WM_COMMAND, 32838, 0);
    EXPECT_EQ(g_runs, 1);
    // Web pages are always available and share one base.
    EXPECT_EQ(Update(32895).m_enabled, TRUE);
    EXPECT_EQ(CMainFrame::WebAddressOf(32895).rfind(QUILLO_WEB_BASE_FOR_TEST, 0), 0u);
    EXPECT_EQ(CMainFrame::WebAddressOf(32810), "");
}

TEST_F(MainFrame, ToolTextLabelsNineButtons)
{
    struct Case {
        int toolText;
        int labelled;
    };
    for (const Case c : {Case{0, 0}, Case{1, 9}}) {
        MakeFrame("ToolText=" + std::to_string(c.toolText) + "\n");
        CToolBar& bar = m_frame->m_toolBar;
        ASSERT_EQ(bar.GetCount(), 13);
        int labelled = 0;
        for (int i = 0; i < bar.GetCount(); ++i)
            labelled += !bar.GetButtonText(i).IsEmpty();
        EXPECT_EQ(labelled, c.labelled) << c.toolText;
        if (c.toolText) {
            EXPECT_STREQ(bar.GetButtonText(0), "Open");
            EXPECT_STREQ(bar.GetButtonText(12), "Gallery");
            EXPECT_TRUE(bar.GetButtonText(3).IsEmpty());
        }
        m_frame->DestroyWindow();
        m_frame = nullptr;
    }
}

TEST_F(MainFrame, CannotBeMadeSmallerThanItsMinimum)
{
    MakeFrame();
    MINMAXINFO info{};
    m_frame->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 600);
    EXPECT_EQ(info.ptMinTrackSize.y, 460);
}

TEST_F(MainFrame, TitlesCarryTheCustomText)
{
    MakeFrame();
    EXPECT_STREQ(Title(), "Quillo Editor ");
    m_frame->DestroyWindow();
    MakeFrame("[Custom]\nTittle=Studio\n");
    EXPECT_STREQ(Title(), "Quillo Editor Studio");
    m_frame->SetPhotoTitle("/photos/beach.day.jpg");
    EXPECT_STREQ(Title(), "Quillo Editor Studio - beach.day.jpg");
}

TEST_F(MainFrame, SwitchMenuFollowsThePixels)
{
    MakeFrame();
    EXPECT_EQ(::GetMenu(m_frame->m_hWnd), m_frame->m_menuEmpty.m_hMenu);
    LoadPixels();
    m_frame->SwitchMenu();
    EXPECT_EQ(::GetMenu(m_frame->m_hWnd), m_frame->m_menuImage.m_hMenu);
    thePhotoDocument.Clear();
    m_frame->SwitchMenu();
    EXPECT_EQ(::GetMenu(m_frame->m_hWnd), m_frame->m_menuEmpty.m_hMenu);
}

TEST_F(MainFrame, MenusHoldTheirCommands)
{
    MakeFrame();
    int pos = -1;
    for (UINT id : {57665u, 32771u, 32773u, 32772u, 32850u, 32776u, 32780u, 32838u, 32879u, 32909u, 32902u})
        EXPECT_NE(m_frame->m_menuImage.FindMenuItem(id, &pos), nullptr) << id;
    // The community items stay hidden.
    EXPECT_EQ(m_frame->m_menuImage.FindMenuItem(32860, &pos), nullptr);
    EXPECT_NE(m_frame->m_menuEmpty.FindMenuItem(57665, &pos), nullptr);
}

// Kit mode trims menu 128 by position; what stays must neither open, save,
// print, browse nor replace the photo.
TEST_F(MainFrame, KitTrimsByPositionLeaveNoFileCommand)
{
    CBitmapMenu menu;
    ASSERT_TRUE(menu.LoadMenu(128));
    ASSERT_TRUE(menu.DeleteMenu(3, MF_BYPOSITION));
    for (UINT id : {57601u, 57603u, 57608u})
        ASSERT_TRUE(menu.DeleteMenu(id, MF_BYCOMMAND)) << id;
    ASSERT_TRUE(menu.SubMenuAt(0)->DeleteMenu(1, MF_BYPOSITION));
    ASSERT_TRUE(menu.SubMenuAt(0)->DeleteMenu(1, MF_BYPOSITION));
    ASSERT_TRUE(menu.InsertItem(0, MF_BYPOSITION, 57602, theUITextTable.GetText(125)));
    ASSERT_TRUE(menu.SubMenuAt(3)->DeleteMenu(2, MF_BYPOSITION));
    ASSERT_TRUE(menu.SubMenuAt(3)->DeleteMenu(5, MF_BYPOSITION));
    int pos = -1;
    for (UINT id : {57601u, 57603u, 57608u, 32881u, 32882u, 32898u, 32900u, 32905u, 32906u, 32873u, 32872u, 32874u,
                    32851u})
        EXPECT_EQ(menu.FindMenuItem(id, &pos), nullptr) << id;
    for (UINT id : {57602u, 57665u, 32810u, 32839u, 32808u, 32805u, 32784u})
        EXPECT_NE(menu.FindMenuItem(id, &pos), nullptr) << id;
}

TEST_F(MainFrame, CommandLinesOpenTheirPhoto)
{
    const std::string dir = m_folder.Path() + "dir with blanks/";
    std::filesystem::create_directories(dir);
    const std::string photo = dir + "a b.jpg";
    WriteJpeg(photo);
    struct Case {
        std::string line;
        bool opens;
    };
    const Case cases[] = {
        {"\"" + photo + "\"", true},           // quoted, with blanks
        {"\"" + photo, true},                  // quote left open: to the end
        {"   " + photo, true},                 // leading blanks
        {photo, true},                         // as a shell hands it over
        {m_folder.Path() + "notes.txt", false} // not a photo: ignored
    };
    std::ofstream(m_folder.Path() + "notes.txt") << "hello";
    for (const Case& c : cases) {
        thePhotoDocument.Clear();
        m_messages.clear();
        MakeFrame("", c.line.c_str());
        EXPECT_EQ(thePhotoDocument.IsLoaded(), c.opens) << c.line;
        EXPECT_STREQ(thePhotoDocument.m_path, c.opens ? photo.c_str() : "") << c.line;
        EXPECT_TRUE(m_messages.empty()) << c.line;
        if (c.opens) {
            EXPECT_EQ(thePhotoDocument.m_fileSize, static_cast<int>(std::filesystem::file_size(photo)));
            EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
            EXPECT_STREQ(Title(), "Quillo Editor  - a b.jpg");
            EXPECT_EQ(::GetMenu(m_frame->m_hWnd), m_frame->m_menuImage.m_hMenu);
        }
        m_frame->DestroyWindow();
        m_frame = nullptr;
    }
}

TEST_F(MainFrame, FailedOpenClearsTheDocument)
{
    const std::string good = m_folder.Path() + "good.jpg";
    WriteJpeg(good);
    MakeFrame();
    ASSERT_TRUE(m_frame->OpenImageFile(good.c_str(), 1));
    ASSERT_TRUE(thePhotoDocument.IsLoaded());
    // A JPEG cut short after its header.
    const std::string bad = m_folder.Path() + "bad.jpg";
    {
        std::ifstream in(good, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), {});
        std::ofstream(bad, std::ios::binary) << bytes.substr(0, 40);
    }
    EXPECT_FALSE(m_frame->OpenImageFile(bad.c_str(), 1));
    ASSERT_EQ(m_messages.size(), 1u);
    EXPECT_EQ(m_messages[0], "Can not open file, too big image size");
    EXPECT_FALSE(thePhotoDocument.IsLoaded());
    EXPECT_STREQ(thePhotoDocument.m_path, "");
    EXPECT_EQ(thePhotoDocument.m_fileSize, 0);
    EXPECT_EQ(::GetMenu(m_frame->m_hWnd), m_frame->m_menuEmpty.m_hMenu);
    EXPECT_STREQ(Title(), "Quillo Editor ");
    EXPECT_TRUE(std::filesystem::exists(good));
}

TEST_F(MainFrame, OldSystemCountdownNeverWarnsHere)
{
    for (int expected : {1, 0, 0}) {
        EXPECT_FALSE(CheckOldSystem(&m_app));
        EXPECT_EQ(static_cast<int>(m_app.GetProfileInt("Warning", "OSCap", 99)), expected);
    }
    EXPECT_TRUE(m_messages.empty());
    OSVERSIONINFO v{};
    EXPECT_FALSE(GetVersionEx(&v));  // size not given
    v.dwOSVersionInfoSize = sizeof v;
    ASSERT_TRUE(GetVersionEx(&v));
    EXPECT_GT(v.dwMajorVersion, 4u);
}

TEST(CommandLineInfo, ParsesFileAndFlags)
{
    struct Case {
        const char* line;
        const char* file;
        BOOL splash;
    };
    const Case cases[] = {
        {"", "", TRUE},
        {"/photos/a.jpg", "/photos/a.jpg", FALSE},
        {"\"/my photos/a b.jpg\"", "/my photos/a b.jpg", FALSE},
        {"\"/my photos/open", "/my photos/open", FALSE},
        {"-Embedding", "", FALSE},
        {"  -p   x.jpg ", "x.jpg", FALSE},
    };
    for (const Case& c : cases) {
        CCommandLineInfo info;
        qlafx::ParseCommandLine(c.line, info);
        EXPECT_STREQ(info.m_strFileName, c.file) << c.line;
        EXPECT_EQ(info.m_bShowSplash, c.splash) << c.line;
    }
}

class Splash : public MainFrame {};

TEST_F(Splash, StatusBandOnlyWhileVisible)
{
    auto* splash = new CSplashDlg;
    ASSERT_TRUE(splash->Create(CSplashDlg::kTemplate, nullptr));
    UINT w = 0, h = 0;
    splash->m_picture.GetSize(&w, &h);
    ASSERT_GE(w, 320u);
    ASSERT_GE(h, 305u);
    const char text[] = "Loding plugins ...";
    // A dark picture in place of the real one, whose band is white already.
    skintest::Fill(&splash->m_picture, static_cast<int>(w), static_cast<int>(h), CPixel{30, 20, 10, 255});
    splash->SendMessage(WM_SPLASH_STATUS, 0, reinterpret_cast<LPARAM>(text));
    QImage surface = skintest::SurfaceOf(splash->m_hWnd);
    EXPECT_EQ(BgrAt(surface, 318, 303), (Bgr{30, 20, 10}));

    splash->ShowWindow(SW_SHOW);
    surface = skintest::SurfaceOf(splash->m_hWnd);  // painted once
    splash->SendMessage(WM_SPLASH_STATUS, 0, reinterpret_cast<LPARAM>(text));
    surface = skintest::SurfaceOf(splash->m_hWnd);
    EXPECT_EQ(BgrAt(surface, 318, 303), (Bgr{255, 255, 255}));
    EXPECT_EQ(BgrAt(surface, 19, 290), (Bgr{30, 20, 10}));  // outside the band
    int dark = 0;
    for (int y = 285; y < 305; ++y)
        for (int x = 20; x < 120; ++x)
            dark += qGray(surface.pixel(x, y)) < 128;
    EXPECT_GT(dark, 20);  // the text
    // A click closes it.
    splash->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_FALSE(splash->IsWindowVisible());
    splash->DestroyWindow();
    delete splash;
}

TEST_F(Splash, Grab)
{
    auto* splash = new CSplashDlg;
    ASSERT_TRUE(splash->Create(CSplashDlg::kTemplate, nullptr));
    splash->ShowWindow(SW_SHOW);
    splash->UpdateWindow();
    splash->SendMessage(WM_SPLASH_STATUS, 0, reinterpret_cast<LPARAM>("Loding plugins ..."));
    const std::string path = shelltest::SaveGrab(skintest::SurfaceOf(splash->m_hWnd), "splash");
    EXPECT_FALSE(path.empty());
    splash->DestroyWindow();
    delete splash;
}

TEST_F(MainFrame, GrabWithPhoto)
{
    const std::string photo = CorpusFile(kCanon);
    if (photo.empty())
        GTEST_SKIP() << "corpus absent";
    MakeFrame("ToolText=1\n", photo.c_str());
    ASSERT_TRUE(thePhotoDocument.IsLoaded());
    m_frame->ShowWindow(SW_RESTORE);
    m_frame->MoveWindow(0, 0, 1200, 800);
    m_frame->RecalcLayout();
    const QImage grab = m_frame->GetWidget()->grab().toImage();
    EXPECT_FALSE(shelltest::SaveGrab(grab, "main_frame").empty());
}

TEST_F(MainFrame, GrabEmpty)
{
    MakeFrame();
    m_frame->ShowWindow(SW_RESTORE);
    m_frame->MoveWindow(0, 0, 1000, 700);
    m_frame->RecalcLayout();
    const QImage grab = m_frame->GetWidget()->grab().toImage();
    EXPECT_FALSE(shelltest::SaveGrab(grab, "main_frame_empty").empty());
}

// The program from a copy of its folder: opens the photo on its command
// line, closes on WM_CLOSE from another process and saves its panels.
TEST_F(MainFrame, ProgramOpensItsPhotoAndClosesCleanly)
{
    const std::string photo = CorpusFile(kCanon);
    if (photo.empty())
        GTEST_SKIP() << "corpus absent";
    const std::string folder = m_folder.Path() + "program";
    const shelltest::ProgramRun run = shelltest::RunProgramCopy(QUILLO_EDITOR_PROGRAM, folder,
                                                                "[General]\nUserName=Tester\n", {photo},
                                                                "Quillo Editor  - Canon_40D.jpg");
    EXPECT_TRUE(run.windowFound);
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(run.normalExit);
    EXPECT_EQ(run.exitCode, 0);
    for (const char* key : {"qleFUNC", "qleNAV", "qleHIS", "qlePAINT"})
        EXPECT_NE(GetPrivateProfileInt("Interface", key, -7, (folder + "/Quillo.ini").c_str()), static_cast<UINT>(-7)) << key;
}

}  // namespace

// The bar follows the frame's photo and kit mode; the logo item is the frame's.
TEST_F(MainFrame, FunctionBarFollowsThePhotoAndKitMode)
{
    const std::string photo = CorpusFile(kCanon);
    if (photo.empty())
        GTEST_SKIP() << "corpus absent";
    MakeFrame();
    CFunctionBar& bar = m_frame->m_view.m_funcBar;
    ASSERT_EQ(m_frame->m_view.GetDlgItem(CFunctionBar::kId), &bar);
    EXPECT_EQ(bar.m_frame, m_frame);
    EXPECT_FALSE(bar.m_exposureMenu.IsWindowEnabled());
    EXPECT_EQ(Update(CMainView::kFunctionBarCmd).m_enabled, TRUE);
    EXPECT_EQ(Update(CFunctionBar::kLogoCmd).m_enabled, TRUE);

    ASSERT_TRUE(m_frame->OpenImageFile(photo.c_str(), 1));
    EXPECT_TRUE(bar.m_exposureMenu.IsWindowEnabled());
    EXPECT_TRUE(::IsWindowVisible(bar.m_transformMenu.m_hWnd));
    m_frame->m_kitMode = 1;
    m_frame->m_view.RefreshFunctionBar();
    EXPECT_FALSE(::IsWindowVisible(bar.m_transformMenu.m_hWnd));
    m_frame->m_kitMode = 0;
}
