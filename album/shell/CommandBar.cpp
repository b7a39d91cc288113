#include "album/shell/CommandBar.h"

#include "album/shell/ExifBar.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "album/shell/FolderPane.h"
#include "album/shell/ImportPhotosDlg.h"
#include "album/shell/MainFrame.h"
#include "album/shell/LayoutWnd.h"
#include "album/shell/RenameDlg.h"
#include "album/shell/SlideShowDlg.h"
#include "platform/afx/CommDlg.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Folders.h"
#include "platform/win/Process.h"
#include "platform/win/Wallpaper.h"

#include <cstdio>
#include <cstring>
#include <future>
#include <unistd.h>

namespace shelf {

BEGIN_MESSAGE_MAP(CCommandBar, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_THUMBLIST_NOTIFY, OnThumbListNotify)
END_MESSAGE_MAP()

namespace {

constexpr const char* kImportFilter =
    "All Image Files|*.bmp;*.jpg;*.jpeg;*.gif;*.pcx;*.tif;*.tiff;*.tga;*.png|Windows Bitmap Files(*.bmp)|*.bmp|Jpeg "
    "Files(*.jpg;*.jpeg)|*.jpg;*.jpeg|Tagged Image File Format(*.tif;*.tiff)|*.tif;*.tiff|Compuserve "
    "GIF(*.gif)|*.gif|Portable Network Graphics(*.png)|*.png|Zsoft PaintBrush Fils(*.pcx)|*.pcx|Truevision "
    "Targa(*.tga)|*.tga||";

bool IsProgram(const std::string& path) { return !path.empty() && ::access(path.c_str(), X_OK) == 0; }

// A double-NUL list of paths for the shell's file operation.
std::string PathList(const std::vector<std::string>& paths)
{
    std::string list;
    for (const std::string& p : paths) {
        list += p;
        list += '\0';
    }
    list += '\0';
    return list;
}

} // namespace

void CImportButton::DrawCaption(CDC* dc, BOOL pressed)
{
    char text[257] = {};
    GetWindowText(text, sizeof text);
    if (!text[0] || !dc)
        return;
    CRect client;
    GetClientRect(&client);
    CFont* old = dc->SelectObject(&m_font);
    const SIZE ext = dc->GetTextExtent(text);
    const int x = kCaptionLeft + (client.Width() - kCaptionLeft - ext.cx) / 2 + (pressed ? 1 : 0);
    const int y = (client.Height() - ext.cy) / 2 + (pressed ? 1 : 0);
    dc->SetTextColor(m_captionColor);
    dc->SetBkMode(TRANSPARENT);
    dc->TextOut(x, y, text);
    dc->SelectObject(old);
}

// ---- rules ------------------------------------------------------------------

CCommandBar::Enables CCommandBar::ButtonRules(const State& s)
{
    Enables e{};
    const bool onePhoto = s.folderOpen && s.selected && !s.firstIsFolder;
    e.view = onePhoto;
    // Two or more photos go to batch editing.
    e.edit = onePhoto && (s.selectedCount >= 2 || s.editorPresent);
    e.del = onePhoto;
    e.parent = s.folderOpen && s.folderHasParent && !s.timeline;
    e.import = s.projects && s.folderOpen && !s.timeline;
    e.sort = s.folderHasPhotos;
    e.importRaw = s.developPresent;
    e.viewMode = true;
    e.batch = s.folderOpen;
    e.print = onePhoto;
    e.search = true;
    e.slideShow = s.folderHasPhotos;
    return e;
}

std::string CCommandBar::RenamedPath(const std::string& oldPath, const std::string& typed)
{
    char drive[MAX_PATH] = {}, dir[MAX_PATH] = {}, name[MAX_PATH] = {}, ext[MAX_PATH] = {};
    _splitpath(oldPath.c_str(), drive, dir, name, ext);
    char newDrive[MAX_PATH] = {}, newDir[MAX_PATH] = {}, newName[MAX_PATH] = {}, newExt[MAX_PATH] = {};
    _splitpath(typed.c_str(), newDrive, newDir, newName, newExt);
    return std::string(drive) + dir + newName + ext;
}

// ---- creation and layout ---------------------------------------------------

int CCommandBar::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    if (!m_list.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), this, kListId))
        return -1;
    m_list.SetBkColor(RGB(240, 240, 240));
    m_viewPhoto = std::make_unique<CViewPhotoDlg>();
    if (m_viewPhoto->CreateHidden()) {
        m_viewPhoto->m_pList = &m_list;
        m_list.m_openPhoto = [this](std::vector<std::string> paths, int index) {
            m_viewPhoto->Open(std::move(paths), index);
        };
    }
    if (theAlbum)
        theAlbum->m_scanner.SetNotifyList(&m_list);
    CreateButtons();
    return 0;
}

