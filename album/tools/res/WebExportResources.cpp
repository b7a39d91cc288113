// The pages of the HTML export wizard: 205 to 208.
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kPageStyle = WS_CHILD | DS_SETFONT;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL;
constexpr DWORD kMultiEdit = WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL;
constexpr DWORD kCheck = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kGroup = WS_VISIBLE | BS_GROUPBOX;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT;
constexpr UINT kNoId = static_cast<UINT>(-1);
constexpr const char* kCaption = "Export all the photos in this folder to HTML format";

const qlafx::DialogTemplate kDialogs[] = {
    {205, kPageStyle, 0, 0, 0, 310, 200, kCaption, "Tahoma", 8,
     {
         {"Button", "Tip", kNoId, 7, 4, 296, 42, kGroup},
         {"Static",
          "Step 1: Select the destination directory. The first page is 'index.htm' under this folder. When you "
          "upload to your website as web album, please upload all the files in this folder and its sub folder.",
          kNoId, 14, 15, 282, 28, kLabel},
         {"Static", "destination directory:", kNoId, 7, 54, 90, 10, kLabel},
         {"Edit", "", 1004, 7, 65, 240, 13, kEdit},
         {"Button", "Browse", 1005, 253, 64, 50, 14, kPush},
         {"Static", "Tittle of album:", kNoId, 7, 85, 90, 10, kLabel},
         {"Edit", "", 1100, 7, 96, 296, 13, kEdit},
         {"Static", "Description:", kNoId, 7, 114, 60, 10, kLabel},
         {"Static", "('Ctrl+Enter' for new line)", kNoId, 70, 114, 140, 10, kLabel},
         {"Edit", "", 1007, 7, 125, 296, 32, kMultiEdit},
         {"Static", "Copyrigt info:", kNoId, 7, 164, 90, 10, kLabel},
         {"Edit", "", 1101, 7, 175, 180, 13, kEdit},
         {"Static", "Your email:", kNoId, 193, 164, 90, 10, kLabel},
         {"Edit", "", 1102, 193, 175, 110, 13, kEdit},
     }},
    {206, kPageStyle, 0, 0, 0, 310, 200, kCaption, "Tahoma", 8,
     {
         {"Button", "Tip", kNoId, 7, 4, 296, 34, kGroup},
         {"Static",
          "Step 2: Set tittle, description and other properties for each folder. These information will appear on "
          "the index page of the folder.",
          kNoId, 14, 15, 282, 20, kLabel},
         {"SysTreeView32", "", 1001, 7, 44, 140, 150,
          WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS},
         {"Button", "Properties", kNoId, 153, 44, 150, 150, kGroup},
         {"Button", "Export this folder", 1103, 160, 57, 136, 12, kCheck},
         {"Static", "Tittle:", kNoId, 160, 75, 40, 10, kLabel},
         {"Edit", "", 1002, 160, 86, 136, 13, kEdit},
         {"Button", "Same as parent folder", 1104, 160, 105, 136, 12, kCheck},
         {"Edit", "", 1105, 160, 120, 136, 66, kMultiEdit},
     }},
    {207, kPageStyle, 0, 0, 0, 310, 200, kCaption, "Tahoma", 8,
     {
         {"Button", "Tip", kNoId, 7, 4, 296, 24, kGroup},
         {"Static", "The settings of thumbnails and tables", kNoId, 14, 14, 282, 10, kLabel},
         {"Static", "Size of thumbnail:", kNoId, 7, 38, 80, 10, kLabel},
         {"Edit", "", 1080, 90, 36, 40, 13, kEdit | ES_NUMBER},
         {"Static", "Thumbnails per line:", kNoId, 150, 38, 80, 10, kLabel},
         {"Edit", "", 1107, 233, 36, 30, 13, kEdit | ES_NUMBER},
         {"Static", "(3-8)", kNoId, 268, 38, 30, 10, kLabel},
         {"Button", "Visitor can download original file.", 1108, 7, 56, 200, 12, kCheck},
         {"Button", "Only export photos after (>=):", 1110, 7, 72, 130, 12, kCheck},
         {"Edit", "", 1088, 140, 71, 70, 13, kEdit},
         {"Static", "Notice: format is month/date/year ", kNoId, 140, 86, 160, 10, kLabel},
         {"Button", "Only export HTML pages", 1111, 7, 100, 200, 12, kCheck},
         {"Static", "Index page template", kNoId, 7, 120, 120, 10, kLabel},
         {"Edit", "", 1112, 7, 131, 270, 13, kEdit},
         {"Button", "...", 1114, 283, 130, 20, 14, kPush},
         {"Static", "Image page template", kNoId, 7, 150, 120, 10, kLabel},
         {"Edit", "", 1113, 7, 161, 270, 13, kEdit},
         {"Button", "...", 1115, 283, 160, 20, 14, kPush},
         {"Button", "Customize", 1116, 243, 181, 60, 14, kPush},
     }},
    {208, kPageStyle, 0, 0, 0, 310, 200, kCaption, "Tahoma", 8,
     {
         {"Button", "Processing ... ", kNoId, 7, 4, 296, 44, kGroup},
         {"msctls_progress32", "", 1082, 17, 21, 276, 14, WS_VISIBLE | WS_BORDER},
         {"Button", "&View result", 1109, 233, 56, 70, 14, kPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
