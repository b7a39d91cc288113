#include "album/shell/FolderPane.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "album/shell/CommandBar.h"
#include "album/shell/LayoutWnd.h"
#include "album/shell/TimelineMonths.h"
#include "editor/ui/BitmapMenu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinApp.h"
#include "platform/win/Drives.h"
#include "platform/win/FileOps.h"

#include <algorithm>
#include <cstdio>

namespace shelf {

BEGIN_MESSAGE_MAP(CFolderTree, CTreeCtrl)
    ON_WM_DROPFILES()
END_MESSAGE_MAP()

void CFolderTree::OnDropFiles(HDROP drop)
{
    if (m_pPane)
        m_pPane->DropFiles(drop);
    else
        ::DragFinish(drop);
}

// Posted to the pane itself: select the open folder's item once an
// expansion that replaced it has finished.
static constexpr UINT kReselectMessage = WM_USER + 2471;

BEGIN_MESSAGE_MAP(CFolderPane, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_TABSTRIP_CHANGED, OnTabChanged)
    ON_MESSAGE(kReselectMessage, OnReselect)
    ON_NOTIFY(TVN_SELCHANGED, kTree, OnSelChanged)
    ON_NOTIFY(TVN_ITEMEXPANDING, kTree, OnItemExpanding)
    ON_NOTIFY(TVN_ENDLABELEDIT, kTree, OnEndLabelEdit)
    ON_NOTIFY(TVN_KEYDOWN, kTree, OnTreeKeyDown)
    ON_NOTIFY(LVN_ITEMCHANGED, kTimeline, OnTimelineChanged)
END_MESSAGE_MAP()

namespace {

const char kNoAlbum[] = "You have not create any album.So you can not switch to album mode.";

FolderNode* CurrentFolder() { return theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr; }

bool Holds(const FolderNode& node, const FolderNode* folder)
{
    for (const FolderNode* n = folder; n; n = n->m_pParent)
        if (n == &node)
            return true;
    return false;
}

} // namespace

// ---- creation and drawing --------------------------------------------------

int CFolderPane::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    for (int i = 0; i < 3; ++i)
        m_tabs.AddTab(&m_tabPages[i], theAlbumTexts.GetText(86 + i), i);
    if (!m_tabs.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 24), this, kTabStrip))
        return -1;
    auto skin = [](const char* face) { return theAlbum ? theAlbum->GetSkinPath(face) : std::string(face); };
    const std::string texture = skin("3dface.bmp");
    if (!m_back.Create("", CRect(5, 24, 29, 48), this, kBack, skin("folder_back.bmp").c_str(), nullptr, 1) ||
        !m_forward.Create("", CRect(30, 24, 54, 48), this, kForward, skin("folder_forward.bmp").c_str(), nullptr, 1))
        return -1;
    m_back.SetTexture(texture.c_str());
    m_forward.SetTexture(texture.c_str());
    m_images.Create(kImages, 16, 4, RGB(0, 255, 0));
    m_tree.m_pPane = this;
    if (!m_tree.Create(kTreeStyle, CRect(0, 0, 100, 100), this, kTree))
        return -1;
    m_tree.SetBkColor(kBackground);
    m_tree.SetImageList(&m_images, TVSIL_NORMAL);
    m_tree.DragAcceptFiles(TRUE);
    if (!m_timeline.Create(kListStyle, CRect(0, 0, 100, 100), this, kTimeline))
        return -1;
    m_timeline.SetBkColor(kBackground);
    m_timeline.SetTextBkColor(kBackground);
    m_timeline.SetImageList(&m_images, LVSIL_SMALL);
    m_timeline.InsertColumn(0, "", LVCFMT_LEFT, 200);
    m_mode = static_cast<int>(AfxGetApp()->GetProfileInt("Project", "ShowAllFixedDisk", kModeFixedDisk));
    LoadProjects();
    BuildTree();
    return 0;
}

