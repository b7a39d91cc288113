// "Select an Area" (also the frame of "Smart Erase"), its colour-range menu,
// and the two pages of "Tone Maker".
#include "editor/adjust/MonoToneSheet.h"
#include "editor/adjust/SelectionDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kPage = WS_CHILD | WS_CAPTION | DS_SETFONT;
constexpr DWORD kVertical = kTab | TBS_VERT | TBS_BOTH | TBS_NOTICKS;
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
    // The thumbnails are painted by the page; their hidden statics only mark
    // the places.
    {IDD_MONO_PAGE, kPage, 0, 0, 0, 200, 230, "Monochrome", "MS Shell Dlg", 8,
     {
         {"ComboBox", "", IDC_MONO_METHOD, 7, 7, 186, 60, kTab | CBS_DROPDOWNLIST | WS_VSCROLL},
         {"Static", "", IDC_MONO_THUMB_R, 10, 26, 56, 42, SS_LEFT},
         {"Static", "", IDC_MONO_THUMB_G, 72, 26, 56, 42, SS_LEFT},
         {"Static", "", IDC_MONO_THUMB_B, 134, 26, 56, 42, SS_LEFT},
         {"msctls_trackbar32", "", IDC_MONO_SLIDER_R, 28, 72, 20, 90, kVertical},
         {"msctls_trackbar32", "", IDC_MONO_SLIDER_G, 90, 72, 20, 90, kVertical},
         {"msctls_trackbar32", "", IDC_MONO_SLIDER_B, 152, 72, 20, 90, kVertical},
         {"Static", "R: 30%", IDC_MONO_PERCENT_R, 16, 164, 44, 10, WS_VISIBLE | SS_CENTER},
         {"Static", "G: 60%", IDC_MONO_PERCENT_G, 78, 164, 44, 10, WS_VISIBLE | SS_CENTER},
         {"Static", "B: 10%", IDC_MONO_PERCENT_B, 140, 164, 44, 10, WS_VISIBLE | SS_CENTER},
         {"Static", "Opacity", 0xFFFF, 7, 184, 40, 10, kLabel},
         {"msctls_trackbar32", "", IDC_MONO_OPACITY, 46, 181, 147, 14, kTab | TBS_HORZ | TBS_NOTICKS},
         {"Button", "&Default", IDC_MONO_DEFAULT, 133, 206, 60, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_MONO_COLOR_PAGE, kPage, 0, 0, 0, 200, 230, "Color Bias", "MS Shell Dlg", 8,
     {
         {"Button", "Reference color", 0xFFFF, 7, 7, 186, 110, WS_VISIBLE | BS_GROUPBOX},
         {"Static", "Shadows", 0xFFFF, 16, 24, 60, 10, kLabel},
         {"Static", "", IDC_MONO_SWATCH_SHADOW, 90, 21, 90, 16, WS_VISIBLE | SS_NOTIFY | SS_SUNKEN},
         {"Static", "Midtone", 0xFFFF, 16, 54, 60, 10, kLabel},
         {"Static", "", IDC_MONO_SWATCH_MID, 90, 51, 90, 16, WS_VISIBLE | SS_NOTIFY | SS_SUNKEN},
         {"Static", "Highlight:", 0xFFFF, 16, 84, 60, 10, kLabel},
         {"Static", "", IDC_MONO_SWATCH_HIGH, 90, 81, 90, 16, WS_VISIBLE | SS_NOTIFY | SS_SUNKEN},
         {"Static", "Amount", 0xFFFF, 7, 128, 40, 10, kLabel},
         {"msctls_trackbar32", "", IDC_MONO_AMOUNT, 46, 125, 147, 14, kTab | TBS_HORZ | TBS_NOTICKS},
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
