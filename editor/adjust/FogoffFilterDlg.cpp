#include "editor/adjust/FogoffFilterDlg.h"

#include "platform/afx/DataExchange.h"

namespace {

constexpr int kTextDefog = 121;

} // namespace

CFogoffFilterDlg::CFogoffFilterDlg(CWnd* parent) : CRepairDlg(IDD_FOGOFF, kTextDefog, parent) {}

CFogoffFilterDlg::~CFogoffFilterDlg()
{
    StopJobAndWait();
}

void CFogoffFilterDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_FOGOFF_AMOUNT, amount);
}

BOOL CFogoffFilterDlg::OnInitDialog()
{
    dialogKey = "FogoffFilter";
    CRepairDlg::OnInitDialog();
    // The trackbar's own range, 0..100, holds.
    InitSlider(amountSlider, IDC_FOGOFF_AMOUNT, 0, 100, amount);
    UpdateData(FALSE);
    UpdatePreview();
    return TRUE;
}

void CFogoffFilterDlg::RunAlgorithm()
{
    block.strength = amount;
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &block, 0, 0, 100);
}
