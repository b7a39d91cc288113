// The Print dialog's template 235: the preview on the left, the printed size
// and the alignment on the page on the right.
#include "editor/shell/PrintImageDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kSpin = WS_VISIBLE | UDS_ARROWKEYS;
constexpr DWORD kCombo = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
// The layer's combo box is as tall as its rectangle: the field only; Qt
// sizes the list itself.

const qlafx::DialogTemplate kDialogs[] = {
    {IDD_PRINT_IMAGE, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 330, 190,
     "Print", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_PRINT_PREVIEW, 7, 7, 180, 176, WS_VISIBLE | SS_OWNERDRAW},
         {"Button", "Size", 0xFFFF, 195, 7, 128, 62, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Width:", 0xFFFF, 203, 24, 32, 8, kLabel},
         {"Edit", "", IDC_PRINT_WIDTH, 237, 22, 42, 12, kEdit},
         {"msctls_updown32", "", IDC_PRINT_WIDTH_SPIN, 279, 22, 10, 12, kSpin},
         {"Static", "inches", 0xFFFF, 293, 24, 26, 8, kLabel},
         {"Static", "Height:", 0xFFFF, 203, 44, 32, 8, kLabel},
         {"Edit", "", IDC_PRINT_HEIGHT, 237, 42, 42, 12, kEdit},
         {"msctls_updown32", "", IDC_PRINT_HEIGHT_SPIN, 279, 42, 10, 12, kSpin},
         {"Static", "inches", 0xFFFF, 293, 44, 26, 8, kLabel},
         {"Button", "Position", 0xFFFF, 195, 76, 128, 62, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Horizontal:", 0xFFFF, 203, 94, 40, 8, kLabel},
         {"ComboBox", "", IDC_PRINT_ALIGN_H, 245, 91, 70, 13, kCombo},
         {"Static", "Vertical:", 0xFFFF, 203, 114, 40, 8, kLabel},
         {"ComboBox", "", IDC_PRINT_ALIGN_V, 245, 111, 70, 13, kCombo},
         {"Button", "OK", IDOK, 217, 169, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 273, 169, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
