#include "snap/SnapDlg.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/BitmapMenu.h"
#include "platform/afx/DC.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/ResourceTables.h"
#include "platform/afx/WinApp.h"
#include "platform/win/Folders.h"
#include "platform/win/Timing.h"
#include "snap/CameraDlg.h"
#include "snap/CaptureOverlayDlg.h"
#include "snap/SnapTexts.h"

#include <cstdio>
#include <unistd.h>

namespace snap {

int CaptureModeOf(UINT command)
{
    switch (command) {
    case 32771: return 0;
    case 32773: return 1;
    case 32772: return 2;
    case 32774: return 3;
    case 32775: return 4;
    default: return -1;
    }
}

BEGIN_MESSAGE_MAP(CSnapDlg, CSnapSkinDialog)
    ON_WM_CREATE()
    ON_WM_SYSCOMMAND()
    ON_BN_CLICKED(kScreenButton, OnScreenButton)
    ON_BN_CLICKED(kCameraButton, OnCameraButton)
    ON_COMMAND_RANGE(32771, 32775, OnCaptureCommand)
END_MESSAGE_MAP()

CSnapDlg::CSnapDlg(CWnd* parent) : CSnapSkinDialog(102, parent), m_programFolder(ProgramFolder()) {}

CSnapDlg::~CSnapDlg()
{
    if (g_skinButtonImage == &m_menuSkin)
        g_skinButtonImage = nullptr;
}

int CSnapDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSnapSkinDialog::OnCreate(cs) == -1)
        return -1;
    const std::string screenFace = SkinPath("screen.bmp"), cameraFace = SkinPath("camera.bmp");
    if (!m_screenButton.Create(Texts().GetText("screen"), RECT{10, 10, 150, 180}, this, kScreenButton,
                               screenFace.c_str(), nullptr, 0) ||
        !m_cameraButton.Create(Texts().GetText("camera"), RECT{170, 10, 310, 180}, this, kCameraButton,
                               cameraFace.c_str(), nullptr, 0))
        return -1;
    const std::string tile = SkinPath("3dface.bmp");
    m_screenButton.LoadBackground(tile.c_str());
    m_cameraButton.LoadBackground(tile.c_str());
    return 0;
}

BOOL CSnapDlg::OnInitDialog()
{
    CSnapSkinDialog::OnInitDialog();
    if (const char* about = qlafx::FindString(101); about && *about) {
        if (HMENU sys = ::GetSystemMenu(m_hWnd, FALSE)) {
            ::AppendMenu(sys, MF_SEPARATOR, 0, nullptr);
            ::AppendMenu(sys, MF_STRING, 16, about);
        }
    }
    m_icon = AfxGetApp() ? AfxGetApp()->LoadIcon(128) : nullptr;
    SetIcon(m_icon, TRUE);
    SetIcon(m_icon, FALSE);
    LoadMenuSkin();
    SetWindowPos(nullptr, 0, 0, 330, 220, SWP_NOMOVE | SWP_NOZORDER);
    PrepareResultFile();
    return TRUE;
}

void CSnapDlg::LoadMenuSkin()
{
    // The icon menu's selection bar is drawn from it.
    if (m_menuSkin.LoadFromFile(SkinPath("btnst.bmp").c_str()) == 0)
        g_skinButtonImage = &m_menuSkin;
    else
        m_menuSkin.Free();
}

void CSnapDlg::PrepareResultFile()
{
    char temp[4096] = {};
    const DWORD n = ::GetTempPath(sizeof temp, temp);
    m_resultPath = (n > 0 && n < sizeof temp ? std::string(temp) : std::string("/tmp/")) + "qlcap.bmp";
    ::unlink(m_resultPath.c_str());
}

bool CSnapDlg::SaveResult(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    const std::string part = m_resultPath + ".part";
    // The editor takes the file's presence as success: it appears whole or not at all.
    const bool ok = w && h && image.SaveToFile(part.c_str()) == 0 && std::rename(part.c_str(), m_resultPath.c_str()) == 0;
    if (!ok) {
        ::unlink(part.c_str());
        AfxMessageBox(Texts().GetText("cannotsave"), MB_OK | MB_ICONSTOP);
    }
    return ok;
}

void CSnapDlg::OnSysCommand(UINT nID, LPARAM lParam)
{
    if (nID >= 16 && nID <= 31) {  // the About entry
        CDialog about(100, this);
        about.DoModal();
        return;
    }
    CSnapSkinDialog::OnSysCommand(nID, lParam);
}

void CSnapDlg::OnScreenButton()
{
    CBitmapMenu menu;
    if (!menu.LoadMenu(129))
        return;
    menu.LoadToolbarImages(133);
    CBitmapMenu::s_flatStyleSameColours = 1;
    CBitmapMenu::s_flatStyleOtherColours = 1;
    RECT r;
    m_screenButton.GetWindowRect(&r);
    if (CMenu* popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, r.right, r.bottom, this);
}

void CSnapDlg::OnCaptureCommand(UINT id)
{
    const int mode = CaptureModeOf(id);
    if (mode >= 0)
        StartCapture(mode);
}

int CSnapDlg::RunOverlay(int mode, CQLImage* result)
{
    CCaptureOverlayDlg overlay(mode, this);
    const int r = static_cast<int>(overlay.DoModal());
    if (r == IDOK)
        *result = std::move(overlay.m_snapshot);
    return r;
}

int CSnapDlg::RunCamera(CQLImage* result)
{
    CCameraDlg camera(this);
    const int r = static_cast<int>(camera.DoModal());
    if (r == IDOK)
        *result = std::move(camera.m_image);
    return r;
}

void CSnapDlg::StartCapture(int mode)
{
    ShowWindow(SW_HIDE);
    ::Sleep(500);  // until the window has left the screen
    CQLImage result;
    if (RunOverlay(mode, &result) == IDOK && SaveResult(result)) {
        EndDialog(IDOK);
        return;
    }
    ShowWindow(SW_SHOW);
}

void CSnapDlg::OnCameraButton()
{
    CQLImage result;
    if (RunCamera(&result) == IDOK && SaveResult(result))
        EndDialog(IDOK);
}

} // namespace snap