void CFolderPane::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (!m_tree.m_hWnd)
        return;
    m_tabs.MoveWindow(1, 0, cx - 3, 24);
    m_back.MoveWindow(5, 24, 24, 24);
    m_forward.MoveWindow(30, 24, 24, 24);
    m_tree.MoveWindow(1, 50, cx - 7, cy - 53);
    m_timeline.MoveWindow(1, 50, cx - 7, cy - 53);
    m_timeline.SetColumnWidth(0, std::max(cx - 30, 50));
}

BOOL CFolderPane::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    if (theAlbum && theAlbum->m_patternBrush.GetSafeHandle())
        pDC->FillRect(&client, &theAlbum->m_patternBrush);
    else
        pDC->FillSolidRect(&client, RGB(192, 192, 192));
    pDC->FillSolidRect(client.right - 5, 0, 5, client.Height(), RGB(128, 128, 128));
    pDC->Draw3dRect(&client, RGB(192, 192, 192), RGB(0, 0, 0));
    CRect tree(0, 49, client.right - 5, client.bottom - 2);
    pDC->Draw3dRect(&tree, RGB(128, 128, 128), RGB(255, 255, 255));
    return TRUE;
}

BOOL CFolderPane::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (pWnd == &m_back || pWnd == &m_forward) {
        ::SetCursor(::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(kHandCursor)));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// ---- projects ------------------------------------------------------------------

bool CFolderPane::HasUserProjects() const
{
    return theAlbum && std::any_of(theAlbum->m_projects.begin(), theAlbum->m_projects.end(),
                                   [](const auto& p) { return p->m_bLoaded != 0; });
}

void CFolderPane::ForgetProjects(bool drivesOnly)
{
    FolderNode* current = CurrentFolder();
    if (!current)
        return;
    for (const auto& project : theAlbum->m_projects)
        if ((!drivesOnly || !project->m_bLoaded) && Holds(project->m_root, current)) {
            theAlbum->m_scanner.CloseFolder();
            ReloadList();
            return;
        }
}

void CFolderPane::LoadProjects()
{
    if (!theAlbum)
        return;
    ForgetProjects(false);
    ++m_quiet;
    if (m_tree.m_hWnd)
        m_tree.DeleteAllItems();
    --m_quiet;
    theAlbum->m_projects.clear();
    const int number = static_cast<int>(AfxGetApp()->GetProfileInt("Project", "Number", 0));
    LoadProjectList(theAlbum->m_folderSet, number, theAlbum->m_projects);
    if (theAlbum->m_projects.empty() && m_mode == kModeAlbum)
        m_mode = kModeFixedDisk;
    if (m_mode != kModeAlbum)
        AddFixedDrives();
}

void CFolderPane::SaveProjects()
{
    if (!theAlbum)
        return;
    const int count = SaveProjectList(theAlbum->m_folderSet, theAlbum->m_projects);
    AfxGetApp()->WriteProfileInt("Project", "Number", count);
}

std::function<std::vector<qlwin::FixedDrive>()> CFolderPane::s_driveSource;

void CFolderPane::AddFixedDrives()
{
    for (const qlwin::FixedDrive& drive : s_driveSource ? s_driveSource() : qlwin::GetFixedDrives()) {
        auto project = std::make_unique<Project>();
        project->Create(drive.root, qlwin::DriveLabel(drive));
        theAlbum->m_projects.push_back(std::move(project));
    }
}

// ---- the tree --------------------------------------------------------------------

void CFolderPane::InsertItems(FolderNode* node, HTREEITEM parent)
{
    if (!node->m_hItem)
        node->m_hItem = m_tree.InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM,
                                          node->m_label.c_str(), 0, 1, 0, 0, reinterpret_cast<LPARAM>(node), parent,
                                          TVI_LAST);
    if (!node->m_hItem)
        return;
    for (const auto& child : node->m_children)
        InsertItems(child.get(), node->m_hItem);
}

void CFolderPane::BuildTree()
{
    if (!theAlbum)
        return;
    ++m_quiet;
    m_tree.DeleteAllItems();
    for (const auto& project : theAlbum->m_projects)
        project->m_root.ClearTreeItems();
    for (const auto& project : theAlbum->m_projects)
        InsertItems(&project->m_root, TVI_ROOT);
    --m_quiet;
    if (!theAlbum->m_projects.empty() && theAlbum->m_projects.front()->m_root.m_hItem)
        m_tree.SelectItem(theAlbum->m_projects.front()->m_root.m_hItem);
    ShowMode();
}

