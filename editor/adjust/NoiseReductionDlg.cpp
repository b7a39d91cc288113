#include "editor/adjust/NoiseReductionDlg.h"

#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"

namespace {

constexpr int kTextNoiseReduction = 36;

} // namespace

BEGIN_MESSAGE_MAP(CNoiseReductionDlg, CRepairDlg)
    ON_BN_CLICKED(IDC_NOISE_COLOR_SPOTS, OnCheck)
    ON_BN_CLICKED(IDC_NOISE_ADAPTIVE, OnCheck)
END_MESSAGE_MAP()

CNoiseReductionDlg::CNoiseReductionDlg(CWnd* parent) : CRepairDlg(IDD_NOISE_REDUCTION, kTextNoiseReduction, parent) {}

CNoiseReductionDlg::~CNoiseReductionDlg()
{
    StopJobAndWait();
}

void CNoiseReductionDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_NOISE_AMOUNT, amount);
    DDX_Check(pDX, IDC_NOISE_COLOR_SPOTS, colourSpots);
    DDX_Check(pDX, IDC_NOISE_ADAPTIVE, adaptive);
}

BOOL CNoiseReductionDlg::OnInitDialog()
{
    dialogKey = "NoiseReduction";
    CRepairDlg::OnInitDialog();
    InitSlider(amountSlider, IDC_NOISE_AMOUNT, 1, 10, amount);
    amountSlider.SetTicFreq(1);
    UpdateData(FALSE);
    amountSlider.EnableWindow(!adaptive);
    UpdatePreview();
    return TRUE;
}

void CNoiseReductionDlg::OnCheck()
{
    UpdateData(TRUE);
    amountSlider.EnableWindow(!adaptive);
    UpdatePreview();
}

void CNoiseReductionDlg::RunAlgorithm()
{
    if (adaptive) {
        adaptiveBlock.reduceColorSpots = colourSpots;
        adaptiveReduction.SetImages(CurrentImage(), GetWorkImage());
        RunJob(&adaptiveReduction, &adaptiveBlock, 0, 0, 100);
        return;
    }
    block.strength = amount;
    block.reduceColorSpots = colourSpots;
    reduction.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&reduction, &block, 0, 0, 100);
}
