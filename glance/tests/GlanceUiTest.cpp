#include "glance/GlanceDlg.h"
#include "glance/GlanceTexts.h"
#include "glance/LoadingThread.h"
#include "GlanceTempDir.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Process.h"
#include "platform/win/Profile.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace glance;

namespace {

void Pump(int ms = 30)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

template <class Done>
bool PumpUntil(Done done, int ms = 15000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

std::string Corpus(const char* rel) { return std::string(QUILLO_CORPUS_DIR) + "/" + rel; }

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

void SaveGrab(HWND hwnd, const char* name)
{
    std::filesystem::create_directories(QUILLO_TEST_OUT);
    const QImage grab = qlafx::WidgetOf(hwnd)->grab().toImage();
    EXPECT_TRUE(grab.save(QString::fromStdString(std::string(QUILLO_TEST_OUT) + "/" + name + ".png")));
}

// The application object the windows read their profile through.
class GlanceUiTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        CQLImageCodec::Start();
        FillGlanceTexts();
        SetProgramFolder(QUILLO_PROGRAM_DIR);
        static CWinApp app("QuilloGlance");
        s_app = &app;
        LoadingThread().CreateThread();
    }
    // The worker must be gone before the statics it uses are destroyed.
    static void TearDownTestSuite()
    {
        CLoadingThread& loader = LoadingThread();
        loader.m_hNotifyWnd = nullptr;
        loader.PostThreadMessage(WM_QUIT, 0, 0);
        ::WaitForSingleObject(loader.m_hThread, 10000);
    }
    void SetUp() override
    {
        std::free(const_cast<char*>(s_app->m_pszProfileName));
        s_app->m_pszProfileName = strdup((dir.Path() + "QuilloView.ini").c_str());
        WritePrivateProfileString("Config", "Max", "0", s_app->m_pszProfileName);
    }
    // Opens the viewer modeless on path and waits for the photo.
    std::unique_ptr<GlanceDlg> Open(const std::string& path)
    {
        auto dlg = std::make_unique<GlanceDlg>(&LoadingThread(), path);
        if (!dlg->Create(kGlanceDlgId))
            return nullptr;
        dlg->SetWindowPos(nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOMOVE);
        dlg->ShowWindow(SW_SHOW);
        PumpUntil([&] { return dlg->m_view.Mode() == 2 && LoadingThread().m_state == 3; });
        Pump();
        return dlg;
    }

    static inline CWinApp* s_app = nullptr;
    GlanceTempDir dir;
};

class NoticeCounter : public CWnd {
public:
    int notices = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_GLANCE_NOTIFY)
            ++notices;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST(GlanceButtonFace, AlphaByState)
{
    EXPECT_EQ(GlanceButton::FaceAlpha(255, false, true), 170);
    EXPECT_EQ(GlanceButton::FaceAlpha(255, true, true), 255);
    EXPECT_EQ(GlanceButton::FaceAlpha(255, false, false), 56);
    EXPECT_EQ(GlanceButton::FaceAlpha(0, false, false), 0);
}

TEST_F(GlanceUiTest, ButtonBlendsOverWhiteAndReleasedOutsideSendsNothing)
{
    GlanceTempDir skin;
    QImage black(25, 25, QImage::Format_ARGB32);
    black.fill(qRgba(0, 0, 0, 255));
    std::filesystem::create_directories(skin.Path() + "skin");
    ASSERT_TRUE(black.save(QString::fromStdString(skin.Path() + "skin/solid.png")));
    SetProgramFolder(skin.Path());
    NoticeCounter parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    GlanceButton button;
    ASSERT_TRUE(button.Create(77, CRect(10, 10, 35, 35), &parent, "", "solid.png", nullptr));
    EXPECT_FALSE(GlanceButton().Create(78, CRect(0, 0, 5, 5), &parent, "", "missing.png", nullptr));
    SetProgramFolder(QUILLO_PROGRAM_DIR);

    CQLImage out;
    button.Render(&out);
    EXPECT_EQ(out.GetBuffer(12, 12)[1], 85);  // 170/255 black over white
    button.m_hover = true;
    button.Render(&out);
    EXPECT_EQ(out.GetBuffer(12, 12)[1], 0);
    button.m_hover = false;
    button.EnableWindow(FALSE);
    button.Render(&out);
    EXPECT_EQ(out.GetBuffer(12, 12)[1], 199);  // 56/255
    button.EnableWindow(TRUE);

    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    button.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 200));
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    Pump();
    EXPECT_EQ(parent.notices, 0);
    EXPECT_FALSE(button.m_hover || button.m_pressed);
    button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    button.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    button.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    EXPECT_EQ(parent.notices, 1);
    parent.DestroyWindow();
}