FolderNode* CFolderPane::NodeOf(HTREEITEM item) const
{
    return item ? reinterpret_cast<FolderNode*>(m_tree.GetItemData(item)) : nullptr;
}

FolderNode* CFolderPane::GetSelectedNode() const { return NodeOf(m_tree.GetSelectedItem()); }

FolderNode* CFolderPane::FindNode(const std::string& path) const
{
    if (!theAlbum)
        return nullptr;
    for (const auto& project : theAlbum->m_projects) {
        FolderNode* node = &project->m_root;
        const std::string rootPath = node->GetPath();
        if (path.compare(0, rootPath.size(), rootPath) != 0)
            continue;
        std::string rest = path.substr(rootPath.size());
        while (node && !rest.empty()) {
            const std::size_t slash = rest.find('/');
            const std::string name = rest.substr(0, slash);
            FolderNode* next = nullptr;
            for (const auto& child : node->m_children)
                if (child->m_name == name)
                    next = child.get();
            node = next;
            rest = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
        }
        if (node && node->m_hItem)
            return node;
    }
    return nullptr;
}

void CFolderPane::SelectFolder(const std::string& path)
{
    for (int round = 0; round < 64; ++round) {
        FolderNode* node = FindNode(path);
        if (!node)
            return;
        HTREEITEM collapsed = nullptr;
        for (const FolderNode* up = node->m_pParent; up; up = up->m_pParent)
            if (up->m_hItem && !(m_tree.GetItemState(up->m_hItem, TVIS_EXPANDED) & TVIS_EXPANDED))
                collapsed = up->m_hItem; // the topmost one
        if (!collapsed) {
            m_tree.SelectItem(node->m_hItem);
            return;
        }
        m_tree.Expand(collapsed, TVE_EXPAND);
    }
}

LRESULT CFolderPane::OnReselect(WPARAM, LPARAM)
{
    FolderNode* current = CurrentFolder();
    if (!current || !current->m_hItem || m_tree.GetSelectedItem() == current->m_hItem)
        return 0;
    ++m_quiet;
    SelectFolder(current->GetPath());
    --m_quiet;
    return 0;
}

// ---- modes -------------------------------------------------------------------------

void CFolderPane::ShowMode()
{
    if (m_mode == kModeTimeline) {
        FillTimeline();
        if (m_timeline.GetItemCount() == 0) {
            m_mode = kModeFixedDisk;
            m_timelineReturn.clear();
        }
    }
    m_tabs.SetCurrent(m_mode);
    const bool timeline = m_mode == kModeTimeline;
    m_tree.ShowWindow(timeline ? SW_HIDE : SW_SHOW);
    m_timeline.ShowWindow(timeline ? SW_SHOW : SW_HIDE);
    UpdateHistoryButtons();
    if (m_pCommandBar && m_pCommandBar->m_hWnd)
        m_pCommandBar->UpdateButtons();
    if (m_modeChanged)
        m_modeChanged(m_mode);
}

void CFolderPane::SwitchMode(int mode)
{
    const bool hasDrives = theAlbum && std::any_of(theAlbum->m_projects.begin(), theAlbum->m_projects.end(),
                                                   [](const auto& p) { return !p->m_bLoaded; });
    switch (mode) {
    case kModeAlbum:
        if (!HasUserProjects()) {
            AfxMessageBox(kNoAlbum);
            SwitchMode(kModeFixedDisk);
            return;
        }
        m_mode = kModeAlbum;
        ForgetProjects(true);
        std::erase_if(theAlbum->m_projects, [](const auto& p) { return !p->m_bLoaded; });
        BuildTree();
        m_history.Clear();
        ShowMode();
        return;
    case kModeFixedDisk:
        m_mode = kModeFixedDisk;
        m_history.Clear();
        if (!hasDrives) {
            AddFixedDrives();
            BuildTree();
        }
        ShowMode();
        if (!m_timelineReturn.empty()) {
            const std::string path = m_timelineReturn;
            m_timelineReturn.clear();
            Locate(path);
        }
        return;
    case kModeTimeline:
        if (const FolderNode* current = CurrentFolder())
            m_timelineReturn = current->GetPath() + "/";
        m_mode = kModeTimeline;
        m_history.Clear();
        // The months are reached through the drives, as in the Fixed Disk view.
        if (!hasDrives) {
            AddFixedDrives();
            BuildTree();
        }
        ShowMode();
        return;
    default:
        return;
    }
}

