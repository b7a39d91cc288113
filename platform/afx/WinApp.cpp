#include "platform/afx/WinApp.h"

#include "platform/afx/Wnd.h"
#include "platform/afx/WndRecord.h"
#include "platform/afx/Resources.h"
#include "platform/win/Folders.h"
#include "platform/win/Profile.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

using namespace qlafx;

namespace {

CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;
int g_instanceToken = 0;  // its address is the instance handle

char* Duplicate(const std::string& s)
{
    return strdup(s.c_str());
}

void MakeFolders(const std::string& path)
{
    for (size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/')
            mkdir(path.substr(0, i).c_str(), 0700);
}

std::string ProgramFolder()
{
    char path[4096];
    const DWORD n = GetModuleFileName(nullptr, path, sizeof path);
    std::string folder(path, n);
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos ? std::string("./") : folder.substr(0, slash + 1);
}

}  // namespace

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

CWinApp::CWinApp(LPCSTR lpszAppName)
{
    m_pszAppName = lpszAppName ? strdup(lpszAppName) : nullptr;
    m_bAutoDelete = FALSE;
    m_nThreadID = GetCurrentThreadId();
    m_hInstance = reinterpret_cast<HINSTANCE>(&g_instanceToken);
    g_app = this;
    SetThreadObject(this);
}

CWinApp::~CWinApp()
{
    if (g_app == this)
        g_app = nullptr;
    if (AfxGetThread() == this)
        SetThreadObject(nullptr);
    std::free(const_cast<char*>(m_pszAppName));
    std::free(m_lpCmdLine);
    std::free(const_cast<char*>(m_pszExeName));
    std::free(const_cast<char*>(m_pszProfileName));
    std::free(const_cast<char*>(m_pszRegistryKey));
    std::free(const_cast<char*>(m_pszHelpFilePath));
}

BOOL CWinApp::InitApplication()
{
    return TRUE;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::Run()
{
    // OnIdle runs when the Qt loop is about to wait, as MFC runs it when the
    // queue is empty; a TRUE answer asks for another round soon.
    LONG idleCount = 0;
    bool moreIdle = true;
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    QMetaObject::Connection block, awake;
    if (dispatcher) {
        block = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [&] {
            if (!moreIdle)
                return;
            moreIdle = OnIdle(idleCount++) != FALSE;
            if (moreIdle)
                QTimer::singleShot(0, [] {});
        });
        awake = QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [&] {
            if (!moreIdle) {
                moreIdle = true;
                idleCount = 0;
            }
        });
    }
    const int code = QCoreApplication::instance() ? QCoreApplication::exec() : 0;
    QObject::disconnect(block);
    QObject::disconnect(awake);
    m_msgCur.wParam = static_cast<WPARAM>(code);
    return ExitInstance();
}

int CWinApp::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    return CWinThread::PreTranslateMessage(pMsg);
}

void CWinApp::DoWaitCursor(int nCode)
{
    if (nCode > 0) {
        ++m_nWaitCursorCount;
        AfxBeginWaitCursor();
    } else if (nCode < 0 && m_nWaitCursorCount > 0) {
        --m_nWaitCursorCount;
        AfxEndWaitCursor();
    }
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    return GetPrivateProfileInt(lpszSection, lpszEntry, nDefault, m_pszProfileName);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    char text[16];
    std::snprintf(text, sizeof text, "%d", nValue);
    return WritePrivateProfileString(lpszSection, lpszEntry, text, m_pszProfileName);
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    std::string buffer(4096, '\0');
    for (;;) {
        const DWORD n = GetPrivateProfileString(lpszSection, lpszEntry, lpszDefault ? lpszDefault : "", buffer.data(),
                                                static_cast<DWORD>(buffer.size()), m_pszProfileName);
        if (n + 2 < buffer.size()) {
            buffer.resize(n);
            return CString(buffer);
        }
        buffer.assign(buffer.size() * 2, '\0');
    }
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    return WritePrivateProfileString(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
}

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    std::free(const_cast<char*>(m_pszRegistryKey));
    m_pszRegistryKey = lpszRegistryKey ? strdup(lpszRegistryKey) : nullptr;
}

HCURSOR CWinApp::LoadCursor(LPCSTR lpszResourceName) const
{
    return ::LoadCursor(AfxGetResourceHandle(), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

HCURSOR CWinApp::LoadStandardCursor(LPCSTR lpszCursorName) const
{
    return ::LoadCursor(nullptr, lpszCursorName);
}

HICON CWinApp::LoadIcon(LPCSTR lpszResourceName) const
{
    return ::LoadIcon(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
}

HICON CWinApp::LoadStandardIcon(LPCSTR lpszIconName) const
{
    return ::LoadIcon(nullptr, lpszIconName);
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    if (CWinThread* thread = AfxGetThread())
        if (CWnd* wnd = thread->GetMainWnd())
            return wnd;
    return g_app ? g_app->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_app ? g_app->m_hInstance : reinterpret_cast<HINSTANCE>(&g_instanceToken);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceHandle ? g_resourceHandle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_resourceHandle = hInstResource;
}

LPCSTR AfxGetAppName()
{
    return g_app ? g_app->m_pszAppName : nullptr;
}

namespace qlafx {

CString DefaultProfilePath(const char* programFolder)
{
    if (programFolder && *programFolder && access(programFolder, W_OK) == 0) {
        std::string folder = programFolder;
        if (folder.back() != '/')
            folder += '/';
        return CString(folder + "Quillo.ini");
    }
    std::string config;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        config = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        config = std::string(home) + "/.config";
    else
        config = "/tmp";
    config += "/quillo";
    MakeFolders(config);
    return CString(config + "/Quillo.ini");
}

int RunApp(int argc, char** argv)
{
    static int s_argc = argc;
    auto* qtApp = new QApplication(s_argc, argv);
    CWinApp* app = AfxGetApp();
    if (!app) {
        qCritical("RunApp: no application object");
        delete qtApp;
        return 1;
    }
    SetThreadObject(app);
    app->m_nThreadID = GetCurrentThreadId();
    std::string cmdLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1)
            cmdLine += ' ';
        cmdLine += argv[i];
    }
    std::free(app->m_lpCmdLine);
    app->m_lpCmdLine = Duplicate(cmdLine);
    char path[4096];
    const DWORD n = GetModuleFileName(nullptr, path, sizeof path);
    std::string exe(path, n);
    exe = exe.substr(exe.rfind('/') + 1);
    if (!app->m_pszExeName)
        app->m_pszExeName = Duplicate(exe);
    if (!app->m_pszAppName)
        app->m_pszAppName = Duplicate(exe);
    if (!app->m_pszProfileName)
        app->m_pszProfileName = Duplicate(DefaultProfilePath(ProgramFolder().c_str()).str());

    // The program's icon (resource 128, when it has one) is the icon of every
    // top-level window that sets none of its own.
    if (HICON icon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(128)))
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(IconImage(icon, nullptr))));

    int code;
    if (!app->InitApplication() || !app->InitInstance()) {
        if (CWnd* mainWnd = app->m_pMainWnd; mainWnd && mainWnd->m_hWnd)
            mainWnd->DestroyWindow();
        code = app->ExitInstance();
    } else {
        code = app->Run();
    }
    for (HWND hwnd : AllWindows())
        if (IsWindow(hwnd) && !GetParent(hwnd) && !(GetWindowLong(hwnd, GWL_STYLE) & WS_CHILD))
            DestroyWindow(hwnd);
    CWnd::DeleteTempMap();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    delete qtApp;
    return code;
}

}  // namespace qlafx
