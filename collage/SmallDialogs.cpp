#include "collage/SmallDialogs.h"

namespace collage {

BOOL CMattingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CheckRadioButton(IDC_MATTING_RED, IDC_MATTING_GREEN, IDC_MATTING_BLUE);
    return TRUE;
}

void CMattingDlg::OnOK()
{
    switch (GetCheckedRadioButton(IDC_MATTING_RED, IDC_MATTING_GREEN)) {
    case IDC_MATTING_RED:
        m_colour = MattingColour::Red;
        break;
    case IDC_MATTING_GREEN:
        m_colour = MattingColour::Green;
        break;
    default:
        m_colour = MattingColour::Blue;
        break;
    }
    CDialog::OnOK();
}

} // namespace collage