BOOL CCommandBar::CreateButtons()
{
    struct Face {
        CImgButton* button;
        RECT rect;
        UINT id;
        const char* face;
        int tip;
    };
    const Face faces[] = {
        {&m_parent, {0, 0, 30, 30}, kParentFolder, "upfolder.bmp", 22},
        {&m_import, {220, 0, 300, 30}, kImport, "import.bmp", 25},
        {&m_importRaw, {300, 0, 330, 30}, kImportRaw, "importraw.bmp", 85},
        {&m_view, {40, 0, 70, 30}, kView, "view.bmp", 19},
        {&m_edit, {70, 0, 100, 30}, kEdit, "edit.bmp", 10},
        {&m_batch, {100, 0, 130, 30}, kBatch, "bat.bmp", 24},
        {&m_print, {130, 0, 160, 30}, kPrint, "print.bmp", 20},
        {&m_delete, {160, 0, 190, 30}, kDelete, "delete.bmp", 21},
        {&m_slideShow, {190, 0, 220, 30}, kSlideShow, "slider.bmp", 29},
    };
    auto skin = [](const char* face) { return theAlbum ? theAlbum->GetSkinPath(face) : std::string(face); };
    for (const Face& f : faces) {
        const char* caption = f.button == &m_import ? theAlbumTexts.GetText(25) : "";
        if (!f.button->Create(caption, f.rect, this, f.id, skin(f.face).c_str(), theAlbumTexts.GetText(f.tip), 1))
            return FALSE;
        f.button->SetBkColor(kBackground);
    }
    m_import.SetTextColor(RGB(255, 255, 255));
    struct MenuFace {
        CMenuButton* button;
        RECT rect;
        UINT id;
        const char* face;
        UINT menu;
        int tip;
    };
    const MenuFace menus[] = {
        {&m_sort, {221, 1, 249, 29}, kSort, "sort.bmp", 194, 64},
        {&m_viewMode, {251, 1, 279, 29}, kViewMode, "listmode.bmp", 196, 65},
    };
    for (const MenuFace& m : menus)
        if (!m.button->Create(m.rect, this, m.id, skin(m.face).c_str(), m.menu, theAlbumTexts.GetText(m.tip)))
            return FALSE;
    return m_search.Create("", RECT{281, 1, 309, 29}, this, kSearch, skin("search.bmp").c_str(),
                           theAlbumTexts.GetText(73), 1) != 0;
}

void CCommandBar::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    if (m_list.m_hWnd)
        m_list.MoveWindow(0, kBarHeight, cx, cy - kBarHeight);
    if (m_import.m_hWnd)
        m_import.MoveWindow(cx - 160, 0, 125, 30);
    if (m_importRaw.m_hWnd)
        m_importRaw.MoveWindow(cx - 35, 0, 30, 30);
}

BOOL CCommandBar::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, kBackground);
    return TRUE;
}

LRESULT CCommandBar::OnThumbListNotify(WPARAM wParam, LPARAM)
{
    if (wParam == kThumbSelChanged)
        OnSelectionChanged();
    return 0;
}

// ---- the list ----------------------------------------------------------------

void CCommandBar::FillList()
{
    if (!theAlbum)
        return;
    m_list.Fill(theAlbum->m_scanner.m_model, m_sortMode);
    m_list.RedrawWindow();
}