LRESULT CFolderPane::OnTabChanged(WPARAM wParam, LPARAM)
{
    SwitchMode(static_cast<int>(wParam));
    return 0;
}

std::string CFolderPane::TimelineFolder() const
{
    if (!theAlbum)
        return {};
    const std::string& base =
        theAlbum->m_scanner.m_programFolder.empty() ? theAlbum->m_programFolder : theAlbum->m_scanner.m_programFolder;
    return base + "FolderSet/Virtual/Time/";
}

void CFolderPane::FillTimeline()
{
    m_timeline.DeleteAllItems();
    m_lastTimelineItem = -1;
    int index = 0;
    for (const TimelineMonth& month : ListTimelineMonths(TimelineFolder()))
        m_timeline.InsertItem(index++, month.name.c_str(), month.image);
}

void CFolderPane::OnTimelineChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* nm = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if (!(nm->uChanged & LVIF_STATE) || !(nm->uNewState & LVIS_SELECTED) || (nm->uOldState & LVIS_SELECTED))
        return;
    if (nm->iItem < 0 || nm->iItem == m_lastTimelineItem)
        return;
    m_lastTimelineItem = nm->iItem;
    Locate(TimelineFolder() + m_timeline.GetItemText(nm->iItem, 0).GetString() + "//");
}

// ---- history ------------------------------------------------------------------------

void CFolderPane::Locate(const std::string& path)
{
    if (m_locate)
        m_locate(path);
}

void CFolderPane::UpdateHistoryButtons()
{
    if (m_back.m_hWnd && (m_back.IsWindowEnabled() != FALSE) != m_history.CanGoBack()) {
        m_back.EnableWindow(m_history.CanGoBack());
        m_back.RedrawWindow();
    }
    if (m_forward.m_hWnd && (m_forward.IsWindowEnabled() != FALSE) != m_history.CanGoForward()) {
        m_forward.EnableWindow(m_history.CanGoForward());
        m_forward.RedrawWindow();
    }
}

void CFolderPane::GoBack()
{
    if (!m_history.CanGoForward())
        if (const FolderNode* current = CurrentFolder()) {
            m_history.Add(current->GetPath());
            m_history.Back();
        }
    const std::string path = m_history.Back();
    if (!path.empty())
        Locate(path);
    UpdateHistoryButtons();
}

void CFolderPane::GoForward()
{
    const std::string path = m_history.Forward();
    if (!path.empty())
        Locate(path);
    UpdateHistoryButtons();
}

BOOL CFolderPane::OnCommand(WPARAM wParam, LPARAM lParam)
{
    switch (LOWORD(wParam)) {
    case kBack:
        GoBack();
        return TRUE;
    case kForward:
        GoForward();
        return TRUE;
    default:
        return CWnd::OnCommand(wParam, lParam);
    }
}

// ---- opening --------------------------------------------------------------------------

void CFolderPane::ReloadList()
{
    if (m_pCommandBar && m_pCommandBar->m_hWnd)
        m_pCommandBar->ReloadListing(0);
}

void CFolderPane::OnSelChanged(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    if (!m_quiet)
        OpenSelected();
}

