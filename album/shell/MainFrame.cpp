#include "album/shell/MainFrame.h"

#include "album/shell/MakeScreenSaverDlg.h"

#include "album/shell/AboutDlg.h"
#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "album/shell/LosslessTurns.h"
#include "album/shell/NewAlbumDlg.h"
#include "album/shell/NewFolderDlg.h"
#include "album/shell/SettingsDlg.h"
#include "album/shell/WelcomeWizard.h"
#include "album/tools/BatchEditDlg.h"
#include "album/tools/SearchThread.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Process.h"

#include "imagecore/ImageLimits.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#ifndef QUILLO_SHELF_MAIL
#define QUILLO_SHELF_MAIL "support@quillo.example.org"
#endif

namespace shelf {

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_GETMINMAXINFO()
    ON_WM_MENUCHAR()
    ON_MESSAGE(WM_SELECT_FOLDER, OnSelectFolder)
    ON_MESSAGE(WM_ALBUM_ANALYSE, OnFolderReady)
END_MESSAGE_MAP()

namespace {

struct RunnerEntry {
    UINT id;
    void (CMainFrame::*run)();
};

} // namespace

// The commands whose work has landed; every other one stays disabled.
CMainFrame::Runner CMainFrame::FindRunner(UINT id)
{
    static const RunnerEntry kRunners[] = {
        {57665, &CMainFrame::OnExit},      {57664, &CMainFrame::OnAbout},        {57666, &CMainFrame::OnHelpTopic},
        {32797, &CMainFrame::OnSendMail}, {32820, &CMainFrame::OnCheckUpdates},
        {57634, &CMainFrame::OnCopy},      {57635, &CMainFrame::OnCut},          {57637, &CMainFrame::OnPaste},
        {32783, &CMainFrame::OnDeleteFiles}, {32817, &CMainFrame::OnRotateLeft}, {32818, &CMainFrame::OnRotateRight},
        {32823, &CMainFrame::OnAutoRotate}, {32814, &CMainFrame::OnRefreshThumbnail},
        {32801, &CMainFrame::OnThumbnailView}, {59410, &CMainFrame::OnDetailView},
        {32773, &CMainFrame::OnNewFolder},  {32774, &CMainFrame::OnNewAlbum},   {32778, &CMainFrame::OnRenameFolder},
        {32777, &CMainFrame::OnDeleteFolder}, {32779, &CMainFrame::OnImport},  {32780, &CMainFrame::OnEdit},
        {32782, &CMainFrame::OnRenameFile}, {32771, &CMainFrame::OnFolderTree}, {32772, &CMainFrame::OnImageProperty}, {32775, &CMainFrame::OnRefresh},
        {32799, &CMainFrame::OnSortByName}, {32800, &CMainFrame::OnSortByTime}, {32815, &CMainFrame::OnBack},
        {32816, &CMainFrame::OnForward},    {32793, &CMainFrame::OnWallpaper},  {32795, &CMainFrame::OnSettings},
        {32796, &CMainFrame::OnDeleteAlbum}, {32785, &CMainFrame::OnBatchProcessing},
        {32781, &CMainFrame::OnViewPhoto}, {32794, &CMainFrame::OnSlideShow}, {32791, &CMainFrame::OnMakeScreenSaver},
        {32810, &CMainFrame::OnEditExif}, {32811, &CMainFrame::OnExportExif}, {32812, &CMainFrame::OnEditTags},
        {32819, &CMainFrame::OnExifStatistics}, {32822, &CMainFrame::OnCompactTypeset},
        {32809, &CMainFrame::OnExportWeb},
        {57607, &CMainFrame::OnPrint},     {32813, &CMainFrame::OnTypesetBeforePrint},
        {32802, &CMainFrame::OnSearchPhoto},
    };
    for (const auto& entry : kRunners)
        if (entry.id == id)
            return entry.run;
    return nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    cs.lpszClass = AfxRegisterWndClass(0);
    return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    m_backdrop.Create(this);
    if (!theAlbum || theAlbum->m_skin.GetAreaByteSize() == 0 || !m_hint.Create("", this))
        return -1;
    theAlbum->m_pHint = &m_hint;
    if (theAlbum->m_patternBitmap.LoadBitmap(kPatternBitmap))
        theAlbum->m_patternBrush.CreatePatternBrush(&theAlbum->m_patternBitmap);
    // The pane reads the interface keys of the profile itself.
    if (!m_layout.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                         CLayoutWnd::kId))
        return -1;
    m_layout.m_folderPane.m_locate = [this](const std::string& path) { LocatePhoto(path); };
    StartSearchThread();
    m_layout.m_folderPane.m_modeChanged = [this](int mode) { m_paneMode = mode; };
    m_paneMode = m_layout.m_folderPane.m_mode;
    SetPhotoList(&m_layout.m_commandBar.m_list);
    RecalcLayout();
    // Without SANE there is no source manager and no acquisition is offered.
    Init(m_hWnd);
    ShowWindow(SW_SHOW);
    m_layout.m_commandBar.UpdateButtons();
    CWinApp* app = AfxGetApp();
    theAlbum->m_userName = app->GetProfileString("General", "UserName", "").GetString();
    if (theAlbum->m_userName.empty()) {
        RunWelcomeWizard(this);
        if (!theAlbum->m_projects.empty()) {
            CFolderPane& pane = m_layout.m_folderPane;
            pane.SaveProjects();
            pane.LoadProjects();
            pane.BuildTree();
        } else {
            MessageBox(theAlbumTexts.GetText(48), "Cancel Wizard", MB_OK | MB_ICONINFORMATION);
        }
    }
    if (HICON icon = app->LoadIcon(128))
        SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ShowWindow(SW_MAXIMIZE);
    if (!m_menu.LoadMenu(128))
        return -1;
    m_menu.LoadToolbarImages(128);
    m_menu.m_embossDisabled = 1;
    CBitmapMenu::s_flatStyleSameColours = 1;
    CBitmapMenu::s_flatStyleOtherColours = 1;
    SetMenu(&m_menu);
    theAlbum->m_scanner.SetNotifyWindow(m_hWnd);
    if (m_paneMode == kModeFixedDisk) {
        const std::string lastVisit = app->GetProfileString("Project", "LastVisit", "").GetString();
        if (lastVisit.size() > 2)
            LocatePhoto(lastVisit);
    }
    m_exifBarVisible = static_cast<int>(app->GetProfileInt("Interface", "qlaEXIF", 1));
    m_folderPaneVisible = static_cast<int>(app->GetProfileInt("Interface", "qlaTREE", 1));
    theAlbum->m_bFullScreen = static_cast<int>(app->GetProfileInt("Interface", "qlaFullScr", 0));
    theAlbum->m_bAnimateView = static_cast<int>(app->GetProfileInt("Interface", "qlaAnimateView", 1));
    theAlbum->m_bPopBlur = static_cast<int>(app->GetProfileInt("General", "PopBlur", 1));
    theAlbum->m_titleSuffix = app->GetProfileString("Custom", "Tittle", "").GetString();
    if (!theAlbum->m_titleSuffix.empty()) {
        CString title;
        GetWindowText(title);
        SetWindowText((std::string(title.GetString()) + " " + theAlbum->m_titleSuffix).c_str());
    }
    return 0;
}

