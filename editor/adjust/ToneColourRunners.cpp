#include "editor/adjust/ToneColourRunners.h"

#include "editor/adjust/AdjustColorChooserDlg.h"
#include "editor/adjust/AdjustColorDlg.h"
#include "editor/adjust/AutoExposureDlg.h"
#include "editor/adjust/AutoProcessDlg.h"
#include "editor/adjust/BrightnessContrastDlg.h"
#include "editor/adjust/ChannelMixerDlg.h"
#include "editor/adjust/DynamicRangeDlg.h"
#include "editor/adjust/SpotMeteringDlg.h"
#include "editor/adjust/ThresholdDlg.h"
#include "editor/adjust/VisualColorDlg.h"
#include "editor/adjust/WhiteBalanceDlg.h"
#include "editor/shell/FunctionBar.h"
#include "editor/shell/MainFrame.h"

void RegisterToneColourRunners()
{
    CMainFrame::SetDialogRunner(32812, [](CMainFrame* frame) { return RunBrightnessContrastDlg(frame); });
    CMainFrame::SetDialogRunner(32904, [](CMainFrame* frame) { return RunThresholdDlg(frame); });
    CMainFrame::SetDialogRunner(32899, [](CMainFrame* frame) { return RunChannelMixerDlg(frame); });
    CMainFrame::SetDialogRunner(32849, [](CMainFrame* frame) { return RunDynamicRangeDlg(frame); });
    CMainFrame::SetDialogRunner(32809, [](CMainFrame* frame) { return RunAdjustColorDlg(frame); });
    CMainFrame::SetDialogRunner(32808, [](CMainFrame* frame) { return RunWhiteBalanceDlg(frame); });
    CMainFrame::SetDialogRunner(32817, [](CMainFrame* frame) { return RunSpotMeteringDlg(frame); });
    CMainFrame::SetDialogRunner(32901, [](CMainFrame* frame) { return RunVividColorDlg(frame); });
    CMainFrame::SetDialogRunner(32807, [](CMainFrame* frame) { return RunVisualColorDlg(frame); });
    CFunctionBar::SetButtonRunner(CFunctionBar::kColor, [](CMainFrame* frame) { return RunAdjustColorChooser(frame); });
    CFunctionBar::SetButtonRunner(CFunctionBar::kExposure,
                                  [](CMainFrame* frame) { return RunAdjustExposureChooser(frame); });
}
