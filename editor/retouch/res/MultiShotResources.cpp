// The multi-shot dialogs' templates.
#include "editor/retouch/AntiShakeStepDlg.h"
#include "editor/retouch/HDRDetailDlg.h"
#include "editor/retouch/MultiPhotoSelectDlg.h"
#include "editor/retouch/MultiShootDlg.h"
#include "editor/retouch/MultiProgressDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;

const qlafx::DialogTemplate kMultiShotDialogs[] = {
    {IDD_HDR_DETAIL, kModal, 0, 0, 0, 420, 250, "HDR Detail Control", "MS Shell Dlg", 8,
     {
         {"Button", "Details", 0xFFFF, 7, 4, 334, 58, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Highlight", 0xFFFF, 14, 19, 42, 8, WS_VISIBLE | SS_LEFT},
         {"msctls_trackbar32", "", IDC_HDR_HIGHLIGHT, 58, 16, 112, 14, kTab | TBS_HORZ | TBS_NOTICKS},
         {"Static", "Shadow", 0xFFFF, 178, 19, 40, 8, WS_VISIBLE | SS_LEFT},
         {"msctls_trackbar32", "", IDC_HDR_SHADOW, 222, 16, 112, 14, kTab | TBS_HORZ | TBS_NOTICKS},
         {"Static", "Mid tone", 0xFFFF, 14, 41, 42, 8, WS_VISIBLE | SS_LEFT},
         {"msctls_trackbar32", "", IDC_HDR_MIDTONE, 58, 38, 112, 14, kTab | TBS_HORZ | TBS_NOTICKS},
         {"Static", "Enhance", 0xFFFF, 178, 41, 40, 8, WS_VISIBLE | SS_LEFT},
         {"msctls_trackbar32", "", IDC_HDR_ENHANCE, 222, 38, 112, 14, kTab | TBS_HORZ | TBS_NOTICKS},
         {"Button", "OK", IDOK, 353, 8, 60, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 353, 26, 60, 14, kTab | BS_PUSHBUTTON},
         {"Button", "Preview", 0xFFFF, 7, 66, 406, 178, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Considering of render speed, the preview may have slight difference from real output.", 0xFFFF,
          14, 78, 392, 8, WS_VISIBLE | SS_LEFT},
         // The pictures, drawn by the dialog.
         {"Static", "", IDC_HDR_PREVIEW, 14, 92, 298, 146, WS_VISIBLE | SS_OWNERDRAW},
         {"Static", "", IDC_HDR_DARKER, 320, 92, 86, 46, WS_VISIBLE | SS_OWNERDRAW},
         {"Static", "", IDC_HDR_REFERENCE, 320, 142, 86, 46, WS_VISIBLE | SS_OWNERDRAW},
         {"Static", "", IDC_HDR_BRIGHTER, 320, 192, 86, 46, WS_VISIBLE | SS_OWNERDRAW},
     }},
    {IDD_MULTI_SHOOT, kModal, 0, 0, 0, 320, 120, "Multi Shoot Tools", "MS Shell Dlg", 8,
     {
         {"Static", "Extend your camera function by shoot more than once.'AS' means support  anti-shake",
          IDC_MULTI_SHOOT_TEXT, 7, 5, 306, 10, WS_VISIBLE | SS_LEFT},
         {"Button", "Cancel", IDCANCEL, 7, 100, 306, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_ANTI_SHAKE_STEP, kModal, 0, 0, 0, 240, 150, "Step 2: Anti-Shake between photos", "MS Shell Dlg", 8,
     {
         {"Button", "I have not use tripod, Please do anti-shake", IDC_SHAKE_ENABLE, 10, 8, 220, 10,
          kTab | BS_AUTOCHECKBOX},
         {"Button", "Settings", 0xFFFF, 7, 22, 226, 62, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Shake range", 0xFFFF, 14, 36, 54, 8, WS_VISIBLE | SS_LEFT},
         {"ComboBox", "", IDC_SHAKE_RANGE, 70, 34, 110, 60, kTab | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Static", "A small range may cause blur after merge", 0xFFFF, 14, 50, 210, 8, WS_VISIBLE | SS_LEFT},
         {"Static", "Accurate", 0xFFFF, 14, 66, 54, 8, WS_VISIBLE | SS_LEFT},
         {"ComboBox", "", IDC_SHAKE_ACCURACY, 70, 64, 110, 60, kTab | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Static", "Click 'Next' to start", IDC_SHAKE_STATUS, 7, 92, 226, 8, WS_VISIBLE | SS_LEFT},
         {"msctls_progress32", "", IDC_SHAKE_BAR, 7, 104, 226, 10, WS_VISIBLE | WS_BORDER},
         {"Button", "Next>", IDOK, 128, 128, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 183, 128, 50, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_MULTI_PHOTO_SELECT, kModal, 0, 0, 0, 340, 300, "Step 1: Choose photos for same scene", "MS Shell Dlg", 8,
     {
         {"Button", "About this Tool", 0xFFFF, 7, 4, 326, 82, WS_VISIBLE | BS_GROUPBOX},
         {"Edit", "", IDC_MULTI_DESCRIPTION, 14, 16, 312, 64,
          WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL},
         {"Button", "Original Photo Sequence", 0xFFFF, 7, 90, 326, 184, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "", IDC_MULTI_COUNT, 14, 105, 150, 10, WS_VISIBLE | SS_LEFT},
         {"Button", "Sample", IDC_MULTI_SAMPLE, 166, 102, 50, 14, kTab | BS_PUSHBUTTON},
         {"Button", "Add", IDC_MULTI_ADD, 221, 102, 50, 14, kTab | BS_PUSHBUTTON},
         {"Button", "Del", IDC_MULTI_DEL, 276, 102, 50, 14, kTab | BS_PUSHBUTTON | WS_DISABLED},
         {"Static", "", IDC_MULTI_LIST_PLACE, 14, 120, 312, 148, WS_VISIBLE | SS_LEFT},
         {"Button", "Next>", IDOK, 228, 280, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 283, 280, 50, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_MULTI_PROGRESS, kModal, 0, 0, 0, 220, 56, "In Processing ...", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_MULTI_PROGRESS_TEXT, 10, 10, 200, 10, WS_VISIBLE | SS_LEFT},
         {"msctls_progress32", "", IDC_MULTI_PROGRESS_BAR, 10, 26, 200, 12, WS_VISIBLE | WS_BORDER},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kMultiShotDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