std::string CMainFrame::LastVisitText() const
{
    const FolderNode* folder = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    if (m_paneMode == kModeTimeline || !folder)
        return {};
    return folder->GetPath() + "/";
}

void CMainFrame::OnClose()
{
    CWinApp* app = AfxGetApp();
    app->WriteProfileString("Project", "LastVisit", LastVisitText().c_str());
    Release();
    BeginWaitCursor();
    // Saves the open folder's finished entries, then stops and joins the
    // thumbnail thread and its decoders.
    theAlbum->m_scanner.Shutdown();
    EndWaitCursor();
    CQLImageCodec::Stop();
    if (HasLayout())
        m_folderPaneVisible = (m_layout.m_folderPane.GetStyle() & WS_VISIBLE) != 0;
    if (HasLayout())
        m_exifBarVisible = m_layout.m_exifBarVisible;
    app->WriteProfileInt("Interface", "qlaEXIF", m_exifBarVisible);
    app->WriteProfileInt("Interface", "qlaTREE", m_folderPaneVisible);
    app->WriteProfileInt("Project", "ShowAllFixedDisk", m_paneMode);
    app->WriteProfileInt("Interface", "qlaFullScr", theAlbum->m_bFullScreen);
    app->WriteProfileInt("Interface", "qlaAnimateView", theAlbum->m_bAnimateView);
    CFrameWnd::OnClose();
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* info)
{
    CFrameWnd::OnGetMinMaxInfo(info);
    info->ptMinTrackSize.x = kMinWidth;
    info->ptMinTrackSize.y = kMinHeight;
}

