// The template of "HSB Curve" (dialog 258): the mode, the graph with its hue
// strip and the picked colour on the left; the previews to the right.
#include "editor/adjust/HSBCurveDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr UINT kStatic = 0xFFFF;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_HSB_CURVE, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
     0, 0, 0, 196, 240, "HSB Curve", "MS Shell Dlg", 8,
     {
         {"Static", "Mode:", kStatic, 7, 9, 24, 8, WS_VISIBLE | SS_LEFT},
         {"ComboBox", "", IDC_HSB_MODE, 34, 7, 70, 60, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Button", "Reset", IDC_HSB_RESET, 110, 6, 40, 14, kPush},
         {"Button", "", IDC_HSB_SAVE_THEME, 160, 2, 22, 22, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON},
         // The graph and the swatch only give places: the dialog paints them.
         {"Static", "", IDC_HSB_GRAPH, 7, 30, 182, 140, SS_LEFT},
         {"Button", "", IDC_HSB_PICK, 7, 196, 16, 16, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON},
         {"Static", "", IDC_HSB_SWATCH, 30, 198, 20, 12, SS_LEFT},
         {"Button", "OK", IDOK, 79, 220, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 139, 220, 50, 14, kPush},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
