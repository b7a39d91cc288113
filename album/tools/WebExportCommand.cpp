// The album frame's "Export this folder to HTML files ..." command.
#include "album/shell/AlbumGlobals.h"
#include "album/shell/MainFrame.h"
#include "album/tools/WebExportWizard.h"

namespace shelf {

void CMainFrame::OnExportWeb()
{
    const FolderNode* folder = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    if (!folder)
        return;
    CWebExportWizard wizard(folder->GetPath(), folder->m_label, this);
    wizard.DoModal();
}

} // namespace shelf
