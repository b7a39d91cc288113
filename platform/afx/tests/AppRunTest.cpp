// qlafx::RunApp with the application object a program has: a global made
// during static initialisation, before the layer's own globals. Its own
// main, since RunApp makes the QApplication.
#include "platform/afx/Afx.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

enum class Ending { CloseMainWindow, QuitMessage, InitFails };

class CMainWnd : public CWnd {
public:
    std::vector<UINT>* m_log = nullptr;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (m_log && (message == WM_CREATE || message == WM_CLOSE || message == WM_DESTROY))
            m_log->push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void PostNcDestroy() override { delete this; }
};

class CRunTestApp : public CWinApp {
public:
    CRunTestApp() : CWinApp("Run Test") {}

    Ending m_ending = Ending::CloseMainWindow;
    std::vector<UINT> m_log;
    std::string m_cmdLine;
    int m_quitCode = -1;
    bool m_exited = false;
    std::vector<QImage> m_icons;
    QImage m_appIcon;

    BOOL InitInstance() override
    {
        m_cmdLine = m_lpCmdLine ? m_lpCmdLine : "";
        auto* wnd = new CMainWnd;
        wnd->m_log = &m_log;
        if (!wnd->CreateEx(0, AfxRegisterWndClass(0), "Main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr))
            return FALSE;
        m_pMainWnd = wnd;
        // Windows made now carry the program's icon: the main window and an
        // owned top-level window, as a dialog is.
        auto* owned = new CMainWnd;
        if (owned->CreateEx(0, AfxRegisterWndClass(0), "Owned", WS_POPUP | WS_CAPTION, 0, 0, 80, 60, wnd->m_hWnd,
                            nullptr)) {
            for (CWnd* w : {static_cast<CWnd*>(wnd), static_cast<CWnd*>(owned)})
                m_icons.push_back(w->GetWidget()->windowIcon().pixmap(32).toImage());
            owned->DestroyWindow();
        }
        m_appIcon = QApplication::windowIcon().pixmap(32).toImage();
        switch (m_ending) {
        case Ending::CloseMainWindow:
            wnd->PostMessage(WM_CLOSE);
            return TRUE;
        case Ending::QuitMessage:
            PostQuitMessage(5);
            return TRUE;
        case Ending::InitFails:
            return FALSE;
        }
        return FALSE;
    }
    int ExitInstance() override
    {
        m_exited = true;
        m_quitCode = CWinApp::ExitInstance();
        return 100 + m_quitCode;
    }
};

// Made before main, as programs make theirs.
CRunTestApp theApp;

struct RunCase {
    const char* name;
    Ending ending;
    int quitCode;
    std::vector<UINT> log;
};

class AppRun : public ::testing::TestWithParam<RunCase> {};

TEST_P(AppRun, RunsInitInstanceTheLoopAndReturnsExitInstancesCode)
{
    const RunCase& c = GetParam();
    ASSERT_EQ(AfxGetApp(), &theApp);
    EXPECT_STREQ(AfxGetAppName(), "Run Test");
    theApp.m_ending = c.ending;
    theApp.m_log.clear();
    theApp.m_exited = false;
    theApp.m_icons.clear();
    theApp.m_msgCur = MSG{};  // as in a fresh process, when the cases share one
    char arg0[] = "qlafx_app_tests", arg1[] = "first file.jpg", arg2[] = "-x";
    char* argv[] = {arg0, arg1, arg2, nullptr};
    EXPECT_EQ(qlafx::RunApp(3, argv), 100 + c.quitCode);
    EXPECT_TRUE(theApp.m_exited);
    EXPECT_EQ(theApp.m_quitCode, c.quitCode);
    EXPECT_EQ(theApp.m_cmdLine, "first file.jpg -x");
    EXPECT_EQ(theApp.m_log, c.log);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr) << "the main window is gone";
    // The program's icon 128 is the application's icon and every top-level window's.
    ASSERT_FALSE(theApp.m_appIcon.isNull());
    ASSERT_EQ(theApp.m_icons.size(), 2u);
    for (const QImage& icon : theApp.m_icons) {
        EXPECT_FALSE(icon.isNull());
        EXPECT_EQ(icon, theApp.m_appIcon);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Endings, AppRun,
    ::testing::Values(RunCase{"CloseMainWindow", Ending::CloseMainWindow, 0, {WM_CREATE, WM_CLOSE, WM_DESTROY}},
                      RunCase{"QuitMessage", Ending::QuitMessage, 5, {WM_CREATE, WM_DESTROY}},
                      RunCase{"InitFails", Ending::InitFails, 0, {WM_CREATE, WM_DESTROY}}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

}  // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
