// The template of "Professional Histograms" (dialog 199): the graph and its
// tools on the left; the effect dialog base puts the previews to the right.
#include "editor/adjust/ProfHistogramDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr UINT kStatic = 0xFFFF;
constexpr DWORD kRadio = WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON;
constexpr DWORD kIconCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_ICON;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;

const qlafx::DialogTemplate kTemplates[] = {
    {IDD_PROF_HISTOGRAM,
     WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT, 0, 0, 0, 196,
     300, "Professional Histograms", "MS Shell Dlg", 8,
     {
         {"Static", "Channel:", kStatic, 7, 9, 30, 8, WS_VISIBLE | SS_LEFT},
         {"ComboBox", "", IDC_HIST_CHANNEL, 40, 7, 50, 60, WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Button", "Auto", IDC_HIST_AUTO, 96, 6, 36, 14, kPush},
         {"Button", "", IDC_HIST_SMOOTH, 138, 5, 16, 16, kIconCheck},
         {"Button", "", IDC_HIST_SAVE_THEME, 160, 2, 22, 22, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_ICON},
         {"Button", "3", IDC_HIST_POINTS3, 7, 27, 22, 10, kRadio | WS_GROUP},
         {"Button", "5", IDC_HIST_POINTS5, 32, 27, 22, 10, kRadio},
         {"Button", "7", IDC_HIST_POINTS7, 57, 27, 22, 10, kRadio},
         // The graph and the swatch only give places: the dialog paints them.
         {"Static", "", IDC_HIST_GRAPH, 7, 42, 182, 226, SS_LEFT},
         {"Button", "", IDC_HIST_PICK, 7, 278, 16, 16, kIconCheck},
         {"Static", "", IDC_HIST_SWATCH, 30, 280, 20, 12, SS_LEFT},
         {"Button", "OK", IDOK, 79, 280, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 139, 280, 50, 14, kPush},
     }},
};
const qlafx::ResourceTable kTable{.dialogs = kTemplates};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
