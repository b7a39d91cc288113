// The frame dialogs' templates and the signature's macro menu.
#include "editor/retouch/AddFrameDlg.h"
#include "editor/retouch/FreeFrameTemplateDlg.h"
#include "editor/retouch/TemplateEditDlg.h"
#include "editor/retouch/TemplateSettingsDlgs.h"
#include "editor/retouch/TemplatesEditDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr UINT kStatic = 0xFFFF;
constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;
constexpr DWORD kEffect = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX | DS_MODALFRAME | DS_SETFONT;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kEdit = WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kNumber = kEdit | ES_NUMBER;
constexpr DWORD kSpin = WS_VISIBLE | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS;
constexpr DWORD kCombo = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kSwatch = WS_VISIBLE | SS_OWNERDRAW;

const qlafx::DialogTemplate kFrameDialogs[] = {
    // The grid, the effect previews and the base's OK and Cancel are placed by the dialog.
    {IDD_ADD_FRAME, kEffect, 0, 0, 0, 268, 300, "Frame and Signature", "MS Shell Dlg", 8,
     {
         {"Button", "", IDC_FRAME_ICON, 4, 246, 26, 26, kPush | BS_ICON},
         {"Button", "3D QuilloCollage", IDC_FRAME_COLLAGE, 48, 250, 60, 20, kPush},
         {"Button", "&Advance..", IDC_FRAME_ADVANCE, 194, 250, 70, 20, kPush},
         {"Button", "OK", IDOK, 148, 280, 52, 16, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 208, 280, 52, 16, kPush},
     }},
    {IDD_TEMPLATES_EDIT, kModal, 0, 0, 0, 300, 214, "Templates Edit", "MS Shell Dlg", 8,
     {
         {"ListBox", "", IDC_TEMPLATES_LIST, 7, 7, 150, 200,
          WS_VISIBLE | WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT},
         {"Button", "Frame template", kStatic, 165, 4, 128, 96, kGroup},
         {"Button", "Edit ...", IDC_TEMPLATES_EDIT, 172, 16, 56, 14, kPush},
         {"Button", "Delete", IDC_TEMPLATES_DELETE, 232, 16, 54, 14, kPush},
         {"Button", "Move to...", IDC_TEMPLATES_MOVE, 172, 34, 56, 14, kPush},
         {"Button", "Rename", IDC_TEMPLATES_RENAME, 232, 34, 54, 14, kPush},
         {"Button", "Create New Simple Frame ...", IDC_TEMPLATES_NEW_SIMPLE, 172, 58, 114, 14, kPush},
         {"Button", "Create New Free-Shape Frame ...", IDC_TEMPLATES_NEW_FREE, 172, 78, 114, 14, kPush},
         {"Button", "Folder", kStatic, 165, 104, 128, 32, kGroup},
         {"Button", "Create", IDC_FOLDER_CREATE, 172, 116, 56, 14, kPush},
         {"Button", "Delete", IDC_FOLDER_DELETE, 232, 116, 54, 14, kPush},
         {"Static",
          "Templates are files in the Frame folder of the program folder; each sub-folder there is a folder of "
          "this list. Double-click a folder to open it, or a template to edit it.",
          kStatic, 165, 142, 128, 44, kLabel},
         {"Button", "Close", IDOK, 237, 193, 56, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
     }},
    {IDD_TEMPLATE_EDIT, kEffect, 0, 0, 0, 180, 300, "Template Editing", "MS Shell Dlg", 8,
     {
         {"Button", "Infomations", kStatic, 6, 4, 168, 34, kGroup},
         {"Static", "Name:", kStatic, 12, 19, 24, 8, kLabel},
         {"Edit", "", IDC_TEMPLATE_NAME, 38, 17, 80, 13, kEdit},
         {"Button", "Advance...", IDC_TEMPLATE_INFO, 122, 16, 46, 14, kPush},
         {"Button", "Back ground", kStatic, 6, 42, 168, 48, kGroup},
         {"Button", "Color", IDC_CANVAS_COLOUR, 12, 54, 40, 14, kPush},
         {"Static", "", IDC_CANVAS_SWATCH, 56, 54, 30, 14, kSwatch},
         {"Button", "Size", IDC_CANVAS_SIZE, 12, 72, 40, 14, kPush},
         {"Static", "", IDC_CANVAS_SIZE_TEXT, 56, 75, 112, 8, kLabel},
         {"Button", "Border", kStatic, 6, 94, 168, 84, kGroup},
         {"Button", "Enable", IDC_BORDER_ENABLE, 12, 106, 50, 10, kCheck},
         {"Button", "Color", IDC_BORDER_COLOUR, 12, 120, 40, 14, kPush},
         {"Static", "", IDC_BORDER_SWATCH, 56, 120, 30, 14, kSwatch},
         {"Static", "Type:", kStatic, 94, 123, 20, 8, kLabel},
         {"ComboBox", "", IDC_BORDER_TYPE, 116, 120, 52, 70, kCombo},
         {"Button", "Size", IDC_BORDER_SIZE, 12, 138, 40, 14, kPush},
         {"Static", "", IDC_BORDER_SIZE_TEXT, 56, 141, 112, 8, kLabel},
         {"Button", "Advance...", IDC_BORDER_ADVANCE, 12, 158, 56, 14, kPush},
         {"Button", "Rectangles", kStatic, 6, 182, 168, 30, kGroup},
         {"Button", "Advance ...", IDC_RECTANGLES_ADVANCE, 12, 194, 56, 14, kPush},
         {"Button", "Signature and logo", kStatic, 6, 216, 168, 50, kGroup},
         {"Button", "Enable signature", IDC_SIGNATURE_ENABLE, 12, 230, 90, 10, kCheck},
         {"Button", "Advance ...", IDC_SIGNATURE_ADVANCE, 112, 228, 56, 14, kPush},
         {"Button", "Enable logo image", IDC_LOGO_ENABLE, 12, 248, 90, 10, kCheck},
         {"Button", "Advance ...", IDC_LOGO_ADVANCE, 112, 246, 56, 14, kPush},
         {"Button", "OK", IDOK, 62, 280, 52, 16, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 120, 280, 52, 16, kPush},
     }},
    {IDD_TEMPLATE_INFO, kModal, 0, 0, 0, 220, 118, "Template Informations", "MS Shell Dlg", 8,
     {
         {"Static", "Author of this template", kStatic, 7, 7, 206, 8, kLabel},
         {"Edit", "", IDC_INFO_AUTHOR, 7, 18, 206, 13, kEdit},
         {"Static", "Comment", kStatic, 7, 37, 206, 8, kLabel},
         {"Edit", "", IDC_INFO_COMMENT, 7, 48, 206, 44, kEdit | ES_MULTILINE | ES_AUTOVSCROLL | WS_VSCROLL},
         {"Button", "OK", IDOK, 107, 98, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 163, 98, 50, 14, kPush},
     }},
    {IDD_FRAME_SIZE, kModal, 0, 0, 0, 160, 96, "Size", "MS Shell Dlg", 8,
     {
         {"Static", "Left", kStatic, 7, 9, 26, 8, kLabel},
         {"Edit", "", IDC_SIZE_LEFT, 34, 7, 36, 13, kEdit},
         {"msctls_updown32", "", IDC_SIZE_SPIN_LEFT, 70, 7, 10, 13, kSpin},
         {"Static", "Top", kStatic, 84, 9, 26, 8, kLabel},
         {"Edit", "", IDC_SIZE_LEFT + 1, 112, 7, 36, 13, kEdit},
         {"msctls_updown32", "", IDC_SIZE_SPIN_LEFT + 1, 148, 7, 10, 13, kSpin},
         {"Static", "Right", kStatic, 7, 29, 26, 8, kLabel},
         {"Edit", "", IDC_SIZE_LEFT + 2, 34, 27, 36, 13, kEdit},
         {"msctls_updown32", "", IDC_SIZE_SPIN_LEFT + 2, 70, 27, 10, 13, kSpin},
         {"Static", "Bottom", kStatic, 84, 29, 26, 8, kLabel},
         {"Edit", "", IDC_SIZE_LEFT + 3, 112, 27, 36, 13, kEdit},
         {"msctls_updown32", "", IDC_SIZE_SPIN_LEFT + 3, 148, 27, 10, 13, kSpin},
         // Kept hidden: a group always takes the unit of its left value.
         {"Static", "Unit Type", IDC_SIZE_UNIT_LABEL, 7, 51, 40, 8, SS_LEFT},
         {"ComboBox", "", IDC_SIZE_UNIT, 50, 49, 60, 50, WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST},
         {"Button", "OK", IDOK, 47, 76, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 103, 76, 50, 14, kPush},
     }},
    {IDD_BORDER_SHADOW, kModal, 0, 0, 0, 170, 100, "Border Shadow", "MS Shell Dlg", 8,
     {
         {"Static", "Shadow color", kStatic, 7, 10, 60, 8, kLabel},
         {"Button", "Set", IDC_SHADOW_COLOUR, 70, 7, 50, 14, kPush},
         {"Static", "Distance X", kStatic, 7, 30, 60, 8, kLabel},
         {"Edit", "", IDC_SHADOW_X, 70, 28, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SHADOW_SPIN_X, 110, 28, 10, 13, kSpin},
         {"Static", "Distance Y", kStatic, 7, 48, 60, 8, kLabel},
         {"Edit", "", IDC_SHADOW_X + 1, 70, 46, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SHADOW_SPIN_X + 1, 110, 46, 10, 13, kSpin},
         {"Static", "Blur", kStatic, 7, 66, 60, 8, kLabel},
         {"Edit", "", IDC_SHADOW_X + 2, 70, 64, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SHADOW_SPIN_X + 2, 110, 64, 10, 13, kSpin},
         {"Button", "OK", IDOK, 126, 7, 38, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 126, 25, 38, 14, kPush},
     }},
    {IDD_RECTANGLE_SETTINGS, kModal, 0, 0, 0, 300, 170, "Settings of Rectangle", "MS Shell Dlg", 8,
     {
         {"SysListView32", "", IDC_RECT_LIST, 7, 7, 210, 110,
          WS_VISIBLE | WS_BORDER | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS},
         {"Button", "&Add", IDC_RECT_ADD, 224, 7, 68, 14, kPush},
         {"Button", "&Delete", IDC_RECT_DELETE, 224, 25, 68, 14, kPush},
         {"Button", "&Modify", IDC_RECT_MODIFY, 224, 43, 68, 14, kPush},
         {"Button", "Rectangle", kStatic, 7, 120, 210, 44, kGroup},
         {"Button", "&Color", IDC_RECT_COLOUR, 14, 132, 40, 14, kPush},
         {"Static", "", IDC_RECT_SWATCH, 58, 132, 30, 14, kSwatch},
         {"Static", "Width", kStatic, 100, 135, 24, 8, kLabel},
         {"Edit", "", IDC_RECT_WIDTH, 126, 132, 30, 13, kEdit},
         {"msctls_updown32", "", IDC_RECT_WIDTH_SPIN, 156, 132, 10, 13, kSpin},
         {"Button", "Size", IDC_RECT_SIZE, 14, 148, 40, 14, kPush},
         {"Static", "", IDC_RECT_SIZE_TEXT, 58, 151, 150, 8, kLabel},
         {"Button", "OK", IDOK, 224, 132, 68, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 224, 150, 68, 14, kPush},
     }},
    {IDD_SCANLINE_SETTINGS, kModal, 0, 0, 0, 180, 66, " Settings of Scan Line Border", "MS Shell Dlg", 8,
     {
         {"Static", "Type", kStatic, 7, 10, 30, 8, kLabel},
         {"ComboBox", "", IDC_SCANLINE_TYPE, 40, 7, 90, 70, kCombo},
         {"Button", "Another Color", IDC_SCANLINE_COLOUR, 40, 26, 90, 14, kPush},
         {"Button", "OK", IDOK, 68, 46, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 124, 46, 50, 14, kPush},
     }},
    {IDD_SIGNATURE_SETTINGS, kModal, 0, 0, 0, 330, 186, "Settings of Signature", "MS Shell Dlg", 8,
     {
         {"Static", "Text", kStatic, 7, 9, 30, 8, kLabel},
         {"Edit", "", IDC_SIGN_TEXT, 40, 7, 200, 13, kEdit},
         {"Button", "Insert macros ...", IDC_SIGN_MACROS, 246, 6, 76, 14, kPush},
         {"Button", "Font", IDC_SIGN_FONT, 40, 26, 50, 14, kPush},
         {"Static", "Size", kStatic, 100, 29, 20, 8, kLabel},
         {"Edit", "", IDC_SIGN_SIZE, 122, 26, 30, 13, kEdit},
         {"msctls_updown32", "", IDC_SIGN_SIZE_SPIN, 152, 26, 10, 13, kSpin},
         {"Button", "Color", IDC_SIGN_COLOUR, 172, 26, 50, 14, kPush},
         {"Button", "Placement", kStatic, 7, 46, 108, 70, kGroup},
         {"Static", "X", kStatic, 14, 61, 20, 8, kLabel},
         {"Edit", "", IDC_SIGN_X, 40, 58, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SIGN_X_SPIN, 80, 58, 10, 13, kSpin},
         {"Static", "Y", kStatic, 14, 79, 20, 8, kLabel},
         {"Edit", "", IDC_SIGN_Y, 40, 76, 40, 13, kEdit},
         {"msctls_updown32", "", IDC_SIGN_Y_SPIN, 80, 76, 10, 13, kSpin},
         {"Static", "Align", kStatic, 14, 97, 20, 8, kLabel},
         {"ComboBox", "", IDC_SIGN_ALIGN, 40, 94, 60, 60, kCombo},
         // Only a place: the dialog paints the preview there and takes its clicks.
         {"Static", "", IDC_SIGN_PREVIEW, 122, 46, 200, 112, SS_LEFT},
         {"Button", "OK", IDOK, 216, 166, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 272, 166, 50, 14, kPush},
     }},
    {IDD_FREE_FRAME_TEMPLATE, kModal, 0, 0, 0, 250, 170, "Create Free Shape Frame Template", "MS Shell Dlg", 8,
     {
         {"Static", "Name:", kStatic, 10, 12, 60, 8, kLabel},
         {"Edit", "", IDC_FREE_NAME, 74, 10, 110, 13, kEdit},
         {"Button", "Advance", IDC_FREE_ADVANCE, 190, 9, 50, 14, kPush},
         {"Static", "Horizontal:", kStatic, 10, 37, 60, 8, kLabel},
         {"Edit", "", IDC_FREE_LANDSCAPE, 74, 35, 138, 13, kEdit},
         {"Button", "...", IDC_FREE_LANDSCAPE_BROWSE, 216, 30, 24, 22, kPush},
         {"Static", "Vertical:", kStatic, 10, 63, 60, 8, kLabel},
         {"Edit", "", IDC_FREE_PORTRAIT, 74, 61, 138, 13, kEdit},
         {"Button", "...", IDC_FREE_PORTRAIT_BROWSE, 216, 56, 24, 22, kPush},
         {"Static", "Transparent Color:", kStatic, 10, 89, 62, 8, kLabel},
         {"ComboBox", "", IDC_FREE_KEY, 74, 87, 138, 60, kCombo},
         {"Button", "Enable Signature", IDC_FREE_SIGNATURE, 74, 110, 80, 10, kCheck},
         {"Button", "Setup", IDC_FREE_SETUP, 162, 108, 50, 14, kPush},
         {"Button", "Help", IDC_FREE_HELP, 10, 148, 50, 14, kPush},
         {"Button", "OK", IDOK, 134, 148, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 190, 148, 50, 14, kPush},
     }},
};

const qlafx::MenuTable kFrameMenus[] = {
    {IDR_SIGNATURE_MACROS,
     {{"Insert macros",
       0,
       0,
       {{"&Aperture", 40001, 0, {}},
        {"&Camera Type", 40002, 0, {}},
        {"&ISO Speed", 40003, 0, {}},
        {"&Shutter Speed", 40004, 0, {}},
        {"&User Name", 40005, 0, {}},
        {"&Time", 40006, 0, {}},
        {"Time (only date)", 40007, 0, {}}}}}},
};

const qlafx::ResourceTable kTable{.dialogs = kFrameDialogs, .menus = kFrameMenus};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
