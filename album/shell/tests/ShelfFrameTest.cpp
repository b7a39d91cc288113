#include "ShelfKitTestSupport.h"

#include "album/shell/AboutDlg.h"
#include "album/shell/MainFrame.h"
#include "editor/ui/tests/SkinTestSupport.h"
#include "platform/afx/Menu.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/tests/WndTestSupport.h"
#include "platform/codec/QLImageCodec.h"

#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <QWidget>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class Frame : public shelfkit::ShelfWindowTest {
protected:
    void SetUp() override
    {
        ShelfWindowTest::SetUp();
        CQLImageCodec::Start();
        m_frame = new shelf::CMainFrame;
        ASSERT_TRUE(m_frame->LoadFrame(128, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    }
    void TearDown() override
    {
        if (m_frame && ::IsWindow(m_hFrame()))
            m_frame->DestroyWindow();
        CQLImageCodec::Start(); // the close sequence stopped it
        ShelfWindowTest::TearDown();
    }
    HWND m_hFrame() const { return m_frame ? m_frame->m_hWnd : nullptr; }
    // Closes the frame through its close sequence.
    void Close()
    {
        m_frame->SendMessage(WM_CLOSE);
        m_frame = nullptr;
    }

    shelf::CMainFrame* m_frame = nullptr;
};

TEST_F(Frame, StartsMaximisedWithItsMenuAndMinimumSize)
{
    CString title;
    m_frame->GetWindowText(title);
    EXPECT_STREQ(title.GetString(), "QuilloShelf");
    EXPECT_TRUE(m_frame->IsZoomed());
    EXPECT_EQ(m_frame->GetMenu()->m_hMenu, m_frame->m_menu.m_hMenu);
    MINMAXINFO info{};
    m_frame->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 800);
    EXPECT_EQ(info.ptMinTrackSize.y, 450);
    EXPECT_EQ(m_globals->m_pHint, &m_frame->m_hint);
    EXPECT_NE(m_globals->m_patternBrush.GetSafeHandle(), nullptr);
}

TEST_F(Frame, TitleSuffixFromTheProfile)
{
    m_frame->DestroyWindow();
    AfxGetApp()->WriteProfileString("Custom", "Tittle", "Family photos");
    m_frame = new shelf::CMainFrame;
    ASSERT_TRUE(m_frame->LoadFrame(128, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    CString title;
    m_frame->GetWindowText(title);
    EXPECT_STREQ(title.GetString(), "QuilloShelf Family photos");
}

// Commands whose work has not landed stay disabled; the landed ones follow
// their rules.
TEST_F(Frame, OnlyCommandsWithARunnerAreEnabled)
{
    for (UINT id : {57665u, 57664u, 57666u, 32797u, 32773u, 32795u, 32785u, 32802u})
        EXPECT_TRUE(m_frame->IsCommandEnabled(id)) << id;
    for (UINT id : {57634u, 32799u, 32796u})
        EXPECT_FALSE(m_frame->IsCommandEnabled(id)) << id;
    EXPECT_EQ(m_frame->IsCommandEnabled(32820), fs::exists(std::string(QUILLO_PROGRAM_DIR) + "/QuilloBeacon"))
        << "Check Updates needs QuilloBeacon";
}

TEST_F(Frame, CloseWritesLastVisitAndTheInterfaceKeys)
{
    const fs::path folder = fs::temp_directory_path() / ("shelf-visit-" + std::to_string(getpid()));
    fs::create_directories(folder / "trip");
    shelf::FolderNode root;
    ASSERT_EQ(root.ScanSubfolders(folder.string() + "/", 1), 1);
    ASSERT_EQ(m_globals->m_scanner.OpenFolder(root.m_children.at(0).get()), 1);
    const std::string expected = folder.string() + "/trip//";
    Close();
    const std::string profile = ProfileText();
    EXPECT_NE(profile.find("LastVisit=" + expected), std::string::npos) << profile;
    for (const char* key : {"qlaEXIF=1", "qlaTREE=1", "ShowAllFixedDisk=1", "qlaFullScr=0", "qlaAnimateView=1"})
        EXPECT_NE(profile.find(key), std::string::npos) << key << "\n" << profile;
    fs::remove_all(folder);
}

TEST_F(Frame, LastVisitIsEmptyInTheTimeline)
{
    m_frame->m_paneMode = shelf::CMainFrame::kModeTimeline;
    Close();
    const std::string profile = ProfileText();
    EXPECT_NE(profile.find("LastVisit=\n"), std::string::npos) << profile;
    EXPECT_NE(profile.find("ShowAllFixedDisk=2"), std::string::npos) << profile;
}

// The maximised frame with its menu bar and the Edit pop-up open: icons, and
// the selection commands disabled.
TEST_F(Frame, GrabWithTheEditMenu)
{
    QWidget* frameWidget = qlafx::WidgetOf(m_frame->m_hWnd);
    ASSERT_NE(frameWidget, nullptr);
    QCoreApplication::processEvents();
    QImage picture = frameWidget->grab().toImage();
    CBitmapMenu* edit = m_frame->m_menu.SubMenuAt(1);
    ASSERT_NE(edit, nullptr);
    int shown = 0;
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* menu) {
        menu->adjustSize();
        for (QAction* action : menu->actions())
            if (action->text().contains("Copy") || action->data().toUInt() == 57634)
                EXPECT_FALSE(action->isEnabled());
        QPainter painter(&picture);
        painter.drawImage(44, 24, menu->grab().toImage());
        ++shown;
        return 0u;
    });
    edit->TrackPopupMenu(TPM_RETURNCMD, 44, 24, m_frame);
    qlafx::SetPopupMenuHook({});
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(shelfkit::SaveGrab(picture, "shelf_frame").empty());
}

