// The save dialogs' templates: the save modes, save for print, save with
// size and the JPEG quality dialog.
#include "editor/shell/JpegQualityDlg.h"
#include "editor/shell/SaveForPrintDlg.h"
#include "editor/shell/SaveModeDlg.h"
#include "editor/shell/SaveWithSizeDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;

const qlafx::DialogTemplate kSaveDialogs[] = {
    {IDD_SAVE_MODE, kModal, 0, 0, 0, 300, 350, "Please select save mode", "MS Shell Dlg", 8,
     {
         {"Static", "Doubleclick scheme name to save a fast copy.", IDC_SAVE_SCHEMES_LABEL, 7, 268, 286, 10,
          WS_VISIBLE | SS_LEFT},
         {"ListBox", "", IDC_SAVE_SCHEMES, 7, 280, 286, 44, kTab | WS_BORDER | WS_VSCROLL | LBS_NOTIFY},
         {"Button", "Cancel", IDCANCEL, 243, 331, 50, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_SAVE_FOR_PRINT, kModal, 0, 0, 0, 200, 78, "Save for print", "MS Shell Dlg", 8,
     {
         {"Static", "Print size:", 0xFFFF, 7, 10, 50, 8, WS_VISIBLE | SS_LEFT},
         {"ComboBox", "", IDC_PRINT_SIZE, 60, 8, 133, 14, kTab | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Static", "Resolution:", 0xFFFF, 7, 31, 50, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_PRINT_DPI, 60, 29, 40, 12, kTab | WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER},
         {"Static", "dpi", 0xFFFF, 104, 31, 20, 8, WS_VISIBLE | SS_LEFT},
         {"Button", "OK", IDOK, 88, 56, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 143, 56, 50, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_SAVE_WITH_SIZE, kModal, 0, 0, 0, 200, 78, "Save with Size ...", "MS Shell Dlg", 8,
     {
         {"Static", "File size less than", 0xFFFF, 7, 10, 70, 8, WS_VISIBLE | SS_LEFT},
         {"Edit", "", IDC_WANTED_SIZE, 80, 8, 50, 12, kTab | WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER},
         {"Static", "KB", 0xFFFF, 134, 10, 20, 8, WS_VISIBLE | SS_LEFT},
         {"msctls_progress32", "", IDC_SIZE_PROGRESS, 7, 30, 186, 10, WS_VISIBLE | WS_BORDER},
         {"Button", "Adjust Quality", IDOK, 78, 56, 60, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 143, 56, 50, 14, kTab | BS_PUSHBUTTON},
     }},
    {IDD_JPEG_QUALITY, kModal, 0, 0, 0, 460, 214, "Set JPEG File Quality", "MS Shell Dlg", 8,
     {
         {"Static", "Quality", 0xFFFF, 7, 7, 100, 8, WS_VISIBLE | SS_LEFT},
         {"msctls_trackbar32", "", IDC_QUALITY_SLIDER, 7, 18, 176, 18, kTab | TBS_HORZ | TBS_BOTTOM},
         {"Static", "Small file", 0xFFFF, 7, 38, 60, 8, WS_VISIBLE | SS_LEFT},
         {"Static", "Large file", 0xFFFF, 123, 38, 60, 8, WS_VISIBLE | SS_RIGHT},
         {"Button", "Low quality, small file size", IDC_QUALITY_LOW, 7, 52, 176, 14, kTab | BS_PUSHBUTTON},
         {"Button", "Middle quality, normal file size", IDC_QUALITY_MIDDLE, 7, 69, 176, 14, kTab | BS_PUSHBUTTON},
         {"Button", "High quality, large file size", IDC_QUALITY_HIGH, 7, 86, 176, 14, kTab | BS_PUSHBUTTON},
         {"Button", "High quality color(larger size)", IDC_QUALITY_HQ_COLOR, 7, 106, 176, 10,
          kTab | BS_AUTOCHECKBOX},
         {"Button", "Export processing steps", IDC_QUALITY_EXPORT_STEPS, 7, 120, 176, 10, kTab | BS_AUTOCHECKBOX},
         {"Button", "Preview", IDC_QUALITY_PREVIEW, 7, 134, 176, 10, kTab | BS_AUTOCHECKBOX},
         {"Static", "", IDC_QUALITY_SIZES, 7, 150, 176, 20, WS_VISIBLE | SS_LEFT},
         {"Button", "Adjust 'Quality' by File Size", IDC_QUALITY_BY_SIZE, 7, 174, 176, 14, kTab | BS_PUSHBUTTON},
         {"Button", "OK", IDOK, 78, 193, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 133, 193, 50, 14, kTab | BS_PUSHBUTTON},
         {"Static", "", IDC_QUALITY_SEPARATOR, 190, 0, 2, 214, WS_VISIBLE | SS_ETCHEDVERT},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kSaveDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
