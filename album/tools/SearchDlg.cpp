#include "album/tools/SearchDlg.h"

#include "album/shell/AlbumTextTable.h"
#include "album/shell/PhotoListModel.h"
#include "album/tools/SearchThread.h"
#include "editor/shell/FolderBrowser.h"
#include "editor/ui/BitmapMenu.h"
#include "platform/afx/Clipboard.h"
#include "platform/afx/MsgMap.h"
#include "platform/win/FileOps.h"
#include "platform/win/GlobalMemory.h"

#include <cstring>

namespace shelf {

namespace {

constexpr char kStart[] = "Start Search";
constexpr char kStop[] = "Stop Search";

HGLOBAL fixedBlock(const std::string& bytes)
{
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, bytes.size());
    if (block)
        std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    if (block)
        GlobalUnlock(block);
    return block;
}

} // namespace

BEGIN_MESSAGE_MAP(CSearchDlg, CSkinDialog)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_TIMER()
    ON_NOTIFY(TVN_SELCHANGED, kTree, OnTreeSelChanged)
    ON_MESSAGE(WM_SEARCH_PHOTO, OnSearchNotice)
    ON_MESSAGE(WM_THUMBLIST_NOTIFY, OnListNotice)
    ON_COMMAND(kGoTo, OnGoTo)
    ON_COMMAND(kGoToFolderCmd, OnGoTo)
    ON_COMMAND(kViewCmd, OnView)
    ON_COMMAND(kCopyCmd, OnCopy)
    ON_COMMAND(kCopyAllCmd, OnCopyAll)
END_MESSAGE_MAP()

CSearchDlg::CSearchDlg(CSearchThread& thread) : CSkinDialog(kTemplate, nullptr), m_thread(thread)
{
    m_wantBackdrop = 0;
}

CSearchDlg::~CSearchDlg()
{
    if (m_searching)
        m_thread.StopSearch();
    if (m_thread.GetNotifyWindow() == m_hWnd)
        m_thread.SetNotifyWindow(nullptr);
    if (m_hWnd)
        DestroyWindow();
}

BOOL CSearchDlg::CreateHidden() { return Create(kTemplate, CWnd::FromHandle(::GetDesktopWindow())); }

void CSearchDlg::ShowOnTop()
{
    if (!IsWindowVisible())
        ShowWindow(SW_SHOW);
    ::SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

int CSearchDlg::OnCreate(LPCREATESTRUCT cs)
{
    if (CSkinDialog::OnCreate(cs) == -1)
        return -1;
    if (!m_grid.m_hWnd && !m_grid.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, kGrid))
        return -1;
    if (!m_list.m_hWnd && !m_list.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, kList))
        return -1;
    m_list.m_pDialog = this;
    m_list.SetBkColor(RGB(240, 240, 240));
    return 0;
}

BOOL CSearchDlg::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    m_thread.SetNotifyWindow(m_hWnd);
    if (AfxGetApp() && (m_icon = AfxGetApp()->LoadIcon(kIcon)) != nullptr) {
        SetIcon(m_icon, TRUE);
        SetIcon(m_icon, FALSE);
    }
    m_tree.SubclassDlgItem(kTree, this);
    m_goToButton.SubclassDlgItem(kGoTo, this);
    m_goToButton.SetIcons(kGoToPicture, 0, 32, 32);
    // Grid and list were made before the template's children: lift them.
    m_grid.BringWindowToTop();
    m_list.BringWindowToTop();
    // The work area, as a maximised window would take it.
    RECT work{};
    if (::SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0) && work.right > work.left)
        MoveWindow(&work);
    FillTree();
    GetDlgItem(kGoTo)->EnableWindow(FALSE);
    return TRUE;
}

void CSearchDlg::FillTree()
{
    const HTREEITEM root = m_tree.InsertItem("Search Settings");
    m_tree.SetItemData(root, 0);
    const char* groups[] = {"General", "Image Shape", "Histograms and statistics", "Advance"};
    HTREEITEM first = nullptr;
    for (int i = 0; i < 4; ++i) {
        const HTREEITEM item = m_tree.InsertItem(groups[i], root);
        m_tree.SetItemData(item, static_cast<DWORD_PTR>(i + 1));
        if (!first)
            first = item;
    }
    m_tree.Expand(root, TVE_EXPAND);
    m_tree.SelectItem(first);
    m_grid.SetParamList(m_rows.List(1));
}