void CFolderPane::OpenSelected()
{
    FolderNode* current = CurrentFolder();
    if (current && !m_skipHistory) {
        m_history.Add(current->GetPath());
        UpdateHistoryButtons();
    } else {
        m_skipHistory = 0;
    }
    FolderNode* node = GetSelectedNode();
    if (!node || !theAlbum)
        return;
    if (current && m_pCommandBar)
        current->m_nListPos = m_pCommandBar->m_list.GetFirstVisibleItem();
    theAlbum->m_scanner.OpenFolder(node);
    ReloadList();
}

void CFolderPane::OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const auto* nm = reinterpret_cast<NMTREEVIEW*>(pNMHDR);
    if (nm->action & TVE_EXPAND)
        RefreshNode(nm->itemNew.hItem);
}

// The open folder's node may be replaced; the model finds it again by path
// (or closes it), and the tree selects its new item without reopening it.
void CFolderPane::RefreshNode(HTREEITEM item)
{
    FolderNode* node = NodeOf(item);
    if (!node || !theAlbum)
        return;
    const bool heldCurrent = CurrentFolder() && Holds(*node, CurrentFolder());
    ++m_quiet;
    for (HTREEITEM child = m_tree.GetChildItem(item); child;) {
        const HTREEITEM next = m_tree.GetNextSiblingItem(child);
        m_tree.DeleteItem(child);
        child = next;
    }
    for (const auto& child : node->m_children)
        child->ClearTreeItems();
    int refreshed = 0;
    {
        std::lock_guard lock(theAlbum->m_scanner.GetThread()->m_mutex);
        refreshed = theAlbum->m_scanner.m_model.RefreshChildren(node);
    }
    if (refreshed) {
        for (const auto& child : node->m_children)
            InsertItems(child.get(), item);
    } else if (node->m_pParent) {
        if (heldCurrent) {
            theAlbum->m_scanner.CloseFolder();
            ReloadList();
        }
        m_tree.DeleteItem(item);
        node->Detach();
    }
    FolderNode* current = CurrentFolder();
    --m_quiet;
    // The item being expanded is still collapsed here.
    if (current && current->m_hItem && m_tree.GetSelectedItem() != current->m_hItem)
        PostMessage(kReselectMessage);
    if (heldCurrent && !current)
        ReloadList();
    else if (heldCurrent && m_pCommandBar)
        m_pCommandBar->m_list.RedrawWindow();
}

// ---- rename and delete --------------------------------------------------------------------

void CFolderPane::StartRename()
{
    if (HTREEITEM item = m_tree.GetSelectedItem()) {
        m_tree.SetFocus();
        m_tree.EditLabel(item);
    }
}

bool CFolderPane::RenameFolder(HTREEITEM item, const char* text)
{
    FolderNode* node = NodeOf(item);
    if (!node || !text)
        return false;
    if (!node->m_pParent) {
        AfxMessageBox(theAlbumTexts.GetText(11));
        return false;
    }
    const std::string name = text;
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return false;
    std::string oldPath = node->GetPath();
    oldPath.pop_back();
    const std::string newPath = node->m_pParent->GetPath() + name;
    // Never onto an existing file or folder.
    if (!::MoveFile(oldPath.c_str(), newPath.c_str()))
        return false;
    m_tree.SetItemText(item, name.c_str());
    node->m_label = name;
    node->m_name = name;
    if (CurrentFolder() && Holds(*node, CurrentFolder()) && m_pCommandBar)
        m_pCommandBar->ReloadListing(1);
    return true;
}

void CFolderPane::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* nm = reinterpret_cast<NMTVDISPINFO*>(pNMHDR);
    *pResult = nm->item.pszText && RenameFolder(nm->item.hItem, nm->item.pszText) ? TRUE : FALSE;
}

void CFolderPane::OnTreeKeyDown(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    if (reinterpret_cast<NMTVKEYDOWN*>(pNMHDR)->wVKey == VK_DELETE)
        DeleteSelectedFolder();
}

int CFolderPane::Ask(const char* text, const char* caption)
{
    if (m_ask)
        return m_ask(text, caption);
    return ::MessageBox(m_hWnd, text, caption, MB_YESNO | MB_ICONQUESTION);
}

