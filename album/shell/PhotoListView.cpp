#include "album/shell/PhotoListView.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "editor/ui/BitmapMenu.h"
#include "platform/afx/Clipboard.h"
#include "platform/afx/OleDrag.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileOps.h"

#include <cstring>
#include <strings.h>

namespace shelf {

IMPLEMENT_DYNAMIC(CPhotoListView, CThumbListCtrl)

BEGIN_MESSAGE_MAP(CPhotoListView, CThumbListCtrl)
    ON_WM_RBUTTONDOWN()
    ON_WM_DROPFILES()
    ON_MESSAGE(WM_LIST_REPAINT_ENTRY, OnRepaintEntry)
END_MESSAGE_MAP()

namespace {

HICON ShelfIcon(UINT id) { return AfxGetApp() ? AfxGetApp()->LoadIcon(id) : nullptr; }

// The marks keep their own size.
void DrawMark(CDC* dc, int x, int y, UINT id)
{
    if (HICON icon = ShelfIcon(id))
        ::DrawIconEx(dc->GetSafeHdc(), x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}

bool IsLinkName(const char* name) { return CQLImageCodec::GetFileType(name) == QL_FILE_LINK; }

// The bytes in a new global block; NULL when it cannot be made.
HGLOBAL GlobalBlock(UINT flags, const std::string& bytes)
{
    HGLOBAL block = GlobalAlloc(flags, bytes.size());
    void* at = GlobalLock(block);
    if (!at) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(at, bytes.data(), bytes.size());
    GlobalUnlock(block);
    return block;
}

// A shell operation over a list of paths (NUL-separated, double-NUL-ended).
int RunFileOperation(HWND owner, UINT func, const std::string& from, const char* to, FILEOP_FLAGS flags,
                     const char* title)
{
    SHFILEOPSTRUCT op{};
    op.hwnd = owner;
    op.wFunc = func;
    op.pFrom = from.c_str();
    // The target is a list too: double-NUL-ended.
    const std::string toList = to ? std::string(to) + '\0' : std::string();
    op.pTo = to ? toList.c_str() : nullptr;
    op.fFlags = flags;
    op.lpszProgressTitle = title;
    return ::SHFileOperation(&op);
}

} // namespace

CPhotoListView::~CPhotoListView()
{
    if (theAlbum && theAlbum->m_scanner.GetThread() && theAlbum->m_scanner.GetThread()->m_pNotify.load() == this)
        theAlbum->m_scanner.SetNotifyList(nullptr);
    DestroyWindow();
}

std::unique_lock<std::mutex> CPhotoListView::LockEntries() const
{
    if (theAlbum && theAlbum->m_scanner.GetThread())
        return std::unique_lock<std::mutex>(theAlbum->m_scanner.GetThread()->m_mutex);
    return {};
}

int CPhotoListView::OnCreate(LPCREATESTRUCT cs)
{
    if (CThumbListCtrl::OnCreate(cs) == -1)
        return -1;
    // The View Photo dialog comes with its own work; until then opening a
    // photo does nothing.
    DragAcceptFiles(TRUE);
    m_viewMode = static_cast<int>(AfxGetApp() ? AfxGetApp()->GetProfileInt("Interface", "qlaListView", 0) : 0);
    RecalcLayout(true);
    return 0;
}

// ---- filling, orders and the thumbnail thread ----------------------------

void CPhotoListView::Fill(const FolderEntries& model, int sortMode)
{
    struct Item {
        const char* name;
        PhotoEntry* entry;
    };
    std::vector<Item> present;
    bool complete = false;
    {
        std::unique_lock lock = LockEntries();
        m_folder = model.m_pCurrent ? model.m_pCurrent->GetPath() : std::string();
        m_generation = model.m_generation;
        for (const auto& entry : model.m_entries)
            if (entry->m_bPresent)
                present.push_back({entry->m_info.szFileName, entry.get()});
        complete = model.IsAllComplete() != 0;
    }
    m_generationKnown = true;
    m_sortMode = sortMode;
    // Outside the lock: the parent hears of the emptied selection and may paint.
    DeleteAllItems();
    for (const Item& item : present) {
        const int index = AddItem(item.name, &item.entry->m_thumb);
        SetItemData(index, reinterpret_cast<DWORD_PTR>(item.entry));
    }
    if (complete) {
        std::unique_lock lock = LockEntries();
        if (sortMode == 0)
            SortItems();
        else if (sortMode == 1)
            SortByTime();
    }
    RebuildIndex();
    if (m_hWnd)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
}

void CPhotoListView::RebuildIndex()
{
    m_indexOf.clear();
    for (int i = 0; i < GetItemCount(); ++i)
        m_indexOf.emplace(EntryOf(m_items[static_cast<std::size_t>(i)]), i);
}

void CPhotoListView::SortItems()
{
    SortThumbItems(m_items, NameOrderLess);
    RebuildIndex();
}

void CPhotoListView::SortByTime()
{
    SortThumbItems(m_items, TimeOrderLess);
    RebuildIndex();
}

void CPhotoListView::RepaintEntry(PhotoEntry* entry, std::uint64_t generation)
{
    if (m_hWnd)
        PostMessage(WM_LIST_REPAINT_ENTRY, reinterpret_cast<WPARAM>(entry), static_cast<LPARAM>(generation));
}

LRESULT CPhotoListView::OnRepaintEntry(WPARAM wParam, LPARAM lParam)
{
    if (!m_generationKnown || static_cast<std::uint64_t>(lParam) != m_generation)
        return 0;
    if (auto it = m_indexOf.find(reinterpret_cast<const PhotoEntry*>(wParam)); it != m_indexOf.end())
        RepaintItem(it->second);
    return 0;
}

void CPhotoListView::DropItems()
{
    m_items.clear();
    m_indexOf.clear();
    m_generationKnown = false;
    m_hover = -1;
    m_pendingClick = FALSE;
    UpdateScrollBar();
    if (m_hWnd)
        Invalidate();
}

void CPhotoListView::RefreshFolder()
{
    if (!theAlbum || !theAlbum->m_scanner.GetThread())
        return;
    theAlbum->m_scanner.Rescan();
    Reload();
}

void CPhotoListView::Reload(const std::vector<const PhotoEntry*>& keep)
{
    if (!theAlbum)
        return;
    Fill(theAlbum->m_scanner.m_model, m_sortMode);
    for (const PhotoEntry* entry : keep)
        if (auto it = m_indexOf.find(entry); it != m_indexOf.end())
            SetSelected(it->second);
    if (!keep.empty()) {
        EnsureVisible(GetCurSel());
        OnSelChanged();
    }
}

std::vector<const PhotoEntry*> CPhotoListView::SelectedEntries() const
{
    std::vector<const PhotoEntry*> entries;
    for (int i = GetCurSel(); i >= 0; i = GetNextSelected(i))
        entries.push_back(EntryOf(m_items[static_cast<std::size_t>(i)]));
    return entries;
}

// ---- paths ---------------------------------------------------------------

std::string CPhotoListView::ItemPath(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return {};
    const ThumbListItem& item = m_items[static_cast<std::size_t>(index)];
    const PhotoEntry* entry = EntryOf(item);
    return m_folder + (entry ? entry->m_info.szFileName : item.text);
}

std::vector<std::string> CPhotoListView::SelectedPaths(bool filesOnly) const
{
    std::vector<std::string> paths;
    for (int i = GetCurSel(); i >= 0; i = GetNextSelected(i)) {
        const PhotoEntry* entry = EntryOf(m_items[static_cast<std::size_t>(i)]);
        if (filesOnly && entry && (entry->m_bFolder || IsLinkName(entry->m_info.szFileName)))
            continue;
        paths.push_back(ItemPath(i));
    }
    return paths;
}

std::string CPhotoListView::GetSelectedPath() const { return ItemPath(GetCurSel()); }

int CPhotoListView::GetSelectedFiles(std::vector<std::string>& files) const
{
    files = SelectedPaths(true);
    return static_cast<int>(files.size());
}

BOOL CPhotoListView::SelectItemByText(const char* text)
{
    const int index = FindItemByText(text);
    if (index < 0)
        return FALSE;
    SelectItem(0, index);
    EnsureVisible(index);
    return TRUE;
}

int CPhotoListView::FindItemByPath(const char* path) const
{
    for (int i = 0; i < GetItemCount(); ++i) {
        const PhotoEntry* entry = EntryOf(m_items[static_cast<std::size_t>(i)]);
        if (entry && entry->m_bFolder)
            continue;
        if (strcasecmp(ItemPath(i).c_str(), path) == 0)
            return i;
    }
    return -1;
}

int CPhotoListView::GetFirstVisibleItem() const
{
    for (int i = 0; i < GetItemCount(); ++i) {
        const RECT r = GetItemRect(i);
        if (!IsRectEmpty(r) && r.bottom > 0)
            return i;
    }
    return -1;
}

// ---- opening -------------------------------------------------------------

void CPhotoListView::OpenItem(int index)
{
    const PhotoEntry* entry = index >= 0 && index < GetItemCount() ? EntryOf(m_items[static_cast<std::size_t>(index)]) : nullptr;
    if (!entry)
        return;
    if (!entry->m_bFolder) {
        int selected = 0;
        std::vector<std::string> paths = PhotoPaths(&selected);
        if (m_openPhoto && !paths.empty())
            m_openPhoto(std::move(paths), selected);
        return;
    }
    if (CWnd* main = AfxGetMainWnd())
        main->PostMessage(WM_SELECT_FOLDER, reinterpret_cast<WPARAM>(entry->m_pNode ? entry->m_pNode->m_hItem : nullptr),
                          reinterpret_cast<LPARAM>(entry->m_pNode));
}

std::vector<std::string> CPhotoListView::PhotoPaths(int* selected) const
{
    std::vector<std::string> paths;
    *selected = 0;
    const int first = GetCurSel();
    for (int i = 0; i < GetItemCount(); ++i) {
        const PhotoEntry* entry = EntryOf(m_items[static_cast<std::size_t>(i)]);
        if (!entry || entry->m_bFolder || !entry->m_bPresent)
            continue;
        if (i == first)
            *selected = static_cast<int>(paths.size());
        paths.push_back(ItemPath(i));
    }
    return paths;
}

void CPhotoListView::OnLButtonDblClk(UINT, CPoint point) { OpenItem(HitTest(point.x, point.y)); }

// ---- drawing -------------------------------------------------------------

HICON CPhotoListView::GetItemIcon(int index)
{
    m_iconOverlay = FALSE;
    if (index < 0 || index >= GetItemCount())
        return nullptr;
    const PhotoEntry* entry = EntryOf(m_items[static_cast<std::size_t>(index)]);
    if (entry && entry->m_bFolder)
        return ShelfIcon(157);
    m_iconOverlay = TRUE;
    return ShelfIcon(133);
}

void CPhotoListView::DrawThumbnailCell(int index, CDC* dc)
{
    const RECT r = GetItemRect(index);
    if (IsRectEmpty(r))
        return;
    std::unique_lock lock = LockEntries(); // the thread replaces thumbnails under it
    CThumbListCtrl::DrawThumbnailCell(index, dc);
    const ThumbListItem& item = m_items[static_cast<std::size_t>(index)];
    const PhotoEntry* entry = EntryOf(item);
    if (!entry)
        return;
    const int left = r.left + 1, top = r.top;
    if (IsLinkName(entry->m_info.szFileName))
        DrawMark(dc, left, top + 100, 225);
    if (HasShootingValues(*entry)) {
        DrawMark(dc, left, top + 1, 197);
        if (entry->m_info.nThumbState == kThumbFirstPass) {
            const RECT mark{left, top + 1, left + 6, top + 16};
            CBrush red(RGB(255, 0, 0));
            dc->FrameRect(&mark, &red);
        }
    }
    if (!entry->m_bFolder) {
        if (item.selected) {
            CGdiObject* old = dc->SelectStockObject(WHITE_PEN);
            dc->MoveTo(r.right - 9, r.bottom - 3);
            dc->LineTo(r.right - 7, r.bottom - 1);
            dc->LineTo(r.right - 1, r.bottom - 7);
            dc->SelectObject(old);
        } else {
            const RECT box{r.right - 9, r.bottom - 9, r.right - 1, r.bottom - 1};
            CBrush grey(RGB(160, 160, 160));
            dc->FrameRect(&box, &grey);
        }
    } else if (entry->m_thumb.GetAreaByteSize()) {
        DrawMark(dc, (r.left + r.right) / 2 - 12, (r.top + r.bottom) / 2 - 28, 195);
    }
}

void CPhotoListView::DrawDetailLine(int index, CDC* dc)
{
    const RECT r = GetItemRect(index);
    if (IsRectEmpty(r))
        return;
    std::unique_lock lock = LockEntries();
    CThumbListCtrl::DrawDetailLine(index, dc);
    const ThumbListItem& item = m_items[static_cast<std::size_t>(index)];
    const PhotoEntry* entry = EntryOf(item);
    if (!entry)
        return;
    const PhotoFileInfo& info = entry->m_info;
    const int x = r.left, y = r.top;
    if (entry->m_bFolder) {
        const int h = r.bottom - r.top - 1;
        dc->FillSolidRect(x + 1, y + 1, h, h - 2, RGB(220, 220, 220));
        DrawMark(dc, x, y, 195);
    }
    CFont* oldFont = dc->SelectObject(&m_font);
    const int oldMode = dc->SetBkMode(TRANSPARENT);
    const COLORREF oldColour = dc->SetTextColor(item.selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
    auto text = [&](int at, const std::string& s) { dc->TextOut(x + at, y + 4, s.c_str(), static_cast<int>(s.size())); };
    if (info.nWidth != 0)
        text(240, std::to_string(info.nWidth) + "x" + std::to_string(info.nHeight));
    if (!entry->m_bFolder) {
        text(305, DateText(info.stDateTaken));
        text(400, SizeText(static_cast<std::uint32_t>(info.nFileSize)));
    }
    text(480, ShootingText(info));
    dc->SetTextColor(oldColour);
    dc->SetBkMode(oldMode);
    dc->SelectObject(oldFont);
}

// ---- mouse ---------------------------------------------------------------

bool CPhotoListView::InCorner(int index, CPoint point) const
{
    const RECT r = GetItemRect(index);
    return index >= 0 && !IsRectEmpty(r) && point.x > r.right - 9 && point.y > r.bottom - 9;
}

void CPhotoListView::OnLButtonDown(UINT flags, CPoint point)
{
    const int hit = HitTest(point.x, point.y);
    if (InCorner(hit, point)) {
        SetFocus();
        SelectItem(MK_CONTROL, hit);
        return;
    }
    CThumbListCtrl::OnLButtonDown(flags, point);
    if (GetCurSel() >= 0 && !m_dragging) {
        m_dragging = TRUE;
        StartDrag(flags, point);
        m_dragging = FALSE;
    }
}

void CPhotoListView::OnLButtonUp(UINT flags, CPoint point)
{
    if (InCorner(HitTest(point.x, point.y), point))
        return;
    CThumbListCtrl::OnLButtonUp(flags, point);
}

void CPhotoListView::StartDrag(UINT flags, CPoint point)
{
    const std::vector<std::string> paths = SelectedPaths(false);
    if (paths.empty())
        return;
    HGLOBAL data = GlobalBlock(GMEM_MOVEABLE, MakeDropBlock(paths));
    if (!data)
        return;
    COleDataSource source;
    source.CacheGlobalData(CF_HDROP, data);
    POINT at;
    ::GetCursorPos(&at);
    const RECT square{at.x - kDragSquare, at.y - kDragSquare, at.x + kDragSquare, at.y + kDragSquare};
    const DROPEFFECT effect = source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_LINK, &square);
    if (effect == DROPEFFECT_NONE)
        OnLButtonUp(flags, point);
}

void CPhotoListView::OnRButtonDown(UINT flags, CPoint point)
{
    const int hit = HitTest(point.x, point.y);
    SetFocus();
    if (hit < 0 || !m_items[static_cast<std::size_t>(hit)].selected)
        SelectItem(flags, hit);
    CBitmapMenu menu;
    if (!menu.LoadMenu(kMenu))
        return;
    menu.LoadToolbarImages(128);
    CBitmapMenu::s_flatStyleSameColours = 1;
    CBitmapMenu::s_flatStyleOtherColours = 1;
    CMenu* popup = menu.GetSubMenu(0);
    if (!popup)
        return;
    ClientToScreen(&point);
    CWnd* owner = AfxGetMainWnd() ? AfxGetMainWnd() : this;
    popup->TrackPopupMenu(TPM_RIGHTBUTTON, point.x, point.y, owner);
}

// ---- files ---------------------------------------------------------------

void CPhotoListView::OnCopyRequest()
{
    const std::vector<std::string> paths = SelectedPaths(false);
    if (paths.empty())
        return;
    HGLOBAL data = GlobalBlock(GMEM_FIXED, MakeDropBlock(paths));
    if (!data)
        return;
    if (!OpenClipboard()) {
        GlobalFree(data);
        AfxMessageBox("Cannot open the Clipboard");
        return;
    }
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_HDROP, data))
        GlobalFree(data);
    ::CloseClipboard();
}

