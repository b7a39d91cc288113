// The editor's dialog commands and the functions that run them. Each dialog
// adds its line here when it is built; a command without one stays disabled.
#include "editor/adjust/ImageSizeDlg.h"
#include "editor/adjust/ModifyShapeDlg.h"
#include "editor/adjust/PerspectiveDlg.h"
#include "editor/adjust/TransformDlg.h"
#include "editor/adjust/ColorThemeDlg.h"
#include "editor/adjust/HSBCurveDlg.h"
#include "editor/adjust/ProfHistogramDlg.h"
#include "editor/retouch/AddFrameDlg.h"
#include "editor/retouch/MultiShootDlg.h"
#include "editor/retouch/MultiWork.h"
#include "editor/retouch/TemplatesEditDlg.h"
#include "editor/shell/JpegOptimizeDlg.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PrintImageDlg.h"
#include "editor/shell/SaveModeDlg.h"
#include "editor/shell/SaveWithSizeDlg.h"
#include "editor/shell/SettingsDlg.h"

// The photo's property dialogs.
#include "editor/shell/EditExifDlg.h"
#include "editor/shell/FunctionBar.h"
#include "editor/shell/ImagePropertyDlg.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/SelectFunctionDlg.h"

namespace {

int RunImagePropertyDlg(CMainFrame*)
{
    CImagePropertyDlg dlg(nullptr);
    return dlg.DoModal();
}

// The function bar's Transform button hands its group's menu to "More >".
int RunTransformFromFunctionBar(CMainFrame* frame)
{
    CMenu menu;
    if (!menu.LoadMenu(132))
        return RunTransformDlg(frame, nullptr);
    CMenu* group = menu.GetSubMenu(0);
    return RunTransformDlg(frame, group ? group->GetSafeHmenu() : nullptr);
}

int RunEditExifDlg(CMainFrame*)
{
    CEditExifDlg dlg(thePhotoDocument.m_exif, thePhotoDocument.m_path, nullptr);
    return dlg.DoModal();
}

}  // namespace

void RegisterDialogRunners()
{
    CMainFrame::SetDialogRunner(32838, RunSettingsDlg);
    // Saving: File > Save, and "Save with Size ..." for "Jpeg Slimming".
    CMainFrame::SetDialogRunner(57603, [](CMainFrame* frame) { return RunSaveModeDlg(frame); });
    SetSaveWithSizeRunner(RunSaveWithSizeDlg);
    CMainFrame::SetDialogRunner(32784, RunImagePropertyDlg);
    CMainFrame::SetDialogRunner(32851, RunEditExifDlg);
    // The function bar's enhancement button.
    CFunctionBar::SetButtonRunner(4121, RunSelectFunctionDlg);
    // File > Print.
    CMainFrame::SetDialogRunner(57608, [](CMainFrame* frame) { return PrintImage(frame); });
    // Geometry: Image > Transform.
    CMainFrame::SetDialogRunner(32810, RunTransformCommand);
    CMainFrame::SetDialogRunner(32811, RunImageSizeCommand);
    CMainFrame::SetDialogRunner(32863, RunPerspectiveCommand);
    CMainFrame::SetDialogRunner(32877, RunModifyShapeCommand);
    CFunctionBar::SetButtonRunner(4113, RunTransformFromFunctionBar);
    // Tone dialogs.
    CMainFrame::SetDialogRunner(32798, [](CMainFrame* frame) { return RunProfHistogramDlg(frame); });
    CMainFrame::SetDialogRunner(32840, [](CMainFrame* frame) { return RunHSBCurveDlg(frame); });
    CMainFrame::SetDialogRunner(32839, [](CMainFrame* frame) { return RunColorThemeDlg(frame); });
    // Image > Multi-Shoot Tools and the tool window.
    CMainFrame::SetDialogRunner(32872, [](CMainFrame*) { return static_cast<int>(CMultiNRWork().Run()); });
    CMainFrame::SetDialogRunner(32873, [](CMainFrame*) { return static_cast<int>(CMultiASWork().Run()); });
    CMainFrame::SetDialogRunner(32874, [](CMainFrame*) { return static_cast<int>(CMultiHDRWork().Run()); });
    CMainFrame::SetDialogRunner(32875, [](CMainFrame* frame) { return RunMultiShootDlg(frame); });
    // Photo frames: Image > Frame and the function bar's frame button.
    CMainFrame::SetDialogRunner(32805, RunAddFrameDlg);
    CMainFrame::SetDialogRunner(32806, RunEditFrameTemplates);
    CFunctionBar::SetButtonRunner(CFunctionBar::kFrame, RunAddFrameDlg);
}
