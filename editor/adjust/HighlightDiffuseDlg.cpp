#include "editor/adjust/HighlightDiffuseDlg.h"

#include "editor/adjust/RepairRules.h"
#include "platform/afx/DataExchange.h"

namespace {

constexpr int kTextHighlightDiffuse = 90;

} // namespace

CHighlightDiffuseDlg::CHighlightDiffuseDlg(CWnd* parent)
    : CRepairDlg(IDD_HIGHLIGHT_DIFFUSE, kTextHighlightDiffuse, parent)
{
    twoStage = true;
}

CHighlightDiffuseDlg::~CHighlightDiffuseDlg()
{
    StopJobAndWait();
}

void CHighlightDiffuseDlg::DoDataExchange(CDataExchange* pDX)
{
    CRepairDlg::DoDataExchange(pDX);
    DDX_Slider(pDX, IDC_DIFFUSE_OPACITY, opacity);
    DDX_Slider(pDX, IDC_DIFFUSE_RADIUS, radius);
}

BOOL CHighlightDiffuseDlg::OnInitDialog()
{
    dialogKey = "HightlightDispersion";
    CRepairDlg::OnInitDialog();
    InitSlider(opacitySlider, IDC_DIFFUSE_OPACITY, 0, 100, opacity);
    InitSlider(radiusSlider, IDC_DIFFUSE_RADIUS, 1, 128, radius);
    UpdateData(FALSE);
    UpdatePreview();
    return TRUE;
}

void CHighlightDiffuseDlg::RunAlgorithm()
{
    block.radius = radius;
    blendOpacity = opacity;
    algorithm.SetImages(CurrentImage(), &glow);
    RunJob(&algorithm, &block, 0, 0, 80);
}

BOOL CHighlightDiffuseDlg::RunSecondStage()
{
    blend.SetImages(CurrentImage(), GetWorkImage());
    blend.ClearImages();
    blend.AddImage(&glow);
    blend.SetParam(&blendOpacity);
    return RunJob(&blend, reinterpret_cast<void*>(&repair::HighlightDiffuseBlend), 1, 80, 100);
}
