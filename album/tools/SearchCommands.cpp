// The album frame's Search Photo command.
#include "album/shell/AlbumGlobals.h"
#include "album/shell/MainFrame.h"
#include "album/shell/ViewPhotoDlg.h"
#include "album/tools/SearchDlg.h"
#include "album/tools/SearchThread.h"

namespace shelf {

void SearchDlgDeleter::operator()(CSearchDlg* dialog) const { delete dialog; }

namespace {

SearchScope CurrentScope()
{
    SearchScope scope;
    if (!theAlbum)
        return scope;
    if (const FolderNode* folder = theAlbum->m_scanner.m_model.m_pCurrent) {
        scope.currentFolder = folder->GetPath();
        const FolderNode* album = folder;
        while (album->m_pParent)
            album = album->m_pParent;
        scope.currentAlbum = album->GetPath();
    }
    for (const auto& project : theAlbum->m_projects)
        scope.albums.push_back(project->m_root.GetPath());
    return scope;
}

} // namespace

void CMainFrame::OnSearchPhoto()
{
    if (!m_searchDlg) {
        auto dialog = std::unique_ptr<CSearchDlg, SearchDlgDeleter>(new CSearchDlg(StartSearchThread()));
        dialog->m_scope = CurrentScope;
        dialog->m_goTo = [this](const std::string& path) {
            LocatePhoto(path);
            BringWindowToTop();
        };
        dialog->m_clearCutMark = [this] { m_clipboardCut = 0; };
        dialog->m_view = [this](std::vector<std::string> paths, int index) {
            if (HasLayout() && m_layout.m_commandBar.m_viewPhoto)
                m_layout.m_commandBar.m_viewPhoto->Open(std::move(paths), index);
        };
        if (!dialog->CreateHidden())
            return;
        m_searchDlg = std::move(dialog);
    }
    m_searchDlg->ShowOnTop();
}

} // namespace shelf
