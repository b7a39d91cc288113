#include "editor/shell/SelectFunctionDlg.h"

#include "editor/shell/FunctionBar.h"

#include "editor/shell/MainFrame.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"

#include <cstdio>
#include <string>

namespace {

struct Picture {
    UINT id;
    const char* file;
    int captionText;
};
const Picture kPictures[3] = {
    {IDC_FUNCTION_NOISE, "noisereduction.bmp", 36},
    {IDC_FUNCTION_BEAUTY, "portrait_sel.bmp", 37},
    {IDC_FUNCTION_SMART_ERASE, "smarterase.bmp", 150},
};

// Each button's command of the frame: the three choices close the dialog
// with their number; the others run their command at once.
struct ButtonCommand {
    UINT id;
    UINT command;
    int choice;  // -1: runs at once
};
const ButtonCommand kButtons[] = {
    {IDC_FUNCTION_NOISE, CSelectFunctionDlg::kChoiceCommands[0], 0},
    {IDC_FUNCTION_BEAUTY, CSelectFunctionDlg::kChoiceCommands[1], 1},
    {IDC_FUNCTION_SHARPEN, CSelectFunctionDlg::kChoiceCommands[2], 2},
    {IDC_FUNCTION_SMART_ERASE, 32883, -1},
    {IDC_FUNCTION_SKIN_CLEAN, 32869, -1},
    {IDC_FUNCTION_DEFOG, 32865, -1},
};


std::string SkinFile(const char* name)
{
    char path[600];
    std::snprintf(path, sizeof path, "%sskin/%s", theAppSettings.m_programFolder, name);
    return path;
}

}  // namespace

BEGIN_MESSAGE_MAP(CSelectFunctionDlg, CSkinDialog)
    ON_WM_CREATE()
END_MESSAGE_MAP()

CSelectFunctionDlg::CSelectFunctionDlg(CWnd* target, CWnd* parent)
    : CSkinDialog(IDD_SELECT_FUNCTION, parent), m_target(target)
{
}

BOOL CSelectFunctionDlg::CommandEnabled(CWnd* target, UINT command)
{
    if (!target)
        return FALSE;
    return CFunctionBar::CommandEnabled(target, command);
}

BOOL CSelectFunctionDlg::AnyAvailable() const
{
    for (const ButtonCommand& b : kButtons)
        if (CommandEnabled(m_target, b.command))
            return TRUE;
    return FALSE;
}

int CSelectFunctionDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::string background = SkinFile("3dface.bmp");
    for (int i = 0; i < 3; ++i) {
        const Picture& p = kPictures[i];
        const RECT r{0, 0, kPictureSize, kPictureSize};
        if (!m_pictures[i].Create(theUITextTable.GetText(p.captionText), r, this, p.id, SkinFile(p.file).c_str(), "",
                                  0))
            continue;  // a missing picture leaves its tool to the other buttons
        m_pictures[i].LoadBackground(background.c_str());
        m_pictures[i].SetBkColor(face);
    }
    return 0;
}

BOOL CSelectFunctionDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    LayOutPictures();
    for (const ButtonCommand& b : kButtons)
        if (CWnd* w = GetDlgItem(b.id))
            w->EnableWindow(CommandEnabled(m_target, b.command));
    if (m_tools.LoadMenu(IDR_ENHANCE_TOOLS))
        for (UINT toolbar : {128u, 134u, 365u})
            m_tools.LoadToolbarImages(toolbar);
    if (CWnd* more = GetDlgItem(IDC_FUNCTION_MORE))
        more->EnableWindow(m_tools.GetSubMenu(0) != nullptr);
    return TRUE;
}

// Each picture centred in its third of the frame, 5 pixels lower.
void CSelectFunctionDlg::LayOutPictures()
{
    CWnd* frame = GetDlgItem(IDC_FUNCTION_FRAME);
    if (!frame)
        return;
    CRect r;
    frame->GetWindowRect(&r);
    ScreenToClient(&r);
    const int third = r.Width() / 3;
    for (int i = 0; i < 3; ++i) {
        if (!m_pictures[i].GetSafeHwnd())
            continue;
        const int x = r.left + third * i + (third - kPictureSize) / 2;
        const int y = r.top + (r.Height() - kPictureSize) / 2 + 5;
        ::SetWindowPos(m_pictures[i].m_hWnd, HWND_TOP, x, y, kPictureSize, kPictureSize, SWP_NOACTIVATE);
    }
}

BOOL CSelectFunctionDlg::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(static_cast<DWORD>(wParam));
    if (HIWORD(static_cast<DWORD>(wParam)) == BN_CLICKED) {
        for (const ButtonCommand& b : kButtons) {
            if (b.id != id)
                continue;
            if (b.choice >= 0) {
                m_choice = b.choice;
                EndDialog(IDOK);
            } else if (CommandEnabled(m_target, b.command)) {
                m_target->SendMessage(WM_COMMAND, b.command);
            }
            return TRUE;
        }
        if (id == IDC_FUNCTION_MORE) {
            DropToolsMenu();
            return TRUE;
        }
    }
    return CSkinDialog::OnCommand(wParam, lParam);
}

void CSelectFunctionDlg::DropToolsMenu()
{
    CMenu* popup = m_tools.GetSubMenu(0);
    CWnd* button = GetDlgItem(IDC_FUNCTION_MORE);
    if (!popup || !button)
        return;
    EnableMenuItems(popup);
    CRect r;
    button->GetWindowRect(&r);
    const UINT command = static_cast<UINT>(
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD, r.right, r.top, this));
    if (command && CommandEnabled(m_target, command))
        m_target->SendMessage(WM_COMMAND, command);
}

// The frame's enabling, since the dialog answers no update requests.
void CSelectFunctionDlg::EnableMenuItems(CMenu* menu)
{
    const int count = static_cast<int>(menu->GetMenuItemCount());
    for (int i = 0; i < count; ++i) {
        if (CMenu* sub = menu->GetSubMenu(i)) {
            EnableMenuItems(sub);
            continue;
        }
        const UINT id = menu->GetMenuItemID(i);
        if (id == 0 || id == static_cast<UINT>(-1))
            continue;
        menu->EnableMenuItem(id, MF_BYCOMMAND | (CommandEnabled(m_target, id) ? MF_ENABLED : MF_GRAYED));
    }
}

int RunSelectFunctionDlg(CMainFrame* frame)
{
    CSelectFunctionDlg dlg(frame, nullptr);
    if (!dlg.AnyAvailable())
        return IDCANCEL;
    if (dlg.DoModal() != IDOK || dlg.m_choice < 0)
        return IDCANCEL;
    const UINT command = CSelectFunctionDlg::kChoiceCommands[dlg.m_choice];
    // The frame may have changed while the dialog was up.
    if (!CSelectFunctionDlg::CommandEnabled(frame, command))
        return IDCANCEL;
    frame->SendMessage(WM_COMMAND, command);
    return IDOK;
}