void CCommandBar::ReloadListing(int keepSelection)
{
    const int count = m_list.GetItemCount();
    const int offset = m_list.GetScrollOffset();
    std::vector<int> selected;
    if (keepSelection)
        for (int i = m_list.GetCurSel(); i >= 0; i = m_list.GetNextSelected(i))
            selected.push_back(i);
    FillList();
    if (keepSelection) {
        if (m_list.GetItemCount() == count)
            for (int i : selected)
                m_list.SetSelected(i);
        if (offset < m_list.GetContentHeight())
            m_list.SetScrollOffset(offset);
    } else if (const FolderNode* node = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
               node && node->m_nListPos != -1) {
        m_list.SetScrollOffset(m_list.GetRowTop(node->m_nListPos));
    }
    m_list.RedrawWindow();
    m_pShown = nullptr;
    ShowInExifBar();
    UpdateButtons();
}

void CCommandBar::ShowInExifBar()
{
    if (!m_pExifBar || !m_pExifBar->m_hWnd)
        return;
    const FolderNode* folder = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    m_pExifBar->m_folder = folder ? folder->GetPath() : std::string();
    m_pExifBar->ShowPhoto(m_pShown);
}

void CCommandBar::OnSelectionChanged()
{
    m_pShown = EntryOf(m_list.GetItem(m_list.GetCurSel()));
    ShowInExifBar();
    UpdateButtons();
}

void CCommandBar::SetSortMode(int mode)
{
    if (mode == m_sortMode)
        return;
    m_sortMode = mode;
    FillList();
}

// ---- buttons -----------------------------------------------------------------

std::string CCommandBar::EditorProgram() const
{
    if (!m_editorProgram.empty())
        return m_editorProgram;
    return theAlbum ? theAlbum->m_programFolder + "QuilloEditor" : std::string();
}

std::string CCommandBar::DevelopProgram() const
{
    if (!m_developProgram.empty())
        return m_developProgram;
    return theAlbum ? theAlbum->m_programFolder + "QuilloDevelop" : std::string();
}

CCommandBar::State CCommandBar::CurrentState() const
{
    State s;
    const FolderNode* current = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    s.folderOpen = current != nullptr;
    s.folderHasParent = current && current->m_pParent;
    s.timeline = m_pFolderPane && m_pFolderPane->m_mode == CFolderPane::kModeTimeline;
    s.projects = theAlbum && !theAlbum->m_projects.empty();
    const int first = m_list.m_hWnd ? m_list.GetCurSel() : -1;
    s.selected = first >= 0;
    s.selectedCount = m_list.m_hWnd ? m_list.GetSelectedCount() : 0;
    if (const PhotoEntry* entry = s.selected ? EntryOf(m_list.GetItem(first)) : nullptr)
        s.firstIsFolder = entry->m_bFolder != 0;
    for (int i = 0; m_list.m_hWnd && i < m_list.GetItemCount() && !s.folderHasPhotos; ++i) {
        const PhotoEntry* entry = EntryOf(m_list.GetItem(i));
        s.folderHasPhotos = entry && !entry->m_bFolder;
    }
    s.editorPresent = IsProgram(EditorProgram());
    s.developPresent = IsProgram(DevelopProgram());
    return s;
}

void CCommandBar::SetButton(CWnd& button, bool enabled)
{
    if (!button.m_hWnd || (button.IsWindowEnabled() != FALSE) == enabled)
        return;
    button.EnableWindow(enabled);
    button.RedrawWindow();
}

void CCommandBar::UpdateButtons()
{
    const Enables e = ButtonRules(CurrentState());
    SetButton(m_view, e.view);
    SetButton(m_edit, e.edit);
    SetButton(m_print, e.print);
    SetButton(m_delete, e.del);
    SetButton(m_parent, e.parent);
    SetButton(m_slideShow, e.slideShow);
    SetButton(m_sort, e.sort);
    SetButton(m_import, e.import);
    SetButton(m_batch, e.batch);
    SetButton(m_importRaw, e.importRaw);
    SetButton(m_viewMode, e.viewMode);
    SetButton(m_search, e.search);
}

