#include "album/tools/SetupPaperDlg.h"

#include "platform/afx/Controls.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"

namespace shelf {

namespace {

constexpr double kCmPerInch = 2.54;
constexpr double kInchesPerCm = 0.39370078740157477;
// Papers of 0.5 inch or less have no room for a cell.
constexpr double kSmallestSide = 0.5;

struct PaperRow {
    const char* text;
    double width, height;
};

const PaperRow kPapers[CSetupPaperDlg::kPaperRows] = {
    {"Custom", 0, 0},
    {"A4- (10x7.5)", 11.7, 8.3},
    {"A5- (7.0x5.3)", 8.3, 5.85},
    {"1/4 A4- (5.0x3.7)", 5.85, 4.12},
    {"1/8 A4- (3.7x2.8)", 4.12, 2.95},
    {"1'/1R (1.5 x 1.1)", 1.378, 0.98},
    {"2'/2R  (2 x 1.5)", 2.1, 1.378},
    {"5'/3R (5x3.5)", 5, 3.5},
    {"6'/4R (6x4)", 6, 4},
    {"7'/5R (7x5)", 7, 5},
    {"8'/6R (8x6)", 8, 6},
    {"10' (10x8)", 10, 8},
    {"12' (12x10)", 12, 10},
};

} // namespace

BEGIN_MESSAGE_MAP(CSetupPaperDlg, CSkinDialog)
    ON_CBN_SELCHANGE(1131, OnPaperChanged)
    ON_CBN_SELCHANGE(1133, OnUnitChanged)
    ON_BN_CLICKED(1134, OnLandscape)
    ON_BN_CLICKED(1135, OnPortrait)
END_MESSAGE_MAP()

bool CSetupPaperDlg::PaperSize(int row, double* width, double* height)
{
    if (row <= 0 || row >= kPaperRows)
        return false;
    *width = kPapers[row].width;
    *height = kPapers[row].height;
    return true;
}

void CSetupPaperDlg::PageInches(double* width, double* height) const
{
    *width = m_landscape ? m_widthInches : m_heightInches;
    *height = m_landscape ? m_heightInches : m_widthInches;
}

BOOL CSetupPaperDlg::OnInitDialog()
{
    for (const PaperRow& row : kPapers)
        SendDlgItemMessage(1131, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text));
    for (const char* unit : {"inch", "cm"})
        SendDlgItemMessage(1133, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(unit));
    CSkinDialog::OnInitDialog();
    CheckRadioButton(1134, 1135, m_landscape ? 1134 : 1135);
    EnableEdits();
    return TRUE;
}

void CSetupPaperDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, 1133, m_unit);
    DDX_CBIndex(pDX, 1131, m_paper);
    DDX_Text(pDX, 1081, m_shownWidth);
    DDV_MinMaxDouble(pDX, m_shownWidth, 0, 32);
    DDX_Text(pDX, 1132, m_shownHeight);
    DDV_MinMaxDouble(pDX, m_shownHeight, 0, 32);
}

void CSetupPaperDlg::TakeInches()
{
    const double factor = m_unit == 1 ? kInchesPerCm : 1.0;
    m_widthInches = m_shownWidth * factor;
    m_heightInches = m_shownHeight * factor;
}

void CSetupPaperDlg::EnableEdits()
{
    const int paper = static_cast<int>(SendDlgItemMessage(1131, CB_GETCURSEL, 0, 0));
    for (int id : {1081, 1132})
        if (CWnd* edit = GetDlgItem(id))
            edit->EnableWindow(paper <= 0);
}

void CSetupPaperDlg::OnPaperChanged()
{
    if (!UpdateData(TRUE))
        return;
    double width = 0, height = 0;
    if (PaperSize(m_paper, &width, &height)) {
        const double factor = m_unit == 1 ? kCmPerInch : 1.0;
        m_shownWidth = width * factor;
        m_shownHeight = height * factor;
    }
    TakeInches();
    UpdateData(FALSE);
    EnableEdits();
}

void CSetupPaperDlg::OnUnitChanged()
{
    const int shownUnit = m_unit;
    if (!UpdateData(TRUE))
        return;
    const int newUnit = m_unit;
    m_unit = shownUnit;
    TakeInches();
    m_unit = newUnit;
    const double factor = m_unit == 1 ? kCmPerInch : 1.0;
    m_shownWidth = m_widthInches * factor;
    m_shownHeight = m_heightInches * factor;
    UpdateData(FALSE);
}

void CSetupPaperDlg::OnLandscape() { m_landscape = 1; }

void CSetupPaperDlg::OnPortrait() { m_landscape = 0; }

void CSetupPaperDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    TakeInches();
    if (m_widthInches <= kSmallestSide || m_heightInches <= kSmallestSide) {
        AfxMessageBox("The paper must be larger than half an inch on each side.", MB_OK | MB_ICONSTOP);
        return;
    }
    EndDialog(IDOK);
}

} // namespace shelf
