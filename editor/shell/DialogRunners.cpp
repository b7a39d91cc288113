// The editor's dialog commands and the functions that run them. Each dialog
// adds its line here when it is built; a command without one stays disabled.
#include "editor/adjust/ImageSizeDlg.h"
#include "editor/adjust/ModifyShapeDlg.h"
#include "editor/adjust/PerspectiveDlg.h"
#include "editor/adjust/TransformDlg.h"
#include "editor/adjust/ColorThemeDlg.h"
#include "editor/adjust/HSBCurveDlg.h"
#include "editor/adjust/ProfHistogramDlg.h"
// Repair and lens effects.
#include "editor/adjust/AntiPurpleDlg.h"
#include "editor/adjust/DarkSideDlg.h"
#include "editor/adjust/FogoffFilterDlg.h"
#include "editor/adjust/GradientFilterDlg.h"
#include "editor/adjust/HighlightDiffuseDlg.h"
#include "editor/adjust/LensBlurDlg.h"
#include "editor/adjust/NRCleanDlg.h"
#include "editor/adjust/NoiseReductionDlg.h"
#include "editor/adjust/QuilloSharpenDlg.h"
#include "editor/adjust/StarLightDlg.h"
// Tone, colour and exposure dialogs.
#include "editor/adjust/AdjustColorChooserDlg.h"
#include "editor/adjust/AdjustColorDlg.h"
#include "editor/adjust/AutoExposureDlg.h"
#include "editor/adjust/BrightnessContrastDlg.h"
#include "editor/adjust/ChannelMixerDlg.h"
#include "editor/adjust/DynamicRangeDlg.h"
#include "editor/adjust/SpotMeteringDlg.h"
#include "editor/adjust/ThresholdDlg.h"
#include "editor/adjust/VisualColorDlg.h"
#include "editor/adjust/WhiteBalanceDlg.h"
#include "editor/adjust/MonoToneSheet.h"
#include "editor/adjust/SmartEraseDlg.h"
// The photo-fix wizard, red eye and Digital Beauty.
#include "editor/adjust/AutoProcessDlg.h"
#include "editor/adjust/DigitalBeautyDlg.h"
#include "editor/adjust/RedEyeDlg.h"
#include "editor/adjust/WhatsWrongDlg.h"
#include "editor/retouch/CorrectDistortionDlg.h"
#include "editor/ui/FilterDlg.h"
#include "editor/retouch/MultiShootDlg.h"
#include "editor/retouch/MultiWork.h"
#include "editor/retouch/OverlayCommands.h"
#include "editor/retouch/AddFrameDlg.h"
#include "editor/retouch/BarrelDistortDlg.h"
#include "editor/retouch/CanvasSizeDlg.h"
#include "editor/retouch/ClickEditDlg.h"
#include "editor/retouch/ContentResizeDlg.h"
#include "editor/retouch/CopyDlg.h"
#include "editor/retouch/DescreenDlg.h"
#include "editor/retouch/FilmAspectAdjustDlg.h"
#include "editor/retouch/FreeRotateDlg.h"
#include "editor/retouch/GaussBlurDlg.h"
#include "editor/retouch/TemplatesEditDlg.h"
#include "editor/shell/JpegOptimizeDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PrintImageDlg.h"
#include "editor/shell/SaveModeDlg.h"
#include "editor/shell/SaveWithSizeDlg.h"
#include "editor/shell/SettingsDlg.h"

// The photo's property dialogs.
#include "editor/shell/EditExifDlg.h"
#include "editor/shell/FunctionBar.h"
#include "editor/shell/ImagePropertyDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SelectFunctionDlg.h"

namespace {

int RunImagePropertyDlg(CMainFrame*)
{
    CImagePropertyDlg dlg(nullptr);
    return dlg.DoModal();
}

// The function bar's Transform button hands its group's menu to "More >".
int RunTransformFromFunctionBar(CMainFrame* frame)
{
    CMenu menu;
    if (!menu.LoadMenu(132))
        return RunTransformDlg(frame, nullptr);
    CMenu* group = menu.GetSubMenu(0);
    return RunTransformDlg(frame, group ? group->GetSafeHmenu() : nullptr);
}

int RunEditExifDlg(CMainFrame*)
{
    CEditExifDlg dlg(thePhotoDocument.m_exif, thePhotoDocument.m_path, nullptr);
    return dlg.DoModal();
}

}  // namespace