BOOL CCommandBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT id = LOWORD(wParam);
    const Enables e = ButtonRules(CurrentState());
    switch (id) {
    case kParentFolder:
        if (e.parent) {
            const FolderNode* current = theAlbum->m_scanner.m_model.m_pCurrent;
            if (current && current->m_pParent && current->m_pParent->m_hItem)
                if (CWnd* main = GetTopLevelParent())
                    main->PostMessage(WM_SELECT_FOLDER, reinterpret_cast<WPARAM>(current->m_pParent->m_hItem), 0);
        }
        return TRUE;
    case kView:
        if (e.view)
            m_list.OpenItem(m_list.GetCurSel());
        return TRUE;
    case kEdit:
        if (e.edit && m_list.GetSelectedCount() >= 2) {
            if (CWnd* main = GetTopLevelParent())
                main->PostMessage(WM_COMMAND, 32780);
        } else if (e.edit) {
            Edit();
        }
        return TRUE;
    case kBatch:
        if (e.batch)
            if (CWnd* main = GetTopLevelParent())
                main->PostMessage(WM_COMMAND, 32785);
        return TRUE;
    case kPrint:
        // The same wizard as the main frame's Print command.
        if (e.print)
            if (CWnd* main = GetTopLevelParent())
                main->PostMessage(WM_COMMAND, 57607);
        return TRUE;
    case kDelete:
        if (e.del)
            DeleteSelected();
        return TRUE;
    case kImport:
        if (e.import)
            Import();
        return TRUE;
    case kImportRaw:
        if (e.importRaw)
            StartDevelop();
        return TRUE;
    case kSlideShow:
        if (e.slideShow)
            SlideShow();
        return TRUE;
    case kSearch:
        if (e.search)
            if (CWnd* main = GetTopLevelParent())
                main->PostMessage(WM_COMMAND, 32802);
        return TRUE;
    default:
        return CWnd::OnCommand(wParam, lParam);
    }
}

std::string CCommandBar::SelectedPath() const { return m_list.GetSelectedPath(); }

// The path goes as one argument, blanks and all.
void CCommandBar::Edit()
{
    if (m_list.GetSelectedCount() >= 2)
        return; // batch editing comes with its own dialog
    const std::string path = SelectedPath();
    if (path.empty())
        return;
    const std::string program = EditorProgram();
    _spawnl(_P_NOWAIT, program.c_str(), "QuilloEditor", path.c_str(), nullptr);
}

// The window waits for the converter, then shows what it wrote.
void CCommandBar::StartDevelop()
{
    const FolderNode* current = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    if (!current)
        return;
    const std::string folder = current->GetPath();
    const std::string program = DevelopProgram();
    _spawnl(_P_WAIT, program.c_str(), "QuilloDevelop", "-f", folder.c_str(), nullptr);
    Refresh();
}

void CCommandBar::Refresh()
{
    if (m_pLayout)
        m_pLayout->Refresh();
}

// Only the name is taken from what was typed; the extension stays. An
// existing file of the new name is never replaced.
void CCommandBar::Rename()
{
    const int index = m_list.GetCurSel();
    PhotoEntry* entry = EntryOf(m_list.GetItem(index));
    if (!entry)
        return;
    const std::string oldPath = m_list.ItemPath(index);
    CRenameDlg dlg("New Name", entry->m_info.szFileName, this);
    if (dlg.DoModal() != IDOK)
        return;
    const std::string newPath = RenamedPath(oldPath, dlg.m_name.GetString());
    const std::string newName = newPath.substr(newPath.find_last_of('/') + 1);
    if (newName.empty() || newName.size() >= sizeof entry->m_info.szFileName ||
        !::MoveFile(oldPath.c_str(), newPath.c_str())) {
        AfxMessageBox(theAlbumTexts.GetText(12));
        return;
    }
    {
        std::lock_guard lock(theAlbum->m_scanner.GetThread()->m_mutex);
        std::snprintf(entry->m_info.szFileName, sizeof entry->m_info.szFileName, "%s", newName.c_str());
        theAlbum->m_scanner.m_model.m_bDirty = 1;
    }
    ThumbListItem item = m_list.GetItem(index);
    std::snprintf(item.text, sizeof item.text, "%s", newName.c_str());
    m_list.SetItem(index, item);
    m_list.RepaintItem(index);
}

