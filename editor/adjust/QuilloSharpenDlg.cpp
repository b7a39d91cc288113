#include "editor/adjust/QuilloSharpenDlg.h"

#include "editor/adjust/RepairRules.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/MsgMap.h"

namespace {

constexpr int kTextQuilloSharpen = 42;

} // namespace

BEGIN_MESSAGE_MAP(CQuilloSharpenDlg, CRepairDlg)
    ON_BN_CLICKED(IDC_SHARPEN_AUTO, OnAuto)
    ON_BN_CLICKED(IDC_SHARPEN_EDGE, OnSharpenEdge)
END_MESSAGE_MAP()

CQuilloSharpenDlg::CQuilloSharpenDlg(CWnd* parent) : CRepairDlg(IDD_QUILLO_SHARPEN, kTextQuilloSharpen, parent)
{
    twoStage = true;
}

CQuilloSharpenDlg::~CQuilloSharpenDlg()
{
    StopJobAndWait();
}

void CQuilloSharpenDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_SHARPEN_AMOUNT, amount);
    DDX_Slider(pDX, IDC_SHARPEN_THRESHOLD, threshold);
    DDX_Slider(pDX, IDC_SHARPEN_RADIUS, radius);
    DDX_Check(pDX, IDC_SHARPEN_AUTO, autoMode);
}

BOOL CQuilloSharpenDlg::OnInitDialog()
{
    dialogKey = "QuilloSharpen";
    CRepairDlg::OnInitDialog();
    InitSlider(amountSlider, IDC_SHARPEN_AMOUNT, 1, 100, amount);
    amountSlider.SetPageSize(10);
    InitSlider(thresholdSlider, IDC_SHARPEN_THRESHOLD, 0, 255, threshold);
    thresholdSlider.SetPageSize(16);
    InitSlider(radiusSlider, IDC_SHARPEN_RADIUS, 1, 127, radius);
    radiusSlider.SetPageSize(8);
    UpdateData(FALSE);
    EnableSliders();
    UpdatePreview();
    return TRUE;
}

void CQuilloSharpenDlg::EnableSliders()
{
    for (CWnd* w : {static_cast<CWnd*>(&amountSlider), static_cast<CWnd*>(&thresholdSlider),
                    static_cast<CWnd*>(&radiusSlider), GetDlgItem(IDC_SHARPEN_EDGE)})
        if (w)
            w->EnableWindow(!autoMode);
}

void CQuilloSharpenDlg::OnAuto()
{
    UpdateData(TRUE);
    EnableSliders();
    UpdatePreview();
}

void CQuilloSharpenDlg::OnSharpenEdge()
{
    UpdateData(TRUE);
    amount = 100;
    threshold = 0;
    radius = 1;
    UpdateData(FALSE);
    UpdatePreview();
}

void CQuilloSharpenDlg::RunAlgorithm()
{
    block = repair::SharpenParams(autoMode != 0, radius, amount, threshold);
    smoothBlock.radius = block.radius;
    smooth.SetImages(CurrentImage(), &blurred);
    RunJob(&smooth, &smoothBlock, 0, 0, 60);
}

BOOL CQuilloSharpenDlg::RunSecondStage()
{
    sharpen.SetImages(CurrentImage(), GetWorkImage());
    sharpen.ClearImages();
    sharpen.AddImage(&blurred);
    return RunJob(&sharpen, &block, 1, 60, 100);
}
