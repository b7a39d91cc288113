// The plug-in manager's template 321.
#include "editor/shell/PluginManagerDlg.h"
#include "platform/afx/ResourceTables.h"

namespace {

using Dlg = CPluginManagerDlg;

constexpr DWORD kDialogStyle = DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kPush = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kDefPush = WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON;
constexpr DWORD kLabel = WS_VISIBLE | SS_LEFT | SS_NOPREFIX | SS_SUNKEN;
constexpr DWORD kList = WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY;

const qlafx::DialogTemplate kDialogs[] = {
    {Dlg::kTemplate, kDialogStyle, 0, 0, 0, 340, 196, "Plugins Management", "MS Shell Dlg", 8,
     {
         {"Static", "", Dlg::kLeftFolderText, 7, 7, 140, 10, kLabel},
         {"ListBox", "", Dlg::kLeftList, 7, 20, 140, 132, kList},
         {"Button", ">>", Dlg::kMoveRight, 155, 60, 30, 14, kPush},
         {"Button", "<<", Dlg::kMoveLeft, 155, 80, 30, 14, kPush},
         {"Static", "", Dlg::kRightFolderText, 193, 7, 140, 10, kLabel},
         {"ListBox", "", Dlg::kRightList, 193, 20, 140, 132, kList},
         {"Button", "&Open", Dlg::kOpenLeft, 7, 156, 50, 14, kPush},
         {"Button", "&Delete", Dlg::kDelete, 61, 156, 50, 14, kPush},
         {"Button", "O&pen", Dlg::kOpenRight, 193, 156, 50, 14, kPush},
         {"Button", "&New Folder", Dlg::kCreateFolder, 247, 156, 60, 14, kPush},
         {"Button", "Close", IDOK, 283, 175, 50, 14, kDefPush},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