TEST_F(Frame, AboutShowsItsPictureAndAClickCloses)
{
    CQLImage start;
    ASSERT_EQ(start.LoadFromFile(m_globals->GetSkinPath("start.lgb").c_str()), 0);
    UINT w = 0, h = 0;
    start.GetSize(&w, &h);
    shelf::CAboutDlg about(m_frame);
    bool grabbed = false;
    QTimer timer; // dies with the test, whatever DoModal does
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        CRect r;
        about.GetWindowRect(&r);
        EXPECT_EQ(r.Width(), static_cast<int>(w));
        EXPECT_EQ(r.Height(), static_cast<int>(h));
        grabbed = !shelfkit::SaveGrab(qlafx::WidgetOf(about.m_hWnd)->grab().toImage(), "shelf_about").empty();
        about.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    });
    timer.start(100);
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_TRUE(grabbed);
}

// The program itself, from a copy of its folder, on the offscreen platform.
class Program : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("shelf-program-" + std::to_string(getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        fs::copy_file(QUILLO_SHELF_PROGRAM, m_folder / "QuilloShelf");
        fs::copy(fs::path(QUILLO_PROGRAM_DIR) / "skin", m_folder / "skin", fs::copy_options::recursive);
        // A title of its own: other test processes show album frames too.
        m_title = "QuilloShelf run" + std::to_string(getpid());
        std::ofstream(m_folder / "Quillo.ini") << "[Custom]\nTittle=run" << getpid() << "\n[General]\nUserName=Tester\n";
    }
    void TearDown() override { fs::remove_all(m_folder); }
    void Start(QProcess& process)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(QString::fromStdString((m_folder / "QuilloShelf").string()), {});
        ASSERT_TRUE(process.waitForStarted(10000));
    }
    fs::path m_folder;
    std::string m_title;
};

TEST_F(Program, ClosesCleanlyAndWritesItsKeys)
{
    QProcess process;
    Start(process);
    HWND window = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] { return (window = ::FindWindow(nullptr, m_title.c_str())) != nullptr || process.state() != QProcess::Running; },
        60000));
    ASSERT_NE(window, nullptr) << process.readAllStandardError().toStdString();
    EXPECT_TRUE(::PostMessage(window, WM_CLOSE, 0, 0));
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    std::ifstream ini(m_folder / "Quillo.ini");
    const std::string text((std::istreambuf_iterator<char>(ini)), std::istreambuf_iterator<char>());
    for (const char* key : {"LastVisit=", "qlaEXIF=", "qlaTREE=", "ShowAllFixedDisk=", "qlaFullScr=", "qlaAnimateView="})
        EXPECT_NE(text.find(key), std::string::npos) << key << "\n" << text;
    EXPECT_TRUE(fs::is_directory(m_folder / "FolderSet"));
}

TEST_F(Program, WithoutTheButtonStripItFailsWithoutAWindow)
{
    fs::remove(m_folder / "skin" / "btnsta.bmp");
    QProcess process;
    Start(process);
    bool sawWindow = false;
    PumpUntil(
        [&] {
            sawWindow |= ::FindWindow(nullptr, m_title.c_str()) != nullptr;
            return process.state() != QProcess::Running;
        },
        30000);
    ASSERT_TRUE(process.state() == QProcess::NotRunning || process.waitForFinished(10000));
    EXPECT_NE(process.exitCode(), 0);
    EXPECT_FALSE(sawWindow);
}

TEST_F(Program, FirstStartWithoutAUserShowsTheWelcomeWizard)
{
    std::ofstream(m_folder / "Quillo.ini") << "[Custom]\nTittle=run" << getpid() << "\n";
    QProcess process;
    Start(process);
    HWND wizard = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            return (wizard = ::FindWindow(nullptr, "Welcome to QuilloShelf")) != nullptr ||
                   process.state() != QProcess::Running;
        },
        60000));
    EXPECT_NE(wizard, nullptr) << process.readAllStandardError().toStdString();
    process.kill();
    process.waitForFinished(10000);
}

} // namespace