void CCommandBar::DeleteSelected() { m_list.OnDeleteKey(); }

void CCommandBar::Import()
{
    auto* frame = dynamic_cast<CMainFrame*>(GetTopLevelParent());
    CImportPhotosDlg dlg(this);
    dlg.m_canAcquire = frame && frame->IsLoaded();
    if (dlg.DoModal() != IDOK)
        return;
    if (dlg.m_source == CImportPhotosDlg::kSourceCamera) {
        if (frame)
            frame->AcquireFromScanner();
        Refresh();
        return;
    }
    if (dlg.m_source != CImportPhotosDlg::kSourceDisk)
        return;
    CFileDialog files(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                      kImportFilter, this);
    if (files.DoModal() != IDOK)
        return;
    std::vector<std::string> paths;
    for (POSITION pos = files.GetStartPosition(); pos;)
        paths.push_back(files.GetNextPathName(pos).GetString());
    const FolderNode* current = theAlbum ? theAlbum->m_scanner.m_model.m_pCurrent : nullptr;
    if (paths.empty() || !current)
        return;
    const std::string from = PathList(paths);
    const std::string to = PathList({current->GetPath()});
    SHFILEOPSTRUCT op{};
    op.hwnd = m_hWnd;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    SHFileOperation(&op);
    Refresh();
}

std::vector<std::string> CCommandBar::SlidePaths(int* start) const
{
    std::vector<std::string> paths;
    *start = 0;
    if (!theAlbum)
        return paths;
    const std::string selected = SelectedPath();
    const FolderEntries& model = theAlbum->m_scanner.m_model;
    const std::string& folder = m_list.GetFolder();
    {
        std::unique_lock<std::mutex> hold;
        if (CAnalyseThread* thread = theAlbum->m_scanner.GetThread())
            hold = std::unique_lock<std::mutex>(thread->m_mutex);
        for (const auto& entry : model.m_entries)
            if (entry && entry->m_bPresent && !entry->m_bFolder)
                paths.push_back(folder + entry->m_info.szFileName);
    }
    // The start is the selected photo's own place in this list.
    for (std::size_t i = 0; i < paths.size(); ++i)
        if (paths[i] == selected) {
            *start = static_cast<int>(i);
            break;
        }
    return paths;
}

void CCommandBar::SlideShow()
{
    int start = 0;
    std::vector<std::string> paths = SlidePaths(&start);
    if (paths.empty())
        return;
    CSlideShowDlg dlg(GetTopLevelParent());
    dlg.m_paths = std::move(paths);
    dlg.m_index = start;
    dlg.DoModal();
}

void CCommandBar::SetWallpaper() { SetPhotoAsWallpaper(SelectedPath(), this); }

void SetPhotoAsWallpaper(const std::string& photo, CWnd* owner)
{
    if (photo.empty())
        return;
    // The desktop's size.
    const CRect desktop(0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    const std::string target = qlwin::UserDataFolder() + "Quillo Wallpaper.bmp";
    owner->BeginWaitCursor();
    // The decoding and scaling of the whole photo run off the window's thread.
    const bool written = std::async(std::launch::async, [&] {
                             CQLImageCodec codec;
                             CQLImage image, scaled;
                             return codec.LoadFile(photo.c_str(), &image) &&
                                    codec.Resample(&image, &scaled, desktop.Width(), desktop.Height(), 1) &&
                                    codec.SaveFile(target.c_str(), &scaled);
                         }).get();
    owner->EndWaitCursor();
    if (!written)
        return;
    if (!::SystemParametersInfo(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(target.c_str()),
                                SPIF_UPDATEINIFILE | SPIF_SENDCHANGE))
        AfxMessageBox("Can not set desktop wallpaper!");
}

} // namespace shelf
