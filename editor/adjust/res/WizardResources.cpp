// The templates of the photo-fix wizard and of the skin-tone step; both lay
// their controls out again in pixels when they open.
#include "editor/adjust/DigitalBeautyDlg.h"
#include "editor/adjust/WhatsWrongDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

const qlafx::DialogTemplate kWizardDialogs[] = {
    {IDD_WHATS_WRONG, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 420, 360,
     "What's wrong with your photo?", "MS Shell Dlg", 8,
     {
         {"SysTabControl32", "", IDC_WIZARD_TAB, 2, 2, 412, 325, WS_VISIBLE | WS_TABSTOP},
         {"SysListView32", "", IDC_WIZARD_FEATURES, 7, 26, 400, 273,
          WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
         {"Button", "Go", IDC_WIZARD_GO, 333, 305, 73, 16, kPush},
         {"Button", "Try Automatical Processing", IDC_WIZARD_AUTO, 173, 302, 196, 20, kPush},
         {"Button", "Effect Gallery", IDC_WIZARD_GALLERY, 13, 302, 146, 20, kPush},
         {"Button", "Show this dialog after file open", IDC_WIZARD_SHOW_AFTER_OPEN, 7, 328, 300, 13,
          WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Button", "&Close this wizard window", IDCANCEL, 206, 341, 196, 16, kPush},
     }},
    // Placed again by the dialog whenever it is sized; the previews are made
    // when it is created.
    {IDD_DIGITAL_BEAUTY, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_SETFONT | DS_CENTER,
     0, 0, 0, 500, 320, "Digital Beauty", "MS Shell Dlg", 8,
     {
         {"msctls_progress32", "", IDC_BEAUTY_PROGRESS, 4, 300, 200, 12, WS_VISIBLE | WS_BORDER},
         {"Static", "", IDC_BEAUTY_SEPARATOR, 4, 294, 492, 2, WS_VISIBLE | SS_ETCHEDHORZ},
         {"Button", "&Next>", IDOK, 390, 298, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 446, 298, 50, 14, kPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kWizardDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
