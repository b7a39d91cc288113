#include "editor/shell/EditorApp.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/SplashDlg.h"
#include "editor/shell/TipDlg.h"
#include "editor/ui/AppSettings.h"
#include "platform/afx/CommandLineInfo.h"
#include "platform/afx/SystemVersion.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Folders.h"
#include "platform/win/Process.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>

char g_programFolder[512] = {};

BEGIN_MESSAGE_MAP(CEditorApp, CWinApp)
ON_COMMAND(57664, OnAppAbout)
ON_COMMAND(104, OnTipOfTheDay)
END_MESSAGE_MAP()

void InitModuleFolder()
{
    char path[sizeof g_programFolder] = {};
    GetModuleFileName(nullptr, path, sizeof path);
    char* slash = std::strrchr(path, '/');
    if (slash)
        slash[1] = '\0';
    std::snprintf(g_programFolder, sizeof g_programFolder, "%s", path);
}

char* GetSkinFilePath(const char* name, char* buffer)
{
    std::snprintf(buffer, MAX_PATH, "%sskin/%s", g_programFolder, name);
    return buffer;
}

BOOL CheckOldSystem(CWinApp* app)
{
    const int cap = static_cast<int>(app->GetProfileInt("Warning", "OSCap", 2));
    if (cap == 0)
        return FALSE;
    BOOL warned = FALSE;
    OSVERSIONINFO version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (GetVersionEx(&version) && version.dwMajorVersion <= 4 && version.dwMinorVersion != 90) {
        AfxMessageBox("This program may have some compatibility problems under Win98/95 system.");
        warned = TRUE;
    }
    app->WriteProfileInt("Warning", "OSCap", cap - 1);
    return warned;
}

void StartCompanion(int startWithSystem)
{
    if (startWithSystem != 0)
        return;
    char path[sizeof g_programFolder + 16];
    std::snprintf(path, sizeof path, "%sKelvaneCore", g_programFolder);
    WinExec(path, SW_HIDE);  // not installed: nothing starts
}

namespace {

bool CommandLineEmpty(const char* line)
{
    if (!line)
        return true;
    while (*line == ' ' || *line == '\t')
        ++line;
    return *line == '\0';
}

// Keeps the splash painting while the frame settles.
void WaitPainting(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

void CEditorApp::LoadSettings()
{
    theAppSettings.LoadProfileAndSkin();
}

void CEditorApp::SaveSettings()
{
    theAppSettings.SaveProfile();
}

BOOL CEditorApp::InitInstance()
{
    InitModuleFolder();
    CQLImageCodec::Start();
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = strdup(qlafx::DefaultProfilePath(g_programFolder));
    LoadSettings();
    StartCompanion(theAppSettings.m_startWithSystem);

    const bool empty = CommandLineEmpty(m_lpCmdLine);
    theSplashDlg.Create(CSplashDlg::kTemplate, nullptr);
    if (empty) {
        theSplashDlg.ShowWindow(SW_SHOW);
        theSplashDlg.UpdateWindow();
    }
    CheckOldSystem(this);

    RegisterDialogRunners();
    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    if (!frame->LoadFrame(128, 0xCF8000)) {
        m_pMainWnd = nullptr;  // the frame deleted itself
        return FALSE;
    }
    frame->DragAcceptFiles(TRUE);
    frame->ShowWindow(SW_SHOW);
    frame->UpdateWindow();
    if (empty) {
        WaitPainting(1000);
        theSplashDlg.ShowWindow(SW_HIDE);
        ShowStartupTip();
    }
    return TRUE;
}

void CEditorApp::OnAppAbout()
{
    theSplashDlg.ShowWindow(SW_SHOW);
}

void CEditorApp::ShowStartupTip()
{
    CCommandLineInfo info;
    qlafx::ParseCommandLine(m_lpCmdLine ? m_lpCmdLine : "", info);
    if (!info.m_bShowSplash)
        return;
    CTipDlg tip;
    if (tip.m_showAtStartup)
        tip.DoModal();
}

void CEditorApp::OnTipOfTheDay()
{
    CTipDlg tip;
    tip.DoModal();
}