LRESULT CMainFrame::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    if (pMenu && CBitmapMenu::IsOwnedSubMenu(pMenu->m_hMenu))
        return CBitmapMenu::FindAccelChar(nChar, nFlags, pMenu);
    return CFrameWnd::OnMenuChar(nChar, nFlags, pMenu);
}

LRESULT CMainFrame::OnSelectFolder(WPARAM wParam, LPARAM lParam)
{
    if (!HasLayout())
        return 0;
    CTreeCtrl& tree = m_layout.m_folderPane.m_tree;
    auto* item = reinterpret_cast<HTREEITEM>(wParam);
    const auto* node = reinterpret_cast<const FolderNode*>(lParam);
    CFolderPane& pane = m_layout.m_folderPane;
    if (!node) {
        if (const FolderNode* target = pane.NodeOf(item))
            pane.SelectFolder(target->GetPath());
        // Nothing changed when the item was selected already.
        m_layout.m_folderPane.m_skipHistory = 0;
        SelectPendingFile();
        return 0;
    }
    // Making the item visible lists the open folder's branch again, which
    // replaces the node: the label is looked up afterwards.
    const std::string label = node->m_label;
    FolderNode* current = theAlbum->m_scanner.m_model.m_pCurrent;
    if (!current)
        return 0;
    if (current->m_hItem)
        tree.Expand(current->m_hItem, TVE_EXPAND);
    current = theAlbum->m_scanner.m_model.m_pCurrent;
    FolderNode* target = current ? current->FindChild(label.c_str()) : nullptr;
    if (!target)
        target = current ? current->m_pParent : nullptr;
    if (target)
        pane.SelectFolder(target->GetPath());
    return 0;
}

// The open folder is complete: its list is sorted as the bar says.
LRESULT CMainFrame::OnFolderReady(WPARAM, LPARAM)
{
    if (!m_pList)
        return 0;
    m_pList->Reload(m_pList->SelectedEntries());
    if (HasLayout())
        m_layout.m_commandBar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return 0;
}

void CMainFrame::RefreshBranch(FolderNode* node)
{
    if (node && node->m_hItem)
        m_layout.m_folderPane.RefreshNode(node->m_hItem);
}

