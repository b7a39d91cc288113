#include "editor/ui/demo/res/SkinDemoResources.h"

#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

const qlafx::DialogTemplate kDialogs[] = {
    {IDD_SKIN_DEMO, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER, 0, 0, 0, 250, 170,
     "Skin demo", "MS Shell Dlg", 8,
     {
         {"Button", "Options", 0xFFFF, 7, 5, 112, 58, WS_VISIBLE | BS_GROUPBOX},
         {"Button", "Show &grid", IDC_DEMO_GRID, 14, 18, 100, 10,
          WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX},
         {"Button", "Snap to &edges", IDC_DEMO_SNAP, 14, 32, 100, 10, WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
         {"Button", "Locked option", IDC_DEMO_LOCKED, 14, 46, 100, 10, WS_VISIBLE | WS_DISABLED | BS_AUTOCHECKBOX},
         {"Button", "Brush", 0xFFFF, 128, 5, 115, 58, WS_VISIBLE | BS_GROUPBOX},
         {"Button", "&Small", IDC_DEMO_SMALL, 135, 18, 100, 10,
          WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON},
         {"Button", "&Medium", IDC_DEMO_MEDIUM, 135, 32, 100, 10, WS_VISIBLE | BS_AUTORADIOBUTTON},
         {"Button", "&Large", IDC_DEMO_LARGE, 135, 46, 100, 10, WS_VISIBLE | BS_AUTORADIOBUTTON},
         {"Static", "Strength:", 0xFFFF, 7, 72, 40, 8, WS_VISIBLE | WS_GROUP | SS_LEFT},
         {TRACKBAR_CLASS, "", IDC_DEMO_STRENGTH, 50, 69, 193, 14, WS_VISIBLE | WS_TABSTOP},
         {"Static", "Softness:", 0xFFFF, 7, 90, 40, 8, WS_VISIBLE | SS_LEFT},
         {TRACKBAR_CLASS, "", IDC_DEMO_SOFTNESS, 50, 87, 193, 14, WS_VISIBLE | WS_DISABLED},
         {"Button", "&Apply", IDC_DEMO_APPLY, 83, 149, 50, 14, WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON},
         {"Button", "OK", IDOK, 138, 149, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
         {"Button", "Cancel", IDCANCEL, 193, 149, 50, 14, WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