void CFolderPane::DeleteSelectedFolder()
{
    FolderNode* node = GetSelectedNode();
    if (!node || !node->m_pParent || !theAlbum)
        return;
    if (Ask(theAlbumTexts.GetText(0), "Warning!") != IDYES || Ask(theAlbumTexts.GetText(9), "Warning!") != IDYES)
        return;
    // The open folder goes first when it is inside.
    if (CurrentFolder() && Holds(*node, CurrentFolder())) {
        theAlbum->m_scanner.CloseFolder();
        ReloadList();
    }
    if (!node->DeleteFolder()) {
        AfxMessageBox(theAlbumTexts.GetText(1));
        return;
    }
    const int number = static_cast<int>(AfxGetApp()->GetProfileInt("Project", "Number", 0));
    LoadProjects();
    const auto loaded = std::count_if(theAlbum->m_projects.begin(), theAlbum->m_projects.end(),
                                      [](const auto& p) { return p->m_bLoaded != 0; });
    if (loaded < number) {
        AfxMessageBox("Error in refresh directory info.");
        // The close sequence runs and the message loop ends with 0.
        if (CWnd* main = AfxGetMainWnd())
            main->PostMessage(WM_CLOSE);
        return;
    }
    BuildTree();
}

// ---- dropped files and the menu ------------------------------------------------------------

void CFolderPane::DropFiles(HDROP drop)
{
    POINT point{};
    ::DragQueryPoint(drop, &point);
    const HTREEITEM item = m_mode == kModeTimeline ? nullptr : m_tree.HitTest(CPoint(point));
    FolderNode* node = NodeOf(item);
    if (node) {
        m_tree.SelectDropTarget(item);
        char question[512];
        std::snprintf(question, sizeof question, theAlbumTexts.GetText(34), node->m_label.c_str());
        if (Ask(question, "Move File(s)") == IDYES) {
            std::string from;
            const UINT count = ::DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
            for (UINT i = 0; i < count; ++i) {
                char path[MAX_PATH] = {};
                if (::DragQueryFile(drop, i, path, sizeof path)) {
                    from += path;
                    from += '\0';
                }
            }
            from += '\0';
            std::string to = node->GetPath();
            to += '\0';
            to += '\0';
            SHFILEOPSTRUCT op{};
            op.hwnd = m_hWnd;
            op.wFunc = FO_MOVE;
            op.pFrom = from.c_str();
            op.pTo = to.c_str();
            op.lpszProgressTitle = theAlbumTexts.GetText(15);
            const HTREEITEM selected = m_tree.GetSelectedItem();
            ::SHFileOperation(&op);
            if (m_pLayout)
                m_pLayout->Refresh();
            m_tree.Expand(item, TVE_COLLAPSE);
            if (selected)
                m_tree.Expand(selected, TVE_COLLAPSE);
        }
    }
    m_tree.SelectDropTarget(nullptr);
    ::DragFinish(drop);
}

void CFolderPane::ShowTreeMenu(CPoint screen)
{
    CBitmapMenu menu;
    if (!menu.LoadMenu(kMenu))
        return;
    CBitmapMenu::s_flatStyleSameColours = 1;
    CBitmapMenu::s_flatStyleOtherColours = 1;
    if (CMenu* popup = menu.GetSubMenu(0))
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, AfxGetMainWnd());
    menu.DestroyMenu();
}

BOOL CFolderPane::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_RBUTTONDOWN && m_tree.m_hWnd &&
        (pMsg->hwnd == m_tree.m_hWnd || ::IsChild(m_tree.m_hWnd, pMsg->hwnd))) {
        POINT p{GET_X_LPARAM(pMsg->lParam), GET_Y_LPARAM(pMsg->lParam)};
        ::MapWindowPoints(pMsg->hwnd, m_tree.m_hWnd, &p, 1);
        if (HTREEITEM item = m_tree.HitTest(CPoint(p))) {
            m_tree.SelectItem(item);
            ::ClientToScreen(m_tree.m_hWnd, &p);
            ShowTreeMenu(CPoint(p));
            return TRUE;
        }
    }
    return CWnd::PreTranslateMessage(pMsg);
}

} // namespace shelf