void CSearchDlg::OnTreeSelChanged(NMHDR*, LRESULT* result)
{
    m_grid.Commit();
    const HTREEITEM item = m_tree.GetSelectedItem();
    m_grid.SetParamList(m_rows.List(item ? static_cast<int>(m_tree.GetItemData(item)) : 0));
    m_grid.Invalidate();
    if (result)
        *result = 0;
}

void CSearchDlg::OnSize(UINT type, int cx, int cy)
{
    CSkinDialog::OnSize(type, cx, cy);
    CWnd* tree = GetDlgItem(kTree);
    if (!tree || !m_grid.m_hWnd || !m_list.m_hWnd)
        return;
    CRect t;
    tree->GetWindowRect(&t);
    ScreenToClient(&t);
    const CRect group(t.left, t.bottom + 10, t.right, cy - 40);
    if (CWnd* box = GetDlgItem(kSettings))
        box->MoveWindow(&group);
    m_grid.MoveWindow(group.left + 8, group.top + 25, group.Width() - 16, group.Height() - 33);
    m_grid.SetLabelWidth(t.Width() - 140);
    m_list.MoveWindow(t.right + 5, t.top, cx - 5 - (t.right + 5), cy - 40 - t.top);
    if (CWnd* path = GetDlgItem(kPathBox))
        path->MoveWindow(t.left + 85, cy - 35, cx - t.left - 400, 30);
    if (CWnd* go = GetDlgItem(kGoTo))
        go->MoveWindow(t.left, cy - 35, 80, 30);
    if (CWnd* close = GetDlgItem(IDCANCEL))
        close->MoveWindow(cx - 310, cy - 35, 150, 30);
    if (CWnd* start = GetDlgItem(IDOK))
        start->MoveWindow(cx - 150, cy - 35, 140, 30);
    Invalidate();
}

void CSearchDlg::SetSearching(bool on)
{
    m_searching = on;
    SetDlgItemText(IDOK, on ? kStop : kStart);
    m_grid.EnableWindow(on ? FALSE : TRUE);
    if (on)
        GetDlgItem(kGoTo)->EnableWindow(FALSE);
}

void CSearchDlg::StopSearching()
{
    m_thread.StopSearch();
    SetSearching(false);
}

void CSearchDlg::OnOK()
{
    if (m_searching) {
        StopSearching();
    } else {
        m_grid.Commit();
        SearchCriteria criteria;
        std::vector<std::string> folders;
        const int error = m_rows.Read(m_scope ? m_scope() : SearchScope{}, criteria, folders);
        if (error) {
            MessageBox(theAlbumTexts.GetText(error), nullptr, MB_OK | MB_ICONEXCLAMATION);
        } else {
            ClearHits();
            m_thread.StartSearch(std::move(criteria), std::move(folders));
            SetSearching(true);
            m_list.RedrawWindow();
        }
    }
    SetDlgItemText(kPathBox, "");
}

void CSearchDlg::OnCancel()
{
    if (m_searching)
        StopSearching();
    SetDlgItemText(kPathBox, "");
    ClearHits();
    ShowWindow(SW_HIDE);
}

void CSearchDlg::ClearHits()
{
    m_list.DeleteAllItems();
    m_thumbs.clear();
    m_paths.clear();
    GetDlgItem(kGoTo)->EnableWindow(FALSE);
}

LRESULT CSearchDlg::OnSearchNotice(WPARAM wParam, LPARAM lParam)
{
    if (wParam == 0 && m_searching)
        SetDlgItemText(kPathBox, m_thread.Search().LatestPath().c_str());
    else if (wParam == 1 && IsWindowVisible())
        AddHit(static_cast<int>(lParam));
    else if (wParam == 2 && m_searching)
        OnOK();
    return 0;
}

void CSearchDlg::AddHit(int index)
{
    auto thumb = std::make_unique<CQLImage>();
    std::string path, name;
    if (!m_thread.Search().GetResult(index, &path, &name, thumb.get()))
        return;
    const int item = m_list.AddItem(name.c_str(), thumb.get());
    m_list.SetItemData(item, static_cast<DWORD_PTR>(m_paths.size()));
    m_thumbs.push_back(std::move(thumb));
    m_paths.push_back(path);
    m_list.EnsureVisible(item);
    m_list.Invalidate();
}

