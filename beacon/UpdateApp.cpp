#include "beacon/UpdateApp.h"

#include "beacon/UpdateListDlg.h"
#include "platform/win/Folders.h"
#include "platform/win/Profile.h"
#include "platform/win/ProgramFolder.h"

#include <cstdlib>
#include <cstring>

namespace beacon {

CUpdateApp::CUpdateApp() : CWinApp("QuilloBeacon") {}

BOOL CUpdateApp::InitInstance()
{
    std::free(const_cast<char*>(m_pszProfileName));
    m_pszProfileName = strdup(qlafx::DefaultProfilePath(qlwin::ProgramFolder().c_str()).GetString());
    CUpdateListDlg dlg;
    dlg.m_automatic = m_automatic;
    dlg.m_profile = m_pszProfileName;
    dlg.m_programFolder = qlwin::ProgramFolder();
    char temp[4096];
    ::GetTempPath(sizeof temp, temp);
    dlg.m_tempFolder = temp;
    char server[512];
    GetPrivateProfileString(kSection, "Server", kDefaultServer, server, sizeof server, m_pszProfileName);
    dlg.m_server = ParseServer(server);
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

} // namespace beacon
