// "Select an Area" (also the frame of "Smart Erase") and its colour-range menu.
#include "editor/adjust/SelectionDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kSizable = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_SETFONT | DS_CENTER;

const qlafx::DialogTemplate kSelectionDialogs[] = {
    // Placed again by the dialog's layout whenever it is sized.
    {IDD_SELECTION, kSizable, 0, 0, 0, 420, 330, "Select an Area", "MS Shell Dlg", 8,
     {
         {"Static", "Feather:", IDC_SELECTION_FEATHER_LABEL, 190, 9, 34, 10, kLabel},
         {"msctls_trackbar32", "", IDC_SELECTION_FEATHER, 226, 6, 100, 14, kTab | TBS_HORZ | TBS_NOTICKS},
         {"Static",
          "Select an area by click around its border.  Press 'Shift' and 'Crtl' to add or subtract. The parameter "
          "'Feather' decides how smooth the effects transit on border.",
          IDC_SELECTION_HINT, 5, 24, 320, 22, kLabel},
         {"Static", "", IDC_SELECTION_LINE, 5, 47, 410, 2, WS_VISIBLE | SS_ETCHEDHORZ},
         {"Button", "Clear", IDC_SELECTION_CLEAR, 340, 312, 66, 14, kTab | BS_PUSHBUTTON},
         {"Button", "OK", IDOK, 345, 6, 66, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 345, 22, 66, 14, kTab | BS_PUSHBUTTON},
     }},
};

const qlafx::MenuTable kSelectionMenus[] = {
    {IDR_SELECTION_RANGE_MENU,
     {{"Range",
       0,
       0,
       {
           {"Select Shadow", 32885, 0, {}},
           {"Select Midtone", 32886, 0, {}},
           {"Select Highlight", 32887, 0, {}},
           {nullptr, 0, MF_SEPARATOR, {}},
           {"Select Red", 32888, 0, {}},
           {"Select Yellow", 32889, 0, {}},
           {"Select Green", 32890, 0, {}},
           {"Select Cyan", 32891, 0, {}},
           {"Select Blue", 32892, 0, {}},
           {"Select Magenta", 32893, 0, {}},
           {nullptr, 0, MF_SEPARATOR, {}},
           {"Select Edge", 32894, 0, {}},
       }}}},
};

const qlafx::ResourceTable kTable{.dialogs = kSelectionDialogs, .menus = kSelectionMenus};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