void RegisterDialogRunners()
{
    CMainFrame::SetDialogRunner(32838, RunSettingsDlg);
    // Saving: File > Save, and "Save with Size ..." for "Jpeg Slimming".
    CMainFrame::SetDialogRunner(57603, [](CMainFrame* frame) { return RunSaveModeDlg(frame); });
    SetSaveWithSizeRunner(RunSaveWithSizeDlg);
    CMainFrame::SetDialogRunner(32784, RunImagePropertyDlg);
    CMainFrame::SetDialogRunner(32851, RunEditExifDlg);
    // The function bar's enhancement button.
    CFunctionBar::SetButtonRunner(4121, RunSelectFunctionDlg);
    // File > Print.
    CMainFrame::SetDialogRunner(57608, [](CMainFrame* frame) { return PrintImage(frame); });
    // Geometry: Image > Transform.
    CMainFrame::SetDialogRunner(32810, RunTransformCommand);
    CMainFrame::SetDialogRunner(32811, RunImageSizeCommand);
    CMainFrame::SetDialogRunner(32863, RunPerspectiveCommand);
    CMainFrame::SetDialogRunner(32877, RunModifyShapeCommand);
    CFunctionBar::SetButtonRunner(4113, RunTransformFromFunctionBar);
    // Tone dialogs.
    CMainFrame::SetDialogRunner(32798, [](CMainFrame* frame) { return RunProfHistogramDlg(frame); });
    CMainFrame::SetDialogRunner(32840, [](CMainFrame* frame) { return RunHSBCurveDlg(frame); });
    CMainFrame::SetDialogRunner(32839, [](CMainFrame* frame) { return RunColorThemeDlg(frame); });
    // Repair and lens effects: Image > Enhancement.
    CMainFrame::SetDialogRunner(32841, [](CMainFrame* frame) { return RunRepairDlg<CAntiPurpleDlg>(frame); });
    CMainFrame::SetDialogRunner(32864, [](CMainFrame* frame) { return RunRepairDlg<CDarkSideDlg>(frame); });
    CMainFrame::SetDialogRunner(32865, [](CMainFrame* frame) { return RunRepairDlg<CFogoffFilterDlg>(frame); });
    CMainFrame::SetDialogRunner(32799, [](CMainFrame* frame) { return RunRepairDlg<CNoiseReductionDlg>(frame); });
    CMainFrame::SetDialogRunner(32869, [](CMainFrame* frame) { return RunRepairDlg<CNRCleanDlg>(frame); });
    CMainFrame::SetDialogRunner(32801, [](CMainFrame* frame) { return RunRepairDlg<CQuilloSharpenDlg>(frame); });
    CMainFrame::SetDialogRunner(32847, [](CMainFrame* frame) { return RunRepairDlg<CHighlightDiffuseDlg>(frame); });
    CMainFrame::SetDialogRunner(32845, [](CMainFrame* frame) { return RunRepairDlg<CLensBlurDlg>(frame); });
    CMainFrame::SetDialogRunner(32856, [](CMainFrame* frame) { return RunRepairDlg<CGradientFilterDlg>(frame); });
    CMainFrame::SetDialogRunner(32854, [](CMainFrame* frame) { return RunRepairDlg<CStarLightDlg>(frame); });
    // Tone, colour and exposure dialogs and the function bar's choosers.
    CMainFrame::SetDialogRunner(32812, [](CMainFrame* frame) { return RunBrightnessContrastDlg(frame); });
    CMainFrame::SetDialogRunner(32904, [](CMainFrame* frame) { return RunThresholdDlg(frame); });
    CMainFrame::SetDialogRunner(32899, [](CMainFrame* frame) { return RunChannelMixerDlg(frame); });
    CMainFrame::SetDialogRunner(32849, [](CMainFrame* frame) { return RunDynamicRangeDlg(frame); });
    CMainFrame::SetDialogRunner(32809, [](CMainFrame* frame) { return RunAdjustColorDlg(frame); });
    CMainFrame::SetDialogRunner(32808, [](CMainFrame* frame) { return RunWhiteBalanceDlg(frame); });
    CMainFrame::SetDialogRunner(32817, [](CMainFrame* frame) { return RunSpotMeteringDlg(frame); });
    CMainFrame::SetDialogRunner(32807, [](CMainFrame* frame) { return RunVisualColorDlg(frame); });
    CMainFrame::SetDialogRunner(32901, [](CMainFrame* frame) { return RunVividColorDlg(frame); });
    CFunctionBar::SetButtonRunner(CFunctionBar::kColor, [](CMainFrame* frame) { return RunAdjustColorChooser(frame); });
    CFunctionBar::SetButtonRunner(CFunctionBar::kExposure, [](CMainFrame* frame) { return RunAdjustExposureChooser(frame); });
    // Image > Multi-Shoot Tools and the tool window.
    CMainFrame::SetDialogRunner(32872, [](CMainFrame*) { return static_cast<int>(CMultiNRWork().Run()); });
    CMainFrame::SetDialogRunner(32873, [](CMainFrame*) { return static_cast<int>(CMultiASWork().Run()); });
    CMainFrame::SetDialogRunner(32874, [](CMainFrame*) { return static_cast<int>(CMultiHDRWork().Run()); });
    CMainFrame::SetDialogRunner(32875, [](CMainFrame* frame) { return RunMultiShootDlg(frame); });
    // Selections: "Apply to Selection" of every effect dialog, and Smart Erase.
    SetSelectAreaRunner(RunSelectAreaDlg);
    CMainFrame::SetDialogRunner(32883, [](CMainFrame* frame) { return RunSmartEraseDlg(frame); });
    CMainFrame::SetDialogRunner(32852, [](CMainFrame* frame) { return RunMonoToneSheet(frame); });
    // Text and pictures over the photo.
    CMainFrame::SetDialogRunner(32828, [](CMainFrame* frame) { return RunInsertImageSheet(frame); });
    CMainFrame::SetDialogRunner(32827, [](CMainFrame* frame) { return RunInsertTextSheet(frame); });
    CMainFrame::SetPasteSheetRunner(RunPasteSheet);
    // Photo frames: Image > Frame and the function bar's frame button.
    CMainFrame::SetDialogRunner(32805, RunAddFrameDlg);
    CMainFrame::SetDialogRunner(32806, RunEditFrameTemplates);
    CFunctionBar::SetButtonRunner(CFunctionBar::kFrame, RunAddFrameDlg);
    // Retouch and geometry: Image > Transform, Enhancement and Exposure; Edit > Copy.
    CMainFrame::SetDialogRunner(32858, RunBarrelDistortDlg);
    CMainFrame::SetDialogRunner(32837, [](CMainFrame* frame) { return RunFreeRotateDlg(frame); });
    CMainFrame::SetDialogRunner(32876, RunCanvasSizeDlg);
    CMainFrame::SetDialogRunner(57634, RunCopyDlg);
    CMainFrame::SetDialogRunner(32802, [](CMainFrame* frame) { return RunRepairDlg<CGaussBlurDlg>(frame); });
    CMainFrame::SetDialogRunner(32903, [](CMainFrame* frame) { return RunRepairDlg<CDescreenDlg>(frame); });
    CMainFrame::SetDialogRunner(32884, [](CMainFrame* frame) { return RunRepairDlg<CFilmAspectAdjustDlg>(frame); });
    CMainFrame::SetDialogRunner(32829, [](CMainFrame* frame) { return RunEraseSpotsDlg(frame); });
    CMainFrame::SetDialogRunner(32909, [](CMainFrame* frame) { return RunContentResizeDlg(frame); });
    // The photo-fix wizard, after every open once ticked, and the dialogs it reaches.
    CMainFrame::SetDialogRunner(32816, [](CMainFrame* frame) { return RunWhatsWrongDlg(frame); });
    CMainFrame::SetAfterOpenRunner([](CMainFrame* frame) { return RunFixWizardAfterOpen(frame); });
    CMainFrame::SetDialogRunner(32836, [](CMainFrame* frame) { return RunRedEyeDlg(frame); });
    CMainFrame::SetDialogRunner(32800, [](CMainFrame* frame) { return RunDigitalBeauty(frame); });
    using namespace fixwizard;
    SetRunner(kAutoExposure, RunAutoExposureDlg);
    SetRunner(kDynamicRange, RunDynamicRangeDlg);
    SetRunner(kSpotMetering, RunSpotMeteringDlg);
    SetRunner(kWhiteBalance, RunWhiteBalanceDlg);
    SetRunner(kVisualColor, RunVisualColorDlg);
    SetRunner(kCorrectDistortion, [](CWnd*) { return RunCorrectDistortionDlg(dynamic_cast<CMainFrame*>(AfxGetMainWnd())); });
    SetRunner(kNoiseReduction, RunRepairDlg<CNoiseReductionDlg>);
    SetRunner(kDefog, RunRepairDlg<CFogoffFilterDlg>);
    SetRunner(kColorEnhancement, RunVividColorDlg);
    SetRunner(kDigitalBeauty, RunDigitalBeauty);
    SetRunner(kRedEye, RunRedEyeDlg);
    SetRunner(kAntiPurple, RunRepairDlg<CAntiPurpleDlg>);
    SetRunner(kSmartErase, RunSmartEraseDlg);
    SetRunner(kModifyShape, RunModifyShapeDlg);
    SetRunner(kImageSize, RunImageSizeDlg);
    SetRunner(kFreeRotate, RunFreeRotateDlg);
    SetRunner(kDarkCorners, RunRepairDlg<CDarkSideDlg>);
    SetRunner(kAutoProcess, RunAutoProcessDlg);
    SetRunner(kColorTheme, [](CWnd* parent) { return RunColorThemeDlg(parent); });
    SetRunner(kToneMaker, RunMonoToneSheet);
    SetRunner(kGradientFilter, RunRepairDlg<CGradientFilterDlg>);
    SetRunner(kStarLight, RunRepairDlg<CStarLightDlg>);
    SetRunner(kGaussDiffuse, RunGaussBlurPreset);
    SetRunner(kHighlightDiffuse, RunRepairDlg<CHighlightDiffuseDlg>);
}
