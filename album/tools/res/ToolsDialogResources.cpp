// The templates of the album's EXIF, tag and typeset tools: Edit EXIF data
// 209, Add/Edit Tags 213, EXIF Statistics 222 and 3R/4R Compact Typeset 230.
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr DWORD kRightLabel = WS_VISIBLE | SS_RIGHT;
constexpr DWORD kList = WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_SORT | LBS_NOTIFY;
constexpr DWORD kCombo = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr UINT kNoId = static_cast<UINT>(-1);

const qlafx::DialogTemplate kDialogs[] = {
    {209, kDialogStyle, 0, 0, 0, 300, 168, "Edit EXIF data", "Tahoma", 8,
     {
         {"Static", "Time:", kNoId, 7, 10, 60, 10, kRightLabel},
         {"Edit", "", 1088, 70, 8, 223, 13, kEdit | WS_DISABLED},
         {"Static", "Aperture:", kNoId, 7, 28, 60, 10, kRightLabel},
         {"Edit", "", 1023, 70, 26, 75, 13, kEdit},
         {"Static", "Shutter Speed:", kNoId, 150, 28, 65, 10, kRightLabel},
         {"Edit", "", 1024, 218, 26, 75, 13, kEdit},
         {"Static", "Flash:", kNoId, 7, 46, 60, 10, kRightLabel},
         {"Edit", "", 1025, 70, 44, 75, 13, kEdit},
         {"Static", "ISO Speed:", kNoId, 150, 46, 65, 10, kRightLabel},
         {"Edit", "", 1031, 218, 44, 75, 13, kEdit},
         {"Static", "Ev Bias:", kNoId, 7, 64, 60, 10, kRightLabel},
         {"Edit", "", 1030, 70, 62, 75, 13, kEdit},
         {"Static", "Focal Length:", kNoId, 150, 64, 65, 10, kRightLabel},
         {"Edit", "", 1029, 218, 62, 75, 13, kEdit},
         {"Static", "Camera Modal:", kNoId, 7, 82, 60, 10, kRightLabel},
         {"Edit", "", 1028, 70, 80, 223, 13, kEdit},
         {"Static", "Author:", kNoId, 7, 100, 60, 10, kRightLabel},
         {"Edit", "", 1117, 70, 98, 223, 13, kEdit},
         {"Static", "Copyright:", kNoId, 7, 118, 60, 10, kRightLabel},
         {"Edit", "", 1101, 70, 116, 223, 13, kEdit},
         {"Button", "Import from file...", 1059, 7, 145, 80, 14, kPush},
         {"Button", "OK", IDOK, 189, 145, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 243, 145, 50, 14, kPush},
     }},
    {213, kDialogStyle, 0, 0, 0, 300, 222, "Add/Edit Tags", "Tahoma", 8,
     {
         {"Button", "Selection of Tags", kNoId, 7, 5, 120, 150, kGroup},
         {"ListBox", "", 1124, 14, 18, 106, 104, kList},
         {"Edit", "", 1126, 14, 126, 106, 13, kEdit},
         {"Button", "Add New &Tag", 1127, 14, 140, 106, 12, kPush},
         {"Button", "&Add>", 1123, 131, 60, 38, 14, kPush},
         {"Button", "Tags in this photo", kNoId, 173, 5, 120, 150, kGroup},
         {"ListBox", "", 1125, 180, 18, 106, 118, kList},
         {"Button", "&Delete", 1128, 180, 140, 106, 12, kPush},
         {"Button", "Tip", kNoId, 7, 158, 286, 36, kGroup},
         {"Static",
          "Tags are keywords for managing and classifying your photos, such as "
          "\"Family\", \"Travel\", \"2024\" or \"Birthday\"; search finds photos by them.",
          kNoId, 14, 169, 272, 22, kLabel},
         {"msctls_progress32", "", 1129, 7, 203, 170, 10, WS_VISIBLE | WS_BORDER},
         {"Button", "OK", IDOK, 189, 201, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 243, 201, 50, 14, kPush},
     }},
    {222, kDialogStyle | WS_THICKFRAME | WS_MAXIMIZEBOX, 0, 0, 0, 400, 300, "EXIF Statistics", "Tahoma", 8,
     {
         {"Static", "Start folder:", kNoId, 7, 9, 50, 10, kLabel},
         {"Edit", "", 1004, 60, 7, 250, 13, kEdit},
         {"Button", "...", 1138, 314, 6, 20, 14, kPush},
         {"Static", "Camera:", kNoId, 7, 27, 50, 10, kLabel},
         {"Edit", "", 1144, 60, 25, 250, 13, kEdit | ES_READONLY},
         {"Button", "...", 1145, 314, 24, 20, 14, kPush},
         {"Button", "Go!", IDOK, 343, 6, 50, 14, kDefPush},
         {"Button", "Close", IDCANCEL, 343, 24, 50, 14, kPush},
         {"Static", "", 1096, 7, 44, 386, 10, kLabel},
         {"Static", "", 1146, 5, 58, 390, 2, WS_VISIBLE | SS_ETCHEDHORZ},
         {"ComboBox", "", 1147, 7, 64, 120, 120, kCombo},
         {"Static", "", 1149, 135, 66, 258, 10, kLabel},
         {"Static", "", 1148, 5, 82, 390, 210, 0}, // its rectangle only: the dialog paints the chart
     }},
    {230, kDialogStyle, 0, 0, 0, 300, 196, "3R/4R Compact Typeset", "Tahoma", 8,
     {
         {"ComboBox", "", 1147, 7, 7, 170, 80, kCombo},
         {"Button", "Leave blank", 1154, 185, 8, 55, 12, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON},
         {"Button", "Crop", 1155, 243, 8, 50, 12, WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON},
         {"Static", "", 1077, 7, 25, 286, 112, 0}, // its rectangle only: the dialog paints the preview
         {"Static", "Save to folder:", kNoId, 7, 144, 60, 10, kLabel},
         {"Edit", "", 1004, 70, 142, 199, 13, kEdit},
         {"Button", "...", 1005, 273, 141, 20, 14, kPush},
         {"Static", "The sheet is saved in this folder with name \"time-Fix-3R(4R).jpg\".", kNoId, 7, 159, 286, 10,
          kLabel},
         {"Button", "OK", IDOK, 189, 175, 50, 14, kDefPush},
         {"Button", "Cancel", IDCANCEL, 243, 175, 50, 14, kPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
