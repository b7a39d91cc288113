// The templates of the tone and colour dialogs. The slider dialogs keep their
// controls on the left; the effect dialog base puts the previews to the right.
#include "editor/adjust/AdjustColorChooserDlg.h"
#include "editor/adjust/AdjustColorDlg.h"
#include "editor/adjust/AutoExposureDlg.h"
#include "editor/adjust/AutoProcessDlg.h"
#include "editor/adjust/BrightnessContrastDlg.h"
#include "editor/adjust/ChannelMixerDlg.h"
#include "editor/adjust/DynamicRangeDlg.h"
#include "editor/adjust/ThresholdDlg.h"
#include "editor/adjust/VisualColorDlg.h"
#include "editor/adjust/WhiteBalanceDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr UINT kStatic = 0xFFFF;
constexpr DWORD kFilterStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kRadio = WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kText = WS_VISIBLE | SS_LEFT;
constexpr DWORD kSlider = WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_BOTTOM;
constexpr DWORD kCombo = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;

qlafx::DialogItem Ok(short y)
{
    return {"Button", "OK", IDOK, 79, y, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON};
}

qlafx::DialogItem Cancel(short y)
{
    return {"Button", "Cancel", IDCANCEL, 139, y, 50, 14, kPush};
}

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_BRIGHTNESS_CONTRAST, kFilterStyle, 0, 0, 0, 196, 150, "Brightness and Contrast", "MS Shell Dlg", 8,
     {
         {"Button", "Brightness", kStatic, 7, 7, 182, 48, kGroup},
         {"msctls_trackbar32", "", IDC_BC_BRIGHTNESS, 14, 20, 168, 16, kSlider},
         {"Static", "Low", kStatic, 16, 40, 30, 8, kText},
         {"Static", "High", kStatic, 150, 40, 30, 8, WS_VISIBLE | SS_RIGHT},
         {"Button", "Contrast", kStatic, 7, 62, 182, 48, kGroup},
         {"msctls_trackbar32", "", IDC_BC_CONTRAST, 14, 75, 168, 16, kSlider},
         {"Static", "Low", kStatic, 16, 95, 30, 8, kText},
         {"Static", "High", kStatic, 150, 95, 30, 8, WS_VISIBLE | SS_RIGHT},
         Ok(128),
         Cancel(128),
     }},
    {IDD_THRESHOLD, kFilterStyle, 0, 0, 0, 196, 230, "Threshold / BW", "MS Shell Dlg", 8,
     {
         {"Static", "Turn color photo to only black and white for further print or OCR processing.", kStatic, 7, 7, 182,
          18, kText},
         {"Static", "Method:", kStatic, 7, 32, 30, 8, kText},
         {"ComboBox", "", IDC_THRESHOLD_METHOD, 42, 30, 147, 70, kCombo},
         {"Static", "Threshold:", kStatic, 7, 52, 182, 8, kText},
         {"msctls_trackbar32", "", IDC_THRESHOLD_LEVEL, 7, 62, 182, 16, kSlider},
         {"Static", "Transition Level, set 0 for no  transition, only black and white:", kStatic, 7, 84, 182, 18, kText},
         {"msctls_trackbar32", "", IDC_THRESHOLD_TRANSITION, 7, 103, 182, 16, kSlider},
         {"Static", "Adaptive region size:", kStatic, 7, 125, 182, 8, kText},
         {"msctls_trackbar32", "", IDC_THRESHOLD_REGION, 7, 135, 182, 16, kSlider},
         {"Static", "Tip: for remained black or white errors,  you can use paint mode to remove it manually after this function.",
          kStatic, 7, 160, 182, 26, kText},
         Ok(208),
         Cancel(208),
     }},
    {IDD_CHANNEL_MIXER, kFilterStyle, 0, 0, 0, 196, 216, "Channel Mixer", "MS Shell Dlg", 8,
     {
         {"Button", "Output", kStatic, 7, 7, 182, 46, kGroup},
         {"Button", "RGB", IDC_MIXER_RGB, 14, 20, 40, 10, kRadio | WS_GROUP},
         {"ComboBox", "", IDC_MIXER_OUTPUT, 60, 18, 80, 60, kCombo},
         {"Button", "Replace brightness", IDC_MIXER_BRIGHTNESS, 14, 36, 120, 10, kRadio},
         {"Button", "Input", kStatic, 7, 58, 182, 104, kGroup},
         {"Static", "R", kStatic, 14, 74, 30, 8, kText},
         {"msctls_trackbar32", "", IDC_MIXER_R, 46, 70, 138, 16, kSlider},
         {"Static", "G", kStatic, 14, 96, 30, 8, kText},
         {"msctls_trackbar32", "", IDC_MIXER_G, 46, 92, 138, 16, kSlider},
         {"Static", "B", kStatic, 14, 118, 30, 8, kText},
         {"msctls_trackbar32", "", IDC_MIXER_B, 46, 114, 138, 16, kSlider},
         {"Static", "Constant", kStatic, 14, 140, 30, 8, kText},
         {"msctls_trackbar32", "", IDC_MIXER_CONSTANT, 46, 136, 138, 16, kSlider},
         {"Button", "Save as Colortheme", IDC_MIXER_SAVE_THEME, 7, 170, 100, 22, kPush | BS_ICON},
         {"Button", "Reset", IDC_MIXER_RESET, 139, 174, 50, 14, kPush},
         Ok(196),
         Cancel(196),
     }},
    {IDD_DYNAMIC_RANGE, kFilterStyle, 0, 0, 0, 196, 130, "Enhance Dynamic Range", "MS Shell Dlg", 8,
     {
         {"Button", "Enhance Shadow", kStatic, 7, 7, 182, 40, kGroup},
         {"Static", "Amount", kStatic, 14, 24, 30, 8, kText},
         {"msctls_trackbar32", "", IDC_DYNAMIC_SHADOW, 46, 20, 136, 16, kSlider},
         {"Button", "Enhance Highlight", kStatic, 7, 54, 182, 40, kGroup},
         {"Static", "Amount", kStatic, 14, 71, 30, 8, kText},
         {"msctls_trackbar32", "", IDC_DYNAMIC_HIGHLIGHT, 46, 67, 136, 16, kSlider},
         Ok(108),
         Cancel(108),
     }},
    {IDD_AUTO_PROCESS, kFilterStyle, 0, 0, 0, 196, 200, "TRY Automatic Processing", "MS Shell Dlg", 8,
     {
         {"Button", "Image Type", kStatic, 7, 7, 182, 96, kGroup},
         {"Button", "Portrait", IDC_AUTO_PORTRAIT, 14, 20, 100, 10, kRadio | WS_GROUP},
         {"Static", "The main object of the photo is the face.", kStatic, 26, 32, 160, 8, kText},
         {"Button", "Night Scene", IDC_AUTO_NIGHT, 14, 48, 100, 10, kRadio},
         {"Button", "Normal", IDC_AUTO_NORMAL, 14, 66, 100, 10, kRadio},
         {"Static", "Other types", kStatic, 26, 78, 160, 8, kText},
         {"Static",
          "The automatical processing may not achieve the best result. It can not process the photos without any "
          "problem. If not satisfied, please use problem oriented wizard or  more advanced functions instead.",
          kStatic, 7, 110, 182, 60, kText},
         Ok(178),
         Cancel(178),
     }},
    {IDD_ADJUST_COLOR, kFilterStyle, 0, 0, 0, 196, 290, "Adjust Color", "MS Shell Dlg", 8,
     {
         {"Button", "HSB Mode", IDC_COLOR_HSB_MODE, 7, 7, 80, 10, kCheck},
         {"Button", "RGB channel", kStatic, 7, 22, 182, 78, kGroup},
         {"msctls_trackbar32", "", IDC_COLOR_CYAN_RED, 26, 34, 144, 16, kSlider},
         {"msctls_trackbar32", "", IDC_COLOR_MAGENTA_GREEN, 26, 56, 144, 16, kSlider},
         {"msctls_trackbar32", "", IDC_COLOR_YELLOW_BLUE, 26, 78, 144, 16, kSlider},
         {"Static", "", IDC_COLOR_END_FIRST, 14, 38, 8, 8, WS_VISIBLE | WS_BORDER},
         {"Static", "", IDC_COLOR_END_FIRST + 1, 174, 38, 8, 8, WS_VISIBLE | WS_BORDER},
         {"Static", "", IDC_COLOR_END_FIRST + 2, 14, 60, 8, 8, WS_VISIBLE | WS_BORDER},
         {"Static", "", IDC_COLOR_END_FIRST + 3, 174, 60, 8, 8, WS_VISIBLE | WS_BORDER},
         {"Static", "", IDC_COLOR_END_FIRST + 4, 14, 82, 8, 8, WS_VISIBLE | WS_BORDER},
         {"Static", "", IDC_COLOR_END_FIRST + 5, 174, 82, 8, 8, WS_VISIBLE | WS_BORDER},
         {"Static", "Hue", kStatic, 7, 108, 80, 8, kText},
         {"msctls_trackbar32", "", IDC_COLOR_HUE, 26, 118, 144, 16, kSlider},
         {"Static", "Saturation", kStatic, 7, 152, 80, 8, kText},
         {"msctls_trackbar32", "", IDC_COLOR_SATURATION, 26, 162, 144, 16, kSlider},
         {"Static", "Brightness", kStatic, 7, 182, 80, 8, kText},
         {"msctls_trackbar32", "", IDC_COLOR_BRIGHTNESS, 26, 192, 144, 16, kSlider},
         {"Button", "In Range", IDC_COLOR_IN_RANGE, 7, 214, 80, 10, kCheck},
         // Only a place: the dialog puts the hue range control there.
         {"Static", "", IDC_COLOR_HUE_RANGE, 7, 228, 182, 34, SS_LEFT},
         Ok(268),
         Cancel(268),
     }},
    // Laid out in code: the dialog opens maximised.
    {IDD_WHITE_BALANCE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
     0, 0, 0, 400, 280, "White Balance", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_BALANCE_FRAME, 3, 3, 394, 250, SS_LEFT},
         {"Button", "Try Auto Process", IDC_BALANCE_AUTO, 160, 260, 100, 14, kPush},
         {"Button", "OK", IDOK, 280, 260, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 340, 260, 50, 14, kPush},
     }},
    {IDD_AUTO_EXPOSURE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
     0, 0, 0, 400, 300, "Auto Exposure Adjustment", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_EXPOSURE_FRAME, 1, 1, 398, 270, SS_LEFT},
         {"msctls_progress32", "", IDC_EXPOSURE_PROGRESS, 7, 280, 230, 14, WS_VISIBLE},
         {"Button", "OK", IDOK, 280, 280, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 340, 280, 50, 14, kPush},
     }},
    {IDD_VISUAL_COLOR, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT, 0,
     0, 0, 400, 300, "Visual Color Adjustment", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_VISUAL_FRAME, 3, 3, 394, 260, SS_LEFT},
         {"ComboBox", "", IDC_VISUAL_PART, 10, 30, 100, 100, kCombo},
         {"msctls_progress32", "", IDC_VISUAL_PROGRESS, 3, 280, 230, 14, WS_VISIBLE},
         {"Button", "OK", IDOK, 280, 280, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 340, 280, 50, 14, kPush},
     }},
    // The choosers' picture buttons are made in code; the windows are sized
    // in pixels when they open.
    {IDD_ADJUST_COLOR_CHOOSER, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 290, 160,
     "Adjust Color", "MS Shell Dlg", 8,
     {
         {"Static", "By which way do you want to adjust the color of photo?", kStatic, 4, 120, 150, 20, kText},
         {"Button", "More powelful tools...", IDC_CHOOSER_MORE, 166, 117, 113, 16, kPush},
     }},
    {IDD_ADJUST_EXPOSURE_CHOOSER, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 290, 160,
     "Adjust Exposure", "MS Shell Dlg", 8,
     {
         {"Static", "By which way do you want to adjust the exposure of photo?", kStatic, 6, 120, 150, 20, kText},
         {"Button", "More powelful tools...", IDC_CHOOSER_MORE, 166, 117, 113, 16, kPush},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
