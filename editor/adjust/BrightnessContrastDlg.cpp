#include "editor/adjust/BrightnessContrastDlg.h"

#include "editor/shell/PhotoDocument.h"

namespace {

constexpr int kTextBrightnessContrast = 49;

}  // namespace

CBrightnessContrastDlg::CBrightnessContrastDlg(CWnd* parent)
    : CToneSliderDlg(IDD_BRIGHTNESS_CONTRAST, parent, "BrightnessAndCon", kTextBrightnessContrast, false)
{
}

CBrightnessContrastDlg::~CBrightnessContrastDlg()
{
    StopJobAndWait();
}

BOOL CBrightnessContrastDlg::OnInitDialog()
{
    CToneSliderDlg::OnInitDialog();
    if (!ready)
        return TRUE;
    SetSlider(IDC_BC_BRIGHTNESS, -100, 100, 0);
    SetSlider(IDC_BC_CONTRAST, -100, 100, 0);
    UpdatePreview();
    return TRUE;
}

void CBrightnessContrastDlg::RunAlgorithm()
{
    params = {SliderPos(IDC_BC_BRIGHTNESS), SliderPos(IDC_BC_CONTRAST)};
    host.SetImages(CurrentImage(), GetWorkImage());
    host.SetParam(&params);
    RunJob(&host, reinterpret_cast<void*>(&tone::BrightnessContrastFunction), 0, 0, 100);
}

int RunBrightnessContrastDlg(CWnd* parent)
{
    if (!thePhotoDocument.IsLoaded())
        return IDCANCEL;
    CBrightnessContrastDlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
