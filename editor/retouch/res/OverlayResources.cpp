// The overlay sheet's page templates and "Select a Month".
#include "editor/retouch/InsTextPage.h"
#include "editor/retouch/InsertImageDlg.h"
#include "editor/retouch/LayerPage.h"
#include "editor/retouch/NavigationPage.h"
#include "editor/retouch/SelectMonthDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kPage = WS_CHILD | WS_CAPTION | DS_SETFONT;
constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
constexpr DWORD kTab = WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kList = kTab | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kNumber = kTab | WS_BORDER | ES_AUTOHSCROLL | ES_NUMBER;
constexpr DWORD kCheck = kTab | BS_AUTOCHECKBOX;
constexpr DWORD kPush = kTab | BS_PUSHBUTTON;
constexpr DWORD kSwatch = WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY;

const qlafx::DialogTemplate kOverlayDialogs[] = {
    {IDD_INSERT_IMAGE, kPage, 0, 0, 0, 200, 182, "Image", "MS Shell Dlg", 8,
     {
         {"Button", "Load", IDC_INSERT_LOAD, 7, 7, 50, 14, kPush},
         {"Static", "", IDC_INSERT_PATH, 7, 26, 186, 40, kLabel},
     }},
    {IDD_LAYER_PAGE, kPage, 0, 0, 0, 200, 182, "Layer", "MS Shell Dlg", 8,
     {
         {"Static", "Mode:", 0xFFFF, 14, 14, 40, 8, kLabel},
         {"ComboBox", "", IDC_LAYER_MODE, 60, 12, 100, 120, kList},
         {"Static", "Opacity:", 0xFFFF, 14, 34, 40, 8, kLabel},
         {"Edit", "", IDC_LAYER_OPACITY, 60, 32, 32, 12, kNumber},
         {"msctls_updown32", "", IDC_LAYER_OPACITY_SPIN, 92, 32, 10, 12, WS_VISIBLE},
         {"Static", "(0-255)", 0xFFFF, 108, 34, 40, 8, kLabel},
     }},
    {IDD_NAVIGATION_PAGE, kPage, 0, 0, 0, 200, 182, "Navigation", "MS Shell Dlg", 8, {}},
    {IDD_TEXT_PAGE, kPage, 0, 0, 0, 200, 192, "Text", "MS Shell Dlg", 8,
     {
         {"Static", "Font:", 0xFFFF, 7, 7, 24, 8, kLabel},
         {"ComboBox", "", IDC_TEXT_FONT, 32, 5, 100, 120, kList | CBS_SORT},
         {"Static", "Size:", 0xFFFF, 138, 7, 18, 8, kLabel},
         {"Edit", "", IDC_TEXT_SIZE, 156, 5, 26, 12, kNumber},
         {"msctls_updown32", "", IDC_TEXT_SIZE_SPIN, 182, 5, 10, 12, WS_VISIBLE},
         {"Edit", "", IDC_TEXT_EDIT, 7, 20, 186, 48,
          kTab | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN},
         {"Button", "&Bold", IDC_TEXT_BOLD, 7, 72, 40, 10, kCheck},
         {"Button", "&Italic", IDC_TEXT_ITALIC, 50, 72, 40, 10, kCheck},
         {"Button", "&Underline", IDC_TEXT_UNDERLINE, 93, 72, 50, 10, kCheck},
         {"Button", "&Vertically input", IDC_TEXT_VERTICAL, 7, 87, 80, 10, kCheck},
         {"Button", "Color", IDC_TEXT_COLOR, 120, 85, 40, 14, kPush},
         {"Static", "", IDC_TEXT_SWATCH, 164, 85, 29, 14, kSwatch},
         {"Static", "Alignment:", 0xFFFF, 7, 105, 40, 8, kLabel},
         {"ComboBox", "", IDC_TEXT_ALIGN, 50, 103, 60, 60, kList},
         {"Button", "Calendar", IDC_TEXT_CALENDAR, 120, 102, 73, 14, kPush},
         {"Button", "Cloud", 0xFFFF, 7, 119, 186, 48, WS_VISIBLE | BS_GROUPBOX},
         {"Button", "", IDC_BALLOON_NONE, 14, 130, 18, 16, kPush},
         {"Button", "", IDC_BALLOON_NONE + 1, 34, 130, 18, 16, kPush},
         {"Button", "", IDC_BALLOON_NONE + 2, 54, 130, 18, 16, kPush},
         {"Button", "", IDC_BALLOON_NONE + 3, 74, 130, 18, 16, kPush},
         {"Button", "", IDC_BALLOON_NONE + 4, 94, 130, 18, 16, kPush},
         {"Static", "", IDC_BALLOON_SWATCH, 130, 130, 55, 16, kSwatch},
         {"Button", "", IDC_BALLOON_TAIL0, 14, 148, 18, 16, kPush},
         {"Button", "", IDC_BALLOON_TAIL0 + 1, 34, 148, 18, 16, kPush},
         {"Button", "", IDC_BALLOON_TAIL0 + 2, 54, 148, 18, 16, kPush},
         {"Button", "", IDC_BALLOON_TAIL0 + 3, 74, 148, 18, 16, kPush},
         {"Button", "", IDC_TEXT_PLACE, 7, 172, 20, 16, kPush},
         {"Button", "Save", IDC_TEXT_SAVE, 120, 173, 35, 14, kPush},
         {"Button", "Load", IDC_TEXT_LOAD, 158, 173, 35, 14, kPush},
     }},
    {IDD_SELECT_MONTH, kModal, 0, 0, 0, 180, 92, "Select a Month", "MS Shell Dlg", 8,
     {
         {"Static", "Year:", 0xFFFF, 7, 9, 30, 8, kLabel},
         {"ComboBox", "", IDC_MONTH_YEAR, 40, 7, 60, 120, kList},
         {"Static", "Month:", 0xFFFF, 7, 27, 30, 8, kLabel},
         {"ComboBox", "", IDC_MONTH_MONTH, 40, 25, 40, 120, kList},
         {"Button", "EnglishTittle", IDC_MONTH_ENGLISH, 7, 43, 80, 10, kCheck},
         {"Static", "Choose a font with fixed width for alignment. e.g 'Terminal'", 0xFFFF, 7, 56, 166, 16, kLabel},
         {"Button", "OK", IDOK, 70, 74, 50, 14, kTab | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 123, 74, 50, 14, kPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kOverlayDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
