// CWinApp: the application object. Its thread is the GUI thread; Run is the
// Qt event loop, which also drains the thread's message queue.
#pragma once

#include "platform/afx/AfxString.h"
#include "platform/afx/WinThread.h"

class CWinApp : public CWinThread {
    DECLARE_DYNAMIC(CWinApp)
public:
    // Becomes the object AfxGetApp returns.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;

    LPCSTR m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    HINSTANCE m_hPrevInstance = nullptr;
    // The program's arguments joined by blanks.
    LPSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCSTR m_pszExeName = nullptr;
    LPCSTR m_pszHelpFilePath = nullptr;
    // Full path of the settings file, malloc'd (code may free and replace it
    // in InitInstance). RunApp sets qlafx::DefaultProfilePath() before
    // InitInstance when it is still NULL.
    LPCSTR m_pszProfileName = nullptr;
    LPCSTR m_pszRegistryKey = nullptr;

    virtual BOOL InitApplication();
    BOOL InitInstance() override;
    int Run() override;
    int ExitInstance() override;
    BOOL OnIdle(LONG lCount) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // nCode 1 begins, -1 ends, 0 restores the wait cursor.
    virtual void DoWaitCursor(int nCode);

    UINT GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue);
    CString GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue);
    // Settings stay in the profile file; the key only names the application.
    void SetRegistryKey(LPCSTR lpszRegistryKey);

    HCURSOR LoadCursor(LPCSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadStandardCursor(LPCSTR lpszCursorName) const;
    HICON LoadIcon(LPCSTR lpszResourceName) const;
    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadStandardIcon(LPCSTR lpszIconName) const;

protected:
    int m_nWaitCursorCount = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
LPCSTR AfxGetAppName();

namespace qlafx {

// What a program's main() calls: makes the QApplication, fills the
// application object (command line, instance, exe name, profile path),
// runs InitInstance, then Run when it returned TRUE (else ExitInstance).
// Returns the exit code.
int RunApp(int argc, char** argv);

// "Quillo.ini" in programFolder (which ends in '/') when that folder is
// writable, else in $XDG_CONFIG_HOME/quillo/ (~/.config/quillo/), created
// on demand.
CString DefaultProfilePath(const char* programFolder);

}  // namespace qlafx
