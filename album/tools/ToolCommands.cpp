// The album frame's EXIF, tag and typeset commands.
#include "album/shell/AlbumGlobals.h"
#include "album/shell/MainFrame.h"
#include "album/shell/PhotoListModel.h"
#include "album/tools/CompactTypesetDlg.h"
#include "album/tools/EditExifDlg.h"
#include "album/tools/ExifStatsDlg.h"
#include "album/tools/TagsDlg.h"

namespace shelf {

namespace {
std::string CurrentFolder()
{
    const FolderNode* folder = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    return folder ? folder->GetPath() : std::string();
}
} // namespace

std::vector<std::string> CMainFrame::SelectedPhotoPaths() const
{
    std::vector<std::string> paths;
    if (!m_pList)
        return paths;
    for (int i = m_pList->GetCurSel(); i >= 0; i = m_pList->GetNextSelected(i))
        if (const PhotoEntry* entry = EntryOf(m_pList->GetItem(i)); entry && !entry->m_bFolder)
            paths.push_back(m_pList->ItemPath(i));
    return paths;
}

void CMainFrame::OnEditExif()
{
    const std::vector<std::string> paths = SelectedPhotoPaths();
    if (!paths.empty())
        EditExifOfFile(paths.front().c_str(), this);
}

void CMainFrame::OnExportExif()
{
    const std::vector<std::string> paths = SelectedPhotoPaths();
    if (!paths.empty())
        ExportExifToFile(paths.front().c_str(), this);
}

void CMainFrame::OnEditTags()
{
    std::vector<std::string> paths = SelectedPhotoPaths();
    if (paths.empty())
        return;
    CTagSet tagSet;
    tagSet.Load();
    CTagsDlg dialog(std::move(paths), tagSet, this);
    if (dialog.DoModal() == IDOK && HasLayout())
        m_layout.Refresh();
}

void CMainFrame::OnExifStatistics()
{
    CExifStatsDlg dialog(CurrentFolder().c_str(), this);
    dialog.DoModal();
}

void CMainFrame::OnCompactTypeset()
{
    const std::vector<std::string> paths = SelectedPhotoPaths();
    CCompactTypesetDlg dialog(paths.empty() ? "" : paths.front().c_str(), CurrentFolder().c_str(), this);
    dialog.m_rescan = [this] {
        if (HasLayout())
            m_layout.Refresh();
    };
    dialog.DoModal();
}

} // namespace shelf
