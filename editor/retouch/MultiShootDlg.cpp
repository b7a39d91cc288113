#include "editor/retouch/MultiShootDlg.h"

#include "editor/retouch/MultiWork.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"

#include <string>

namespace {

struct ToolButton {
    UINT id;
    int left;
    int caption; // UI text
    const char* face;
};
constexpr ToolButton kTools[] = {
    {IDC_MULTI_NR, 5, 128, "multinr.bmp"},
    {IDC_MULTI_AS, 165, 129, "multias.bmp"},
    {IDC_MULTI_HDR, 325, 130, "multihdr.bmp"},
};
constexpr int kButtonTop = 30, kButtonWidth = 150, kButtonHeight = 130;

}  // namespace

BEGIN_MESSAGE_MAP(CMultiShootDlg, CSkinDialog)
    ON_BN_CLICKED(IDC_MULTI_NR, OnNoiseReduction)
    ON_BN_CLICKED(IDC_MULTI_AS, OnAntiShake)
    ON_BN_CLICKED(IDC_MULTI_HDR, OnHDR)
END_MESSAGE_MAP()

CMultiShootDlg::CMultiShootDlg(CWnd* parent) : CSkinDialog(IDD_MULTI_SHOOT, parent)
{
}

BOOL CMultiShootDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    const std::string skin = std::string(theAppSettings.m_programFolder) + "skin/";
    for (int i = 0; i < 3; ++i) {
        const ToolButton& t = kTools[i];
        const RECT rect{t.left, kButtonTop, t.left + kButtonWidth, kButtonTop + kButtonHeight};
        const char* caption = theUITextTable.GetText(t.caption);
        if (!m_buttons[i].Create(caption, rect, this, t.id, (skin + t.face).c_str(), caption, 0))
            continue;
        m_buttons[i].LoadBackground((skin + "3dface.bmp").c_str());
        m_buttons[i].SetGrayEffect(FALSE);
        m_buttons[i].ModifyStyle(0, WS_TABSTOP);
    }
    CRect window;
    GetWindowRect(&window);
    CRect client;
    GetClientRect(&client);
    const int frameWidth = window.Width() - client.Width();
    SetWindowPos(nullptr, 0, 0, 490, 220 + GetCaptionHeightDelta(), SWP_NOMOVE | SWP_NOZORDER);
    CenterWindow();
    if (CWnd* text = GetDlgItem(IDC_MULTI_SHOOT_TEXT))
        text->MoveWindow(10, 8, 490 - frameWidth - 20, 18);
    if (CWnd* cancel = GetDlgItem(IDCANCEL))
        cancel->MoveWindow(10, 160, 465, 25);
    return TRUE;
}

// Each tool closes the window whatever its result.
void CMultiShootDlg::OnNoiseReduction()
{
    CMultiNRWork().Run();
    EndDialog(IDOK);
}

void CMultiShootDlg::OnAntiShake()
{
    CMultiASWork().Run();
    EndDialog(IDOK);
}

void CMultiShootDlg::OnHDR()
{
    CMultiHDRWork().Run();
    EndDialog(IDOK);
}

int RunMultiShootDlg(CWnd* parent)
{
    CMultiShootDlg dlg(parent);
    return static_cast<int>(dlg.DoModal());
}