void CMainFrame::LocatePhoto(const std::string& path)
{
    if (!HasLayout() || !theAlbum)
        return;
    const std::size_t slash = path.find_last_of('/');
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    FolderNode* node = nullptr;
    for (const auto& project : theAlbum->m_projects)
        if (project->m_root.m_hItem && project->m_root.IsAncestorOf(path)) {
            node = &project->m_root;
            break;
        }
    if (!node)
        return;
    CTreeCtrl& tree = m_layout.m_folderPane.m_tree;
    auto holder = [&](FolderNode* parent) -> FolderNode* {
        for (const auto& child : parent->m_children)
            if (child->IsAncestorOf(path))
                return child.get();
        return nullptr;
    };
    tree.Expand(node->m_hItem, TVE_EXPAND);
    for (;;) {
        // A branch never listed, or listed without items, is listed now.
        if (node->m_children.empty() ||
            std::any_of(node->m_children.begin(), node->m_children.end(), [](const auto& c) { return !c->m_hItem; }))
            RefreshBranch(node);
        if (!holder(node))
            break;
        // Expanding lists the branch again, so the child is looked up after.
        tree.Expand(node->m_hItem, TVE_EXPAND);
        FolderNode* next = holder(node);
        if (!next)
            break;
        node = next;
    }
    m_pendingFile = fileName;
    if (node == theAlbum->m_scanner.m_model.m_pCurrent) {
        SelectPendingFile();
        return;
    }
    m_layout.m_folderPane.m_skipHistory = 1;
    PostMessage(WM_SELECT_FOLDER, reinterpret_cast<WPARAM>(node->m_hItem), 0);
}

// After the folder opened: the located file is selected and the list focused.
void CMainFrame::SelectPendingFile()
{
    if (m_pendingFile.empty() || !m_pList)
        return;
    m_pList->SelectItemByText(m_pendingFile.c_str());
    m_pList->SetFocus();
    m_pendingFile.clear();
}

void CMainFrame::SetPhotoList(CPhotoListView* list)
{
    m_pList = list;
    if (list)
        list->m_pCutFlag = &m_clipboardCut;
    if (theAlbum)
        theAlbum->m_scanner.SetNotifyList(list);
}

const PhotoEntry* CMainFrame::FirstSelectedEntry() const
{
    return m_pList ? EntryOf(m_pList->GetItem(m_pList->GetCurSel())) : nullptr;
}

CommandState CMainFrame::GetCommandState() const
{
    CommandState state;
    state.timeline = m_paneMode == kModeTimeline;
    if (HasLayout()) {
        state.canGoBack = m_layout.m_folderPane.m_history.CanGoBack();
        state.canGoForward = m_layout.m_folderPane.m_history.CanGoForward();
    }
    if (theAlbum && theAlbum->m_scanner.m_model.m_pCurrent) {
        state.folderOpen = true;
        state.folderHasParent = theAlbum->m_scanner.m_model.m_pCurrent->m_pParent != nullptr;
        state.allComplete = theAlbum->m_scanner.IsAllComplete() != 0;
    }
    if (m_pList) {
        state.selected = m_pList->GetCurSel() >= 0;
        state.clipboardFiles = const_cast<CPhotoListView*>(m_pList)->CanPaste() != FALSE;
        // Until the EXIF bar lands, the photo it would show is the one the
        // command bar keeps (without the bar, the first selected file).
        const PhotoEntry* shown = HasLayout() ? m_layout.m_commandBar.m_pShown : FirstSelectedEntry();
        if (shown && !shown->m_bFolder) {
            state.photoShown = true;
            state.shownIsJpeg = CQLImageCodec::GetFileType(shown->m_info.szFileName) == QL_FILE_JPEG;
        }
        for (int i = 0; i < m_pList->GetItemCount() && !state.folderHasPhotos; ++i) {
            const PhotoEntry* entry = EntryOf(m_pList->GetItem(i));
            state.folderHasPhotos = entry && !entry->m_bFolder;
        }
    }
    return state;
}

