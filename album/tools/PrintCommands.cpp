// The album frame's print commands: the print wizard on a printer, or on a
// virtual page whose pages become JPEG files in the folder.
#include "album/shell/MainFrame.h"
#include "album/tools/PrintWizard.h"
#include "album/tools/SetupPaperDlg.h"

namespace shelf {

void CMainFrame::OnPrint()
{
    const std::vector<std::string> paths = SelectedPhotoPaths();
    if (paths.empty())
        return;
    CImagePrinter printer;
    if (!printer.SetupPrinter())
        return;
    CPrintWizard wizard(&printer, paths, this);
    wizard.DoModal();
}

void CMainFrame::OnTypesetBeforePrint()
{
    const std::vector<std::string> paths = SelectedPhotoPaths();
    if (paths.empty())
        return;
    CSetupPaperDlg paper(this);
    if (paper.DoModal() != IDOK)
        return;
    double width = 0, height = 0;
    paper.PageInches(&width, &height);
    CImagePrinter printer;
    printer.SetVirtualPage(300, width, height);
    CPrintWizard wizard(&printer, paths, this);
    wizard.DoModal();
    // The page files are listed with the folder.
    if (HasLayout())
        m_layout.Refresh();
}

} // namespace shelf
