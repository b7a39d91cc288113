// The multi-shot dialogs' templates.
#include "editor/retouch/MultiProgressDlg.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/ResourceTables.h"

namespace {

constexpr DWORD kModal = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER;

const qlafx::DialogTemplate kMultiShotDialogs[] = {
    {IDD_MULTI_PROGRESS, kModal, 0, 0, 0, 220, 56, "In Processing ...", "MS Shell Dlg", 8,
     {
         {"Static", "", IDC_MULTI_PROGRESS_TEXT, 10, 10, 200, 10, WS_VISIBLE | SS_LEFT},
         {"msctls_progress32", "", IDC_MULTI_PROGRESS_BAR, 10, 26, 200, 12, WS_VISIBLE | WS_BORDER},
     }},
};

const qlafx::ResourceTable kTable{.dialogs = kMultiShotDialogs};
qlafx::ResourceRegistrar kRegister(kTable);

}  // namespace