TEST_F(GlanceUiTest, FitGrabTitleButtonsAndEnter)
{
    const std::string photo = Corpus("exif-samples/jpg/gps/DSCN0012.jpg");
    if (!Exists(photo))
        GTEST_SKIP() << "corpus absent";
    auto dlg = Open(photo);
    ASSERT_TRUE(dlg);
    CString title;
    dlg->GetWindowText(title);
    EXPECT_STREQ(title.GetString(), "Quillo Image Viewer - DSCN0012.jpg");
    EXPECT_TRUE(dlg->m_buttons[0].IsWindowEnabled());
    EXPECT_TRUE(dlg->m_buttons[1].IsWindowEnabled());
    EXPECT_TRUE(dlg->m_buttons[2].IsWindowEnabled());
    EXPECT_LE(dlg->m_view.Zoom(), 1.0);
    EXPECT_FALSE(dlg->m_view.CanDrag());
    dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    SaveGrab(dlg->m_hWnd, "glance_fit");

    std::string file, params;
    qlwin::SetShellExecuteHook([&](LPCSTR, LPCSTR f, LPCSTR p) {
        file = f;
        params = p;
        return reinterpret_cast<HINSTANCE>(42);
    });
    MSG msg{dlg->m_hWnd, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    EXPECT_TRUE(dlg->PreTranslateMessage(&msg));
    qlwin::SetShellExecuteHook({});
    EXPECT_EQ(file, std::string(QUILLO_PROGRAM_DIR) + "/QuilloEditor.exe");
    EXPECT_EQ(params, "\"" + photo + "\"");
    EXPECT_TRUE(dlg->IsWindowVisible());

    // Next and previous go round the folder.
    dlg->HandleKey(VK_RIGHT);
    EXPECT_TRUE(PumpUntil([&] {
        CString t;
        dlg->GetWindowText(t);
        return std::string(t.GetString()).find("DSCN0021.jpg") != std::string::npos;
    }));
    dlg->HandleKey(VK_LEFT);
    EXPECT_TRUE(PumpUntil([&] {
        CString t;
        dlg->GetWindowText(t);
        return std::string(t.GetString()).find("DSCN0012.jpg") != std::string::npos;
    }));

    // Esc closes and stores whether the window was maximised.
    dlg->ToggleMaximized();
    dlg->HandleKey(VK_ESCAPE);
    EXPECT_EQ(GetPrivateProfileInt("Config", "Max", 7, s_app->m_pszProfileName), 1u);
    dlg->DestroyWindow();
    PumpUntil([] { return LoadingThread().m_state == 3; });
}

TEST_F(GlanceUiTest, ZoomGrabDraggedAtTwiceTheSize)
{
    const std::string photo = Corpus("exif-samples/jpg/hdr/canon_hdr_NO.jpg");
    if (!Exists(photo))
        GTEST_SKIP() << "corpus absent";
    auto dlg = Open(photo);
    ASSERT_TRUE(dlg);
    EXPECT_TRUE(dlg->m_buttons[0].IsWindowEnabled());  // beside canon_hdr_YES.jpg
    dlg->m_view.ActualSize();
    dlg->m_view.ZoomIn();
    EXPECT_DOUBLE_EQ(dlg->m_view.Zoom(), 2);
    EXPECT_TRUE(dlg->m_view.CanDrag());
    dlg->m_view.DragBy(-300, -200);
    EXPECT_EQ(dlg->m_view.Origin().x, 150);
    EXPECT_EQ(dlg->m_view.Origin().y, 100);
    dlg->m_buttons[2].m_hover = true;
    dlg->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    SaveGrab(dlg->m_hWnd, "glance_zoom");
    dlg->DestroyWindow();
    PumpUntil([] { return LoadingThread().m_state == 3; });
}

TEST_F(GlanceUiTest, CornerDragKeepsTheWindowAtLeast600By400)
{
    const std::string photo = Corpus("exif-samples/jpg/hdr/canon_hdr_NO.jpg");
    auto dlg = Open(Exists(photo) ? photo : std::string());
    ASSERT_TRUE(dlg);
    CRect client;
    dlg->GetClientRect(&client);
    const CPoint grip(client.right - 5, client.bottom - 5);
    dlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grip.x, grip.y));
    dlg->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grip.x - 900, grip.y - 900));
    dlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(grip.x - 900, grip.y - 900));
    Pump();
    CRect r;
    dlg->GetWindowRect(&r);
    EXPECT_GE(r.Width(), 600);
    EXPECT_GE(r.Height(), 400);
    EXPECT_LT(r.Width(), 1000);
    MINMAXINFO mmi{};
    dlg->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, 640);
    EXPECT_EQ(mmi.ptMinTrackSize.y, 400);
    dlg->DestroyWindow();
    PumpUntil([] { return LoadingThread().m_state == 3; });
}