BOOL CMainFrame::IsCommandEnabled(UINT id) const
{
    static const UINT kListCommands[] = {57634, 57635, 57637, 32783, 32817, 32818, 32823, 32814, 32801, 59410};
    if (!m_pList && std::find(std::begin(kListCommands), std::end(kListCommands), id) != std::end(kListCommands))
        return FALSE;
    const ShelfCommand* command = FindShelfCommand(id);
    if (!command || !FindRunner(id) || !IsEnabled(command->rule, GetCommandState()))
        return FALSE;
    static const UINT kPaneCommands[] = {32773, 32774, 32778, 32777, 32779, 32780, 32782, 32771, 32772, 32775,
                                         32799, 32800, 32815, 32816, 32793, 32796};
    if (!HasLayout() && std::find(std::begin(kPaneCommands), std::end(kPaneCommands), id) != std::end(kPaneCommands))
        return FALSE;
    // One photo goes to the editor, while it is there; more go to batch
    // editing.
    if (id == 32780 && !CCommandBar::ButtonRules(m_layout.m_commandBar.CurrentState()).edit)
        return FALSE;
    return id != 32820 || ::access(UpdaterPath().c_str(), X_OK) == 0;
}

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The layout window's own commands (Folder Tree, Refresh) go there first.
    if (HasLayout() && m_layout.OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (!FindShelfCommand(nID))
        return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (nCode == CN_UPDATE_COMMAND_UI && pExtra) {
        auto* ui = static_cast<CCmdUI*>(pExtra);
        ui->Enable(IsCommandEnabled(nID));
        if ((nID == 32801 || nID == 59410) && m_pList)
            ui->SetCheck(m_pList->GetViewMode() == (nID == 59410 ? 1 : 0));
        if ((nID == 32799 || nID == 32800) && HasLayout())
            ui->SetCheck(m_layout.m_commandBar.m_sortMode == (nID == 32800 ? 1 : 0));
        if (nID == 32771 && HasLayout())
            ui->SetCheck((m_layout.m_folderPane.GetStyle() & WS_VISIBLE) != 0);
        if (nID == 32772 && HasLayout())
            ui->SetCheck((m_layout.m_exifBar.GetStyle() & WS_VISIBLE) != 0);
        return TRUE;
    }
    if (nCode != CN_COMMAND)
        return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        return IsCommandEnabled(nID);
    }
    if (IsCommandEnabled(nID))
        (this->*FindRunner(nID))();
    return TRUE;
}

void CMainFrame::OnExit() { PostMessage(WM_CLOSE); }

void CMainFrame::OnCopy()
{
    m_pList->OnCopyRequest();
    m_clipboardCut = 0;
}

void CMainFrame::OnCut()
{
    m_pList->OnCopyRequest();
    m_clipboardCut = 1;
}

void CMainFrame::OnPaste() { m_pList->OnPasteRequest(); }

