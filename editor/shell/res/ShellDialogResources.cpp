// The editor shell's small dialogs: tip of the day 103, settings 254, the
// notice 340 and the overwrite warning 346, and the tips file's messages.
#include "editor/shell/NoticeDlg.h"
#include "editor/shell/OverwriteDlg.h"
#include "editor/shell/SettingsDlg.h"
#include "editor/shell/TipDlg.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr UINT kNoId = 0xFFFF;

const qlafx::StringEntry kStrings[] = {
    {IDS_TIP_FILE_ABSENT, "Tips file does not exist in the prescribed directory"},
    {IDS_TIP_FILE_TROUBLE, "Trouble reading the tips file"},
};

const qlafx::DialogTemplate kDialogs[] = {
    {CTipDlg::kTemplate, kDialogStyle, 0, 0, 0, 236, 124, "Tip of the Day", "MS Shell Dlg", 8,
     {
         // The white panel is painted by the dialog around the tip.
         {"Static", "", IDC_TIP_TEXT, 17, 15, 202, 74, kLabel},
         {"Button", "&Show Tips on StartUp", IDC_TIP_STARTUP, 7, 106, 110, 10, kCheck},
         {"Button", "&Next Tip", IDC_TIP_NEXT, 125, 103, 50, 14, kPush},
         {"Button", "&Close", IDOK, 179, 103, 50, 14, kDefPush},
     }},
    {CSettingsDlg::kTemplate, kDialogStyle, 0, 0, 0, 230, 130, "Quillo Settings", "MS Shell Dlg", 8,
     {
         {"Static", "User Name:", kNoId, 7, 9, 48, 8, kLabel},
         {"Edit", "", IDC_SETTINGS_USER_NAME, 58, 7, 165, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"Button", "&Use traditional file-open dialog ", IDC_SETTINGS_OLD_OPEN, 7, 28, 216, 10, kCheck},
         {"Button", "Show result with 'Best Fit' mode", IDC_SETTINGS_BEST_FIT, 7, 42, 216, 10, kCheck},
         {"Button", "Leave 'Quillo' in 'Software' tag of EXIF.", IDC_SETTINGS_EXIF_SOFTWARE, 7, 56, 216, 10, kCheck},
         {"Button", "Blur background when poping up dialog", IDC_SETTINGS_POP_BLUR, 7, 70, 216, 10, kCheck},
         {"Button", "Show text under toolbar (restart needed)", IDC_SETTINGS_TOOL_TEXT, 7, 84, 216, 10, kCheck},
         {"Button", "OK", IDOK, 119, 109, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 173, 109, 50, 14, kPush},
     }},
    {CNoticeDlg::kTemplate, kDialogStyle, 0, 0, 0, 240, 130, "Important:", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_NOTICE_SECOND, 7, 7, 226, 10, kLabel},
         {"Edit", "", IDC_NOTICE_MESSAGE, 7, 20, 226, 66,
          WS_VISIBLE | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL},
         {"Button", "Don't show this message next time.", IDC_NOTICE_DONT_SHOW, 7, 94, 226, 10, kCheck},
         {"Button", "OK", IDOK, 183, 109, 50, 14, kDefPush},
     }},
    {COverwriteDlg::kTemplate, kDialogStyle, 0, 0, 0, 260, 130, "Warning", "MS Shell Dlg", 8,
     {
         {"Static", "The original file will be OVERWRITED when jump to next or previous photo. Are you sure?", kNoId,
          7, 7, 246, 18, kLabel},
         {"Static",
          "The program will choose the highest quality  to save the file. However,  to prevent the potential "
          "quality lossing,  please avoid to repeat jump back and forth.\r\n\r\nSuggest: keep a copy of original "
          "file always.",
          kNoId, 7, 30, 246, 56, kLabel},
         {"Button", "Don't show this warning next time", IDC_OVERWRITE_DONT_SHOW, 7, 92, 246, 10, kCheck},
         {"Button", "OK", IDOK, 95, 109, 50, 14, kDefPush},
         {"Button", "&Ignore", IDC_OVERWRITE_IGNORE, 149, 109, 50, 14, kPush},
         {"Button", "Cancel", IDCANCEL, 203, 109, 50, 14, kPush},
     }},
};

const qlafx::ResourceTable kTable{.strings = kStrings, .dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
