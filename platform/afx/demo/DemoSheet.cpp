#include "platform/afx/demo/DemoSheet.h"

#include "platform/afx/CommDlg.h"
#include "platform/afx/DataExchange.h"

namespace {

const qlafx::DialogTemplate kPages[] = {
    {IDD_DEMO_PHOTO_PAGE, WS_CHILD | DS_SETFONT, 0, 0, 0, 200, 80, "Photo", "MS Shell Dlg", 8,
     {
         {"Static", "&Title:", 0xFFFF, 7, 9, 40, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_DEMO_TITLE, 50, 7, 143, 14, WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL},
         {"Button", "Show &grid", IDC_DEMO_GRID, 50, 28, 100, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
     }},
    {IDD_DEMO_COLOUR_PAGE, WS_CHILD | DS_SETFONT, 0, 0, 0, 200, 80, "Colour", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_DEMO_SWATCH, 7, 9, 120, 8, WS_VISIBLE | SS_LEFT},
         {"Button", "&Choose...", IDC_DEMO_CHOOSE, 133, 7, 60, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kPages};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace

void CDemoPhotoPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Text(pDX, IDC_DEMO_TITLE, m_title);
    DDV_MaxChars(pDX, m_title, 40);
    DDX_Check(pDX, IDC_DEMO_GRID, m_grid);
}

BEGIN_MESSAGE_MAP(CDemoColourPage, CPropertyPage)
    ON_BN_CLICKED(IDC_DEMO_CHOOSE, OnChoose)
END_MESSAGE_MAP()

BOOL CDemoColourPage::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    ShowColour();
    return TRUE;
}

void CDemoColourPage::OnChoose()
{
    CColorDialog dlg(m_colour, CC_FULLOPEN, this);
    if (dlg.DoModal() != IDOK)
        return;
    m_colour = dlg.GetColor();
    ShowColour();
    SetModified();
}

void CDemoColourPage::ShowColour()
{
    CString text;
    text.Format("RGB(%d, %d, %d)", GetRValue(m_colour), GetGValue(m_colour), GetBValue(m_colour));
    SetDlgItemText(IDC_DEMO_SWATCH, text);
}

CDemoSheet::CDemoSheet(CWnd* pParentWnd) : CPropertySheet("Demo properties", pParentWnd)
{
    AddPage(&m_photo);
    AddPage(&m_colour);
}
