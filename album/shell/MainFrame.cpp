#include "album/shell/MainFrame.h"

#include "album/shell/AboutDlg.h"
#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "album/shell/LosslessTurns.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Process.h"

#include <algorithm>
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
    // The layout window, the scanner acquisition and the command bar's
    // buttons come with the album window's panes.
    ShowWindow(SW_SHOW);
    CWinApp* app = AfxGetApp();
    theAlbum->m_userName = app->GetProfileString("General", "UserName", "").GetString();
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
    m_paneMode = static_cast<int>(app->GetProfileInt("Project", "ShowAllFixedDisk", kModeFixedDisk));
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
    BeginWaitCursor();
    // Saves the open folder's finished entries, then stops and joins the
    // thumbnail thread and its decoders.
    theAlbum->m_scanner.Shutdown();
    EndWaitCursor();
    CQLImageCodec::Stop();
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

// The folder tree comes with the album window's panes.
LRESULT CMainFrame::OnSelectFolder(WPARAM, LPARAM) { return 0; }

// The photo list's re-sort comes with the command bar.
LRESULT CMainFrame::OnFolderReady(WPARAM, LPARAM) { return 0; }

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
    if (theAlbum && theAlbum->m_scanner.m_model.m_pCurrent) {
        state.folderOpen = true;
        state.folderHasParent = theAlbum->m_scanner.m_model.m_pCurrent->m_pParent != nullptr;
        state.allComplete = theAlbum->m_scanner.IsAllComplete() != 0;
    }
    if (m_pList) {
        state.selected = m_pList->GetCurSel() >= 0;
        state.clipboardFiles = const_cast<CPhotoListView*>(m_pList)->CanPaste() != FALSE;
        // Until the EXIF bar lands, the photo it would show is the first
        // selected file.
        if (const PhotoEntry* shown = FirstSelectedEntry(); shown && !shown->m_bFolder) {
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
    return id != 32820 || ::access(UpdaterPath().c_str(), X_OK) == 0;
}

BOOL CMainFrame::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (!FindShelfCommand(nID))
        return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    if (nCode == CN_UPDATE_COMMAND_UI && pExtra) {
        static_cast<CCmdUI*>(pExtra)->Enable(IsCommandEnabled(nID));
        if ((nID == 32801 || nID == 59410) && m_pList)
            static_cast<CCmdUI*>(pExtra)->SetCheck(m_pList->GetViewMode() == (nID == 59410 ? 1 : 0));
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

} // namespace shelf