std::string CSearchDlg::HitPath(int index) const
{
    if (index < 0 || index >= m_list.GetItemCount())
        return {};
    const auto at = static_cast<std::size_t>(m_list.GetItemData(index));
    return at < m_paths.size() ? m_paths[at] : std::string();
}

std::vector<std::string> CSearchDlg::SelectedHitPaths() const
{
    std::vector<std::string> paths;
    for (int i = m_list.GetCurSel(); i >= 0; i = m_list.GetNextSelected(i))
        paths.push_back(HitPath(i));
    return paths;
}

LRESULT CSearchDlg::OnListNotice(WPARAM wParam, LPARAM)
{
    if (wParam != kThumbSelChanged)
        return 0;
    const int selected = m_list.GetCurSel();
    if (selected >= 0) {
        SetDlgItemText(kPathBox, HitPath(selected).c_str());
        GetDlgItem(kGoTo)->EnableWindow(m_searching ? FALSE : TRUE);
    } else {
        GetDlgItem(kGoTo)->EnableWindow(FALSE);
    }
    return 0;
}

void CSearchDlg::OnGoTo()
{
    CString path;
    GetDlgItemText(kPathBox, path);
    if (path.IsEmpty() || !m_goTo)
        return;
    m_goTo(path.GetString());
    if (CWnd* main = AfxGetMainWnd())
        main->BringWindowToTop();
}

void CSearchDlg::OpenHit(int index)
{
    m_openPath = HitPath(index);
    if (m_openPath.empty())
        return;
    ::SetCursorPos(0, 0);
    // The album goes there after a pause, without holding up this window.
    SetTimer(kOpenTimer, 500, nullptr);
}

void CSearchDlg::OnTimer(UINT_PTR id)
{
    if (id != kOpenTimer)
        return;
    KillTimer(kOpenTimer);
    if (!m_openPath.empty() && m_goTo)
        m_goTo(m_openPath);
    m_openPath.clear();
}

void CSearchDlg::ShowHitMenu(CPoint screen)
{
    CBitmapMenu menu;
    if (!menu.LoadMenu(kMenu))
        return;
    if (CMenu* popup = menu.GetSubMenu(0)) {
        const UINT state = m_list.GetCurSel() >= 0 ? MF_ENABLED : MF_GRAYED;
        for (UINT id : {kGoToFolderCmd, kViewCmd, kCopyCmd})
            popup->EnableMenuItem(id, MF_BYCOMMAND | state);
        popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, this);
    }
    menu.DestroyMenu();
}

void CSearchDlg::OnView()
{
    const int selected = m_list.GetCurSel();
    if (selected < 0 || !m_view)
        return;
    std::vector<std::string> paths;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        paths.push_back(HitPath(i));
    m_view(std::move(paths), selected);
}

bool CSearchDlg::CopySelected()
{
    const std::vector<std::string> paths = SelectedHitPaths();
    if (paths.empty())
        return false;
    HGLOBAL block = fixedBlock(MakeDropBlock(paths));
    if (!block)
        return false;
    if (!OpenClipboard()) {
        GlobalFree(block);
        MessageBox("Cannot open the Clipboard", nullptr, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ::EmptyClipboard();
    const bool placed = ::SetClipboardData(CF_HDROP, block) != nullptr;
    if (!placed)
        GlobalFree(block);
    ::CloseClipboard();
    // A later paste in the album copies these rather than moving them.
    if (placed && m_clearCutMark)
        m_clearCutMark();
    return placed;
}

void CSearchDlg::OnCopy() { CopySelected(); }

int CSearchDlg::CopyAllTo(const std::string& folder)
{
    if (m_paths.empty())
        return 0;
    std::string from;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        from += HitPath(i) + '\0';
    from += '\0';
    const std::string to = folder + '\0';
    const std::string title = theAlbumTexts.GetText(72);
    SHFILEOPSTRUCT op{};
    op.hwnd = m_hWnd;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = 0;
    op.lpszProgressTitle = title.c_str();
    return SHFileOperationA(&op);
}

void CSearchDlg::OnCopyAll()
{
    char folder[MAX_PATH] = {};
    if (BrowseForFolder(folder, theAlbumTexts.GetText(72), this, nullptr, nullptr) && folder[0])
        CopyAllTo(folder);
}

} // namespace shelf
