// QuilloBeacon's resources: the main window 102, the run-mode dialog 131,
// the download dialog 135 and the Check menu 133.
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kPush = WS_CHILD | WS_VISIBLE | WS_TABSTOP;

const qlafx::DialogTemplate kDialogs[] = {
    {102, DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, WS_EX_APPWINDOW, 0, 0, 420, 262,
     "Check for new updates of Quillo", nullptr, 0,
     {{"Button", "&Check", IDOK, 7, 7, 60, 14, kPush | BS_DEFPUSHBUTTON},
      {"Button", "&Settings...", 1001, 72, 7, 60, 14, kPush},
      {"Button", "Do Nothing", 1014, 137, 7, 100, 14, kPush | WS_DISABLED},
      {"Button", "Close", IDCANCEL, 353, 7, 60, 14, kPush},
      {"Static", "Please connect to internet first.", 1003, 7, 28, 406, 9, kChild},
      {"Static", "", static_cast<UINT>(-1), 7, 41, 406, 1, kChild | SS_ETCHEDHORZ},
      {"SysListView32", "", 1004, 7, 46, 406, 150,
       kPush | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER},
      {"Edit", "", 1013, 7, 201, 406, 54,
       kPush | WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL}}},
    {131, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 186, 62, "Settings", nullptr, 0,
     {{"Button", "Run Mode", static_cast<UINT>(-1), 7, 7, 110, 48, kChild | BS_GROUPBOX},
      {"ComboBox", "", 1009, 15, 24, 94, 60, kPush | CBS_DROPDOWNLIST | WS_VSCROLL},
      {"Button", "OK", IDOK, 127, 10, 52, 14, kPush | BS_DEFPUSHBUTTON},
      {"Button", "Cancel", IDCANCEL, 127, 30, 52, 14, kPush}}},
    {135, DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 300, 128, "Download And Install",
     nullptr, 0,
     {{"Button", "Progress", static_cast<UINT>(-1), 7, 7, 286, 44, kChild | BS_GROUPBOX},
      {"msctls_progress32", "", 1015, 15, 19, 270, 12, kChild | WS_BORDER},
      {"Static", "", 1003, 15, 36, 270, 9, kChild},
      {"Edit", "", 1016, 7, 56, 286, 44, kChild | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL},
      {"Button", "Download Directly", 1017, 7, 107, 80, 14, kPush},
      {"Button", "Cancel", IDCANCEL, 233, 107, 60, 14, kPush}}},
};

const qlafx::MenuTable kMenus[] = {
    {133,
     {{"Check",
       0,
       0,
       {{"Since last updating", 32771, 0, {}},
        {"in Last week", 32772, 0, {}},
        {"in Last month", 32773, 0, {}},
        {"in Last Year", 32774, 0, {}},
        {"All updates", 32775, 0, {}}}}}},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs, .menus = kMenus};
qlafx::ResourceRegistrar kRegister(kTable);

} // namespace