void CMainFrame::OnDeleteFiles()
{
    if (AfxMessageBox(theAlbumTexts.GetText(13), MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
        m_pList->OnDeleteKey();
}

// Rebuilding a thumbnail may free and refill the list's items: the work is
// listed first and the list reloaded after.
void CMainFrame::TurnSelected(int transform)
{
    const std::vector<const PhotoEntry*> selected = m_pList->SelectedEntries();
    std::vector<std::pair<std::string, PhotoEntry*>> work;
    for (int i = m_pList->GetCurSel(); i >= 0; i = m_pList->GetNextSelected(i))
        work.emplace_back(m_pList->ItemPath(i), EntryOf(m_pList->GetItem(i)));
    for (const auto& [path, entry] : work)
        if (TurnJpeg(path, transform))
            theAlbum->m_scanner.RebuildThumbnail(entry);
    m_pList->Reload(selected);
}

void CMainFrame::OnRotateLeft() { TurnSelected(kTurnLeft); }
void CMainFrame::OnRotateRight() { TurnSelected(kTurnRight); }

void CMainFrame::OnAutoRotate()
{
    BeginWaitCursor();
    const std::vector<const PhotoEntry*> selected = m_pList->SelectedEntries();
    std::vector<std::pair<std::string, PhotoEntry*>> work;
    {
        std::lock_guard lock(theAlbum->m_scanner.GetThread()->m_mutex);
        for (int i = 0; i < m_pList->GetItemCount(); ++i)
            if (PhotoEntry* entry = EntryOf(m_pList->GetItem(i)); entry && !entry->m_bFolder &&
                                                                 entry->m_info.nHeight < entry->m_info.nWidth)
                work.emplace_back(m_pList->ItemPath(i), entry);
    }
    for (const auto& [path, entry] : work) {
        if (AutoTurnJpeg(path, entry->m_info.nWidth, entry->m_info.nHeight) == 0)
            continue;
        {
            std::lock_guard lock(theAlbum->m_scanner.GetThread()->m_mutex);
            std::swap(entry->m_info.nWidth, entry->m_info.nHeight);
        }
        theAlbum->m_scanner.RebuildThumbnail(entry);
    }
    EndWaitCursor();
    m_pList->Reload(selected);
}

void CMainFrame::OnRefreshThumbnail()
{
    const std::vector<const PhotoEntry*> selected = m_pList->SelectedEntries();
    theAlbum->m_scanner.RebuildThumbnail(EntryOf(m_pList->GetItem(m_pList->GetCurSel())));
    m_pList->Reload(selected);
}

void CMainFrame::SetListView(int mode)
{
    m_pList->SetViewMode(mode);
    AfxGetApp()->WriteProfileInt("Interface", "qlaListView", mode);
}

void CMainFrame::OnThumbnailView() { SetListView(0); }
void CMainFrame::OnDetailView() { SetListView(1); }

void CMainFrame::OnNewFolder()
{
    FolderNode* current = m_layout.m_folderPane.GetSelectedNode();
    if (!current)
        return;
    CNewFolderDlg dlg(this);
    if (dlg.DoModal() != IDOK)
        return;
    FolderNode* made = current->CreateSubfolder(dlg.m_name.GetString());
    if (!made) {
        AfxMessageBox(theAlbumTexts.GetText(17));
        return;
    }
    if (current->m_hItem)
        m_layout.m_folderPane.InsertItems(made, current->m_hItem);
    m_layout.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    if (current->m_hItem)
        m_layout.m_folderPane.m_tree.Expand(current->m_hItem, TVE_EXPAND);
    m_layout.m_folderPane.SaveProjects();
    m_layout.Refresh();
}

void CMainFrame::OnNewAlbum()
{
    CNewAlbumDlg dlg(this);
    if (dlg.DoModal() != IDOK)
        return;
    std::string root = dlg.m_result;
    if (root.empty() || root.back() != '/')
        root += '/';
    auto project = std::make_unique<Project>();
    project->m_bLoaded = 1;
    project->m_root.m_name = root;
    project->m_root.m_label = dlg.m_name.GetString();
    if (!project->m_root.ScanSubfolders(root, 1))
        return;
    theAlbum->m_projects.push_back(std::move(project));
    CFolderPane& pane = m_layout.m_folderPane;
    pane.SaveProjects();
    pane.LoadProjects();
    pane.BuildTree();
}

void CMainFrame::OnRenameFolder() { m_layout.m_folderPane.StartRename(); }
void CMainFrame::OnDeleteFolder() { m_layout.m_folderPane.DeleteSelectedFolder(); }
void CMainFrame::OnImport() { m_layout.m_commandBar.Import(); }
void CMainFrame::OnEdit()
{
    if (m_pList && m_pList->GetSelectedCount() >= 2)
        OpenBatchEdit(false);
    else
        m_layout.m_commandBar.Edit();
}

void CMainFrame::OnBatchProcessing() { OpenBatchEdit(true); }

// The selection is the file list, the current folder the destination; with
// selectFirst the file selection comes first and Batch Edit only after
// "&Next >". The view is refreshed after.
void CMainFrame::OpenBatchEdit(bool selectFirst)
{
    std::vector<std::string> selected;
    if (m_pList)
        m_pList->GetSelectedFiles(selected);
    if (selectFirst) {
        CBatchFileSelectDlg select(this);
        select.m_files = selected;
        if (select.DoModal() != IDOK)
            return;
        selected = select.m_files;
    }
    CBatchEditDlg dlg(this);
    dlg.m_files = selected;
    const FolderNode* current = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    dlg.m_folder = current ? current->GetPath() : std::string();
    dlg.m_userName = theAlbum ? theAlbum->m_userName : std::string();
    dlg.m_albumSelection = [this] {
        std::vector<std::string> files;
        if (m_pList)
            m_pList->GetSelectedFiles(files);
        return files;
    };
    dlg.DoModal();
    if (HasLayout())
        m_layout.Refresh();
}
void CMainFrame::OnRenameFile() { m_layout.m_commandBar.Rename(); }
void CMainFrame::OnFolderTree() { m_layout.ToggleFolderPane(); }

void CMainFrame::OnImageProperty()
{
    m_layout.ToggleExifBar();
    m_exifBarVisible = m_layout.m_exifBarVisible;
}
void CMainFrame::OnRefresh() { m_layout.Refresh(); }
void CMainFrame::OnSortByName() { m_layout.m_commandBar.SetSortMode(0); }
void CMainFrame::OnSortByTime() { m_layout.m_commandBar.SetSortMode(1); }
void CMainFrame::OnBack() { m_layout.m_folderPane.GoBack(); }
void CMainFrame::OnForward() { m_layout.m_folderPane.GoForward(); }
void CMainFrame::OnWallpaper() { m_layout.m_commandBar.SetWallpaper(); }

void CMainFrame::OnViewPhoto()
{
    CPhotoListView& list = m_layout.m_commandBar.m_list;
    if (list.GetCurSel() >= 0)
        list.OpenItem(list.GetCurSel());
}

void CMainFrame::OnSlideShow() { m_layout.m_commandBar.SlideShow(); }

void CMainFrame::OnMakeScreenSaver()
{
    const FolderNode* current = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    MakeScreenSaver(this, current ? current->GetPath() : std::string(),
                    theAlbum ? theAlbum->m_programFolder : std::string());
}

void CMainFrame::OnSettings()
{
    CSettingsDlg dlg(this);
    dlg.DoModal();
}

// The project goes from the list; the program then closes as Exit does, so
// the message loop ends with 0.
void CMainFrame::OnDeleteAlbum()
{
    const FolderNode* top = theAlbum->m_scanner.m_model.m_pCurrent;
    if (!top)
        return;
    while (top->m_pParent)
        top = top->m_pParent;
    auto& projects = theAlbum->m_projects;
    const auto it = std::find_if(projects.begin(), projects.end(), [&](const auto& p) { return &p->m_root == top; });
    if (it == projects.end())
        return;
    if (::MessageBox(m_hWnd, theAlbumTexts.GetText(62), "Warning", MB_YESNO) != IDYES)
        return;
    theAlbum->m_scanner.CloseFolder();
    m_pList->Reload();
    projects.erase(it);
    m_layout.m_folderPane.SaveProjects();
    PostMessage(WM_CLOSE);
}

void CMainFrame::OnAbout()
{
    CAboutDlg about(this);
    about.DoModal();
}

void CMainFrame::OnHelpTopic()
{
    ::ShellExecute(m_hWnd, "open", (theAlbum->m_programFolder + "QuilloShelf.html").c_str(), nullptr, nullptr,
                   SW_SHOW);
}

void CMainFrame::OnSendMail()
{
    ::ShellExecute(m_hWnd, "open", "mailto:" QUILLO_SHELF_MAIL, nullptr, nullptr, SW_HIDE);
}

std::string CMainFrame::UpdaterPath() const
{
    return theAlbum ? theAlbum->m_programFolder + "QuilloBeacon" : std::string();
}

void CMainFrame::OnCheckUpdates() { ::ShellExecute(m_hWnd, "open", UpdaterPath().c_str(), nullptr, nullptr, SW_SHOW); }

// ---- scanning ------------------------------------------------------------------------

BOOL CMainFrame::PreTranslateMessage(MSG* pMsg)
{
    // An open source needs the window's messages first.
    if (ProcessMessage(pMsg))
        return TRUE;
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void CMainFrame::AcquireFromScanner()
{
    // Pages need a folder to go to.
    const FolderNode* folder = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    if (!folder || !IsLoaded() || !SelectSource())
        return;
    m_captureFolder = folder->GetPath();
    Acquire(256);
}

int CMainFrame::ImageFromDib(HGLOBAL dib, CQLImage* image)
{
    const std::size_t size = GlobalSize(dib);
    const auto* block = static_cast<const BYTE*>(GlobalLock(dib));
    if (!block || !image)
        return 0;
    BITMAPINFOHEADER h{};
    if (size >= sizeof h)
        std::memcpy(&h, block, sizeof h);
    const long long height = h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight;
    const std::size_t stride = ((static_cast<std::size_t>(h.biWidth) * h.biBitCount / 8) + 3) & ~std::size_t(3);
    // Header, colour table, then the rows: all inside the block.
    const std::size_t offset = static_cast<std::size_t>(h.biSize) + std::size_t(h.biClrUsed) * 4;
    const bool sound = size >= sizeof h && h.biSize >= sizeof h && h.biPlanes == 1 &&
                       (h.biBitCount == 24 || h.biBitCount == 32) && h.biCompression == 0 && h.biWidth > 0 &&
                       height > 0 && h.biClrUsed <= 256 &&
                       imagecore::DecodeSizeAllowed(static_cast<ULONGLONG>(h.biWidth), height) &&
                       offset <= size && (size - offset) / stride >= static_cast<std::size_t>(height);
    if (!sound) {
        GlobalUnlock(dib);
        return 0;
    }
    const int w = h.biWidth, rows = static_cast<int>(height);
    if (image->Create(static_cast<UINT>(w), static_cast<UINT>(rows)) != 0) {
        GlobalUnlock(dib);
        return -1;
    }
    const BYTE* pixels = block + offset;
    for (int r = 0; r < rows; ++r) {
        // Bottom-up unless the height is negative.
        const BYTE* src = pixels + std::size_t(r) * stride;
        BYTE* dst = image->GetBuffer(0, h.biHeight < 0 ? r : rows - 1 - r);
        if (h.biBitCount == 32) {
            std::memcpy(dst, src, std::size_t(w) * 4);
            continue;
        }
        for (int x = 0; x < w; ++x) {
            dst[x * 4] = src[x * 3];
            dst[x * 4 + 1] = src[x * 3 + 1];
            dst[x * 4 + 2] = src[x * 3 + 2];
            dst[x * 4 + 3] = 255;
        }
    }
    GlobalUnlock(dib);
    return 1;
}

void CMainFrame::OnImage(HGLOBAL dib, const TW_IMAGEINFO&)
{
    CQLImage image;
    const int made = ImageFromDib(dib, &image);
    if (made == 0)
        MessageBox("Unknown pixel format");
    if (made != 1)
        return;
    char path[4096];
    if (!NextCaptureFileName(m_captureFolder.c_str(), path, sizeof path)) {
        // Every name is taken: nothing is overwritten.
        const std::string last = m_captureFolder + "Pic9999.jpg";
        char text[4200];
        std::snprintf(text, sizeof text, theAlbumTexts.GetText(18), last.c_str());
        MessageBox(text);
        return;
    }
    CQLImageCodec codec;
    if (!codec.SaveJpegFile(path, &image, 95, 72)) {
        char text[4200];
        std::snprintf(text, sizeof text, theAlbumTexts.GetText(18), path);
        MessageBox(text);
        return;
    }
    if (HasLayout())
        m_layout.Refresh();
}

void CMainFrame::OnTransferDone()
{
    if (HasLayout())
        m_layout.Refresh();
}

} // namespace shelf
