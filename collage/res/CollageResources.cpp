// QuilloCollage's resources: the main dialog 102, the key colour question
// 129, the paste range 130, About 100, the box menu 137 and string 101.
#include "collage/CollageDlg.h"
#include "collage/PasteRangeDlg.h"
#include "collage/SmallDialogs.h"
#include "platform/afx/ResourceTables.h"

namespace {

using namespace collage;

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kRadio = WS_VISIBLE | BS_AUTORADIOBUTTON;
constexpr UINT kNoId = 0xFFFF;

const qlafx::StringEntry kStrings[] = {
    {101, "&About QuilloCollage..."},
};

const qlafx::DialogTemplate kDialogs[] = {
    {kMainDialog,
     DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME,
     WS_EX_APPWINDOW, 0, 0, 357, 323, "3D QuilloCollage", "MS Shell Dlg", 8,
     {
         {"Static", "Name:", IDC_NAME_LABEL, 2, 280, 40, 12, kLabel | SS_RIGHT},
         {"Edit", "", IDC_NAME, 44, 278, 60, 12, WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL},
         {"Button", "Save", IDC_SAVE, 106, 278, 24, 14, kPush},
         {"Button", "Load Reference", IDC_LOAD_REFERENCE, 170, 278, 66, 14, kPush},
         {"Button", "Delete Box", IDC_DELETE_BOX, 238, 278, 66, 14, kPush},
         {"Button", "<-", IDC_PREVIOUS_BOX, 310, 278, 18, 14, kPush},
         {"Button", "->", IDC_NEXT_BOX, 332, 278, 18, 14, kPush},
         {"Button", "Select", IDC_SELECT, 7, 278, 80, 14, kPush},
         {"Button", "Photos >", IDC_PHOTOS, 90, 278, 80, 14, kPush},
         {"Button", "Delete", IDC_DELETE, 270, 278, 80, 14, kPush},
         {"Static", "", IDC_ETCHED, 3, 296, 351, 1, WS_VISIBLE | SS_ETCHEDHORZ},
         {"Button", "OK", IDOK, 246, 302, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 300, 302, 50, 14, kPush},
     }},
    {kMattingDialog, kDialogStyle, 0, 0, 0, 186, 92, "Select the color for transparency", "MS Shell Dlg", 8,
     {
         {"Button", "Red R=255,G=0,B=0", IDC_MATTING_RED, 14, 12, 110, 10, kRadio | WS_GROUP | WS_TABSTOP},
         {"Button", "Blue R=0,G=0,B=255", IDC_MATTING_BLUE, 14, 28, 110, 10, kRadio},
         {"Button", "Green R=0,G=255,B=0", IDC_MATTING_GREEN, 14, 44, 110, 10, kRadio},
         {"Button", "Matting", IDOK, 72, 70, 50, 14, kDefPush | WS_GROUP},
         {"Button", "Cancel", IDCANCEL, 128, 70, 50, 14, kPush},
     }},
    {kPasteRangeDialog, kDialogStyle, 0, 0, 0, 300, 250, "Select the range for pasting", "MS Shell Dlg", 8,
     {
         {"Static", "You can select all or a part of image to paste on current box.", IDC_RANGE_TEXT, 7, 7, 286, 10,
          kLabel},
         {"Static", "", IDC_RANGE_PICTURE, 7, 20, 286, 200, WS_VISIBLE | SS_BLACKFRAME},
         {"Button", "All", IDC_RANGE_ALL, 7, 229, 50, 14, kPush},
         {"Button", "Best Ratio", IDC_RANGE_BEST, 61, 229, 50, 14, kPush},
         {"Button", "OK", IDOK, 189, 229, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 243, 229, 50, 14, kPush},
     }},
    {kAboutDialog, kDialogStyle, 0, 0, 0, 200, 70, "About QuilloCollage", "MS Shell Dlg", 8,
     {
         {"Static", "QuilloCollage: photos pasted into multi-photo frames.", kNoId, 14, 12, 172, 10, kLabel},
         {"Static", "Part of the Quillo photo suite.", kNoId, 14, 26, 172, 10, kLabel},
         {"Button", "OK", IDOK, 136, 48, 50, 14, kDefPush},
     }},
};

const qlafx::MenuTable kMenus[] = {
    {kBoxMenu,
     {
         {"Photos", 0, MF_POPUP,
          {
              {"Apply to All", ID_APPLY_TO_ALL, 0, {}},
              {nullptr, 0, MF_SEPARATOR, {}},
          }},
     }},
};

const qlafx::ResourceTable kTable{.strings = kStrings, .dialogs = kDialogs, .menus = kMenus};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
