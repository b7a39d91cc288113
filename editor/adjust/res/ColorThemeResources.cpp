// The template of "Color Theme" (dialog 255): the theme list and the amount
// on the left, laid out by the dialog; the previews to the right.
#include "editor/adjust/ColorThemeDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_COLOR_THEME, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT,
     0, 0, 0, 196, 280, "Color Theme", "MS Shell Dlg", 8,
     {
         {"Button", "Amount", IDC_THEME_AMOUNT_GROUP, 3, 200, 190, 26, WS_VISIBLE | BS_GROUPBOX},
         {"msctls_trackbar32", "", IDC_THEME_AMOUNT, 7, 210, 182, 14, WS_VISIBLE | WS_TABSTOP},
         {"Button", "OK", IDOK, 79, 260, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 139, 260, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
