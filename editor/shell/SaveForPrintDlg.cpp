#include "editor/shell/SaveForPrintDlg.h"

#include "platform/afx/CommCtrl.h"
#include "platform/afx/DataExchange.h"

namespace {

// Long sides of the sizes in tenths of an inch, so that L = dpi x inches is
// exact (11.7 x 330 is 3861, not the 3860 a binary fraction gives).
constexpr int kTenths[CSaveForPrintDlg::kSizeCount] = {0, 165, 117, 83, 120, 100, 80, 60, 50};
const char* const kSuffixes[CSaveForPrintDlg::kSizeCount] = {"", "_A3", "_A4", "_A5", "_12", "_10", "_8x6", "_6x4",
                                                            "_5x3.5"};

}  // namespace

const char* const CSaveForPrintDlg::kSizeNames[kSizeCount] = {
    "Keep size unchanged", "A3", "A4", "A5", "12  inches photo", "10  inches photo", "8 inches photo",
    "6 inches photo", "5 inches photo"};

BEGIN_MESSAGE_MAP(CSaveForPrintDlg, CSkinDialog)
    ON_CBN_SELCHANGE(IDC_PRINT_SIZE, OnSizeChanged)
END_MESSAGE_MAP()

CSaveForPrintDlg::CSaveForPrintDlg(CWnd* parent) : CSkinDialog(IDD_SAVE_FOR_PRINT, parent) {}

void CSaveForPrintDlg::PrintSize(int index, int dpi, int width, int height, int* outWidth, int* outHeight)
{
    *outWidth = width;
    *outHeight = height;
    if (index <= 0 || index >= kSizeCount || width <= 0 || height <= 0)
        return;
    const long long longSide = static_cast<long long>(dpi) * kTenths[index] / 10;
    const double ratio = static_cast<double>(width) / height;
    if (ratio > 1) {
        *outWidth = static_cast<int>(longSide);
        *outHeight = static_cast<int>(longSide / ratio);
    } else {
        *outHeight = static_cast<int>(longSide);
        *outWidth = static_cast<int>(longSide * ratio);
    }
}

const char* CSaveForPrintDlg::Suffix(int index)
{
    return index > 0 && index < kSizeCount ? kSuffixes[index] : "";
}

BOOL CSaveForPrintDlg::OnInitDialog()
{
    for (const char* name : kSizeNames)
        SendDlgItemMessage(IDC_PRINT_SIZE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    CSkinDialog::OnInitDialog();
    UpdateEnabling();
    return TRUE;
}

void CSaveForPrintDlg::DoDataExchange(CDataExchange* pDX)
{
    CSkinDialog::DoDataExchange(pDX);
    DDX_CBIndex(pDX, IDC_PRINT_SIZE, m_sizeIndex);
    DDX_Text(pDX, IDC_PRINT_DPI, m_dpi);
    // Only checked when it is used.
    if (m_sizeIndex != 0)
        DDV_MinMaxInt(pDX, m_dpi, kMinDpi, kMaxDpi);
}

void CSaveForPrintDlg::UpdateEnabling()
{
    const int index = static_cast<int>(SendDlgItemMessage(IDC_PRINT_SIZE, CB_GETCURSEL));
    if (CWnd* dpi = GetDlgItem(IDC_PRINT_DPI))
        dpi->EnableWindow(index > 0);
}

void CSaveForPrintDlg::OnSizeChanged()
{
    UpdateEnabling();
}
