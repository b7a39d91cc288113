#include "editor/adjust/ThresholdDlg.h"

#include "editor/shell/PhotoDocument.h"
#include "platform/afx/MsgMap.h"

namespace {

constexpr int kTextThreshold = 233;

}  // namespace

BEGIN_MESSAGE_MAP(CThresholdDlg, CToneSliderDlg)
    ON_CBN_SELCHANGE(IDC_THRESHOLD_METHOD, OnMethod)
END_MESSAGE_MAP()

CThresholdDlg::CThresholdDlg(CWnd* parent) : CToneSliderDlg(IDD_THRESHOLD, parent, "BWLevelDlg", kTextThreshold, true) {}

CThresholdDlg::~CThresholdDlg()
{
    StopJobAndWait();
}

BOOL CThresholdDlg::OnInitDialog()
{
    CToneSliderDlg::OnInitDialog();
    if (!ready)
        return TRUE;
    for (const char* name : {"Global fixed threshold", "Adaptive threshold", "Diffuse", "Halftone"})
        SendDlgItemMessage(IDC_THRESHOLD_METHOD, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendDlgItemMessage(IDC_THRESHOLD_METHOD, CB_SETCURSEL, 1);
    SetSlider(IDC_THRESHOLD_LEVEL, 0, 255, 64);
    SetSlider(IDC_THRESHOLD_TRANSITION, 0, 64, 16);
    SetSlider(IDC_THRESHOLD_REGION, 0, 100, 50);
    EnableSliders();
    UpdatePreview();
    return TRUE;
}

void CThresholdDlg::EnableSliders()
{
    const int method = static_cast<int>(SendDlgItemMessage(IDC_THRESHOLD_METHOD, CB_GETCURSEL));
    GetDlgItem(IDC_THRESHOLD_LEVEL)->EnableWindow(method == 0 || method == 1);
    GetDlgItem(IDC_THRESHOLD_TRANSITION)->EnableWindow(method == 0 || method == 1);
    GetDlgItem(IDC_THRESHOLD_REGION)->EnableWindow(method == 1);
}

void CThresholdDlg::OnMethod()
{
    const int method = static_cast<int>(SendDlgItemMessage(IDC_THRESHOLD_METHOD, CB_GETCURSEL));
    EnableSliders();
    if (method == 1) {
        SetSlider(IDC_THRESHOLD_LEVEL, 0, 255, 64);
        SetSlider(IDC_THRESHOLD_TRANSITION, 0, 64, 16);
    } else if (method == 0) {
        SetSlider(IDC_THRESHOLD_LEVEL, 0, 255, 128);
        SetSlider(IDC_THRESHOLD_TRANSITION, 0, 64, 0);
    }
    UpdatePreview();
}

void CThresholdDlg::RunAlgorithm()
{
    params = ThresholdParams{static_cast<INT>(SendDlgItemMessage(IDC_THRESHOLD_METHOD, CB_GETCURSEL)),
                             SliderPos(IDC_THRESHOLD_LEVEL), SliderPos(IDC_THRESHOLD_TRANSITION),
                             SliderPos(IDC_THRESHOLD_REGION)};
    algorithm.SetImages(CurrentImage(), GetWorkImage());
    RunJob(&algorithm, &params, 0, 0, 100);
}

int RunThresholdDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CThresholdDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