BOOL CPhotoListView::CanPaste()
{
    if (!OpenClipboard())
        return FALSE;
    const BOOL has = ::IsClipboardFormatAvailable(CF_HDROP);
    ::CloseClipboard();
    return has;
}

void CPhotoListView::OnPasteRequest()
{
    if (!OpenClipboard())
        return;
    std::vector<std::string> paths;
    HGLOBAL data = ::GetClipboardData(CF_HDROP);
    const bool read = data && ParseDropBlock(GlobalLock(data), GlobalSize(data), paths);
    if (data)
        GlobalUnlock(data);
    ::CloseClipboard();
    if (!read || paths.empty())
        return;
    const bool cut = m_pCutFlag && *m_pCutFlag;
    std::vector<std::string> from;
    for (const auto& path : paths) {
        const auto slash = path.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        // A move into the folder the file is in already moves nothing.
        if (!(cut && strcasecmp(folder.c_str(), m_folder.c_str()) == 0))
            from.push_back(path);
    }
    if (!from.empty())
        RunFileOperation(m_hWnd, cut ? FO_MOVE : FO_COPY, JoinPathList(from), m_folder.c_str(), 0,
                         theAlbumTexts.GetText(15));
    if (m_pCutFlag)
        *m_pCutFlag = 0;
    RefreshFolder();
}

void CPhotoListView::OnDropFiles(HDROP drop)
{
    const UINT count = ::DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFile(drop, i, nullptr, 0);
        std::string path(length + 1, '\0');
        ::DragQueryFile(drop, i, path.data(), length + 1);
        path.resize(length);
        const auto slash = path.rfind('/');
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        if (CQLImageCodec::GetFileType(name.c_str()) == QL_FILE_UNKNOWN)
            continue;
        const std::string target = m_folder + name;
        if (strcasecmp(path.c_str(), target.c_str()) != 0)
            RunFileOperation(m_hWnd, FO_COPY, JoinPathList({path}), m_folder.c_str(), FOF_RENAMEONCOLLISION,
                             theAlbumTexts.GetText(15));
        RefreshFolder();
    }
    ::DragFinish(drop);
}

void CPhotoListView::OnDeleteKey()
{
    const std::vector<std::string> paths = SelectedPaths(false);
    if (paths.empty())
        return;
    RunFileOperation(m_hWnd, FO_DELETE, JoinPathList(paths), "", 0, "Delete file(s)");
    RefreshFolder();
}

} // namespace shelf
