// QuilloShelf's main window: the owner-drawn menu, the hint window and the
// backdrop; it routes the menu commands and runs the album's shut-down.
#pragma once

#include "album/shell/BackdropWnd.h"
#include "album/shell/HintWnd.h"
#include "album/shell/LayoutWnd.h"
#include "album/shell/PhotoListView.h"
#include "album/shell/ShelfCommands.h"
#include "album/shell/TwainAcquirer.h"
#include "editor/ui/BitmapMenu.h"
#include "platform/afx/Afx.h"

namespace shelf {

class CSearchDlg;
struct SearchDlgDeleter {
    void operator()(CSearchDlg* dialog) const;
};

class CMainFrame : public CFrameWnd, public TwainAcquirer {
    DECLARE_DYNCREATE(CMainFrame)
public:
    static constexpr int kMinWidth = 800, kMinHeight = 450;
    static constexpr UINT kPatternBitmap = 228;
    // Folder pane modes (Project/ShowAllFixedDisk).
    static constexpr int kModeAlbum = 0, kModeFixedDisk = 1, kModeTimeline = 2;

    CMainFrame() = default;

    // What the update rules look at, from the panes that exist.
    CommandState GetCommandState() const;
    // The command has a runner and its rule allows it now.
    BOOL IsCommandEnabled(UINT id) const;
    // "LastVisit": the open folder's path with one more separator, so that
    // it names that folder itself; empty in the Timeline or without one.
    std::string LastVisitText() const;
    // Selects the folder that holds path (or, for a path ending in two
    // separators, that folder itself), then the file in the photo list; the
    // change stays out of the folder pane's history.
    void LocatePhoto(const std::string& path);
    // The Search Photo dialog once File > Search Photo made it; else null.
    CSearchDlg* SearchDialog() const { return m_searchDlg.get(); }

    // Scans into the current folder when a source is chosen (command bar).
    void AcquireFromScanner();
    // A scanned page's DIB (40-byte header, 24 or 32 bits, uncompressed, rows
    // bottom-up or, with a negative height, top-down) into image; 0 when the
    // block is not such a DIB.
    static int ImageFromDib(HGLOBAL dib, CQLImage* image);
    // Where scanned pages are saved, with its trailing separator.
    std::string m_captureFolder;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnUpdateFrameTitle(BOOL) override {}

    CBitmapMenu m_menu;
    CHintWnd m_hint;
    CBackdropWnd m_backdrop;
    int m_clipboardCut = 0;
    // The photo list, once the album window places it.
    CPhotoListView* m_pList = nullptr;
    CLayoutWnd m_layout;
    void SetPhotoList(CPhotoListView* list);
    // The panes' visibility and mode until the panes themselves land.
    int m_exifBarVisible = 1;
    int m_folderPaneVisible = 1;
    int m_paneMode = kModeFixedDisk;

protected:
    void OnImage(HGLOBAL dib, const TW_IMAGEINFO& info) override;
    void OnTransferDone() override;
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnClose();
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    afx_msg LRESULT OnSelectFolder(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnFolderReady(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    using Runner = void (CMainFrame::*)();
    static Runner FindRunner(UINT id);
    void OnExit();
    void OnCopy();
    void OnCut();
    void OnPaste();
    void OnDeleteFiles();
    void OnRotateLeft();
    void OnRotateRight();
    void OnAutoRotate();
    void OnRefreshThumbnail();
    void OnThumbnailView();
    void OnDetailView();
    void OnNewFolder();
    void OnNewAlbum();
    void OnRenameFolder();
    void OnDeleteFolder();
    void OnImport();
    void OnEdit();
    void OnBatchProcessing();
    void OpenBatchEdit(bool selectFirst);
    void OnRenameFile();
    void OnFolderTree();
    void OnImageProperty();
    void OnRefresh();
    void OnSortByName();
    void OnSortByTime();
    void OnBack();
    void OnForward();
    void OnWallpaper();
    void OnViewPhoto();
    void OnSlideShow();
    void OnMakeScreenSaver();
    void OnSettings();
    void OnDeleteAlbum();
    // The EXIF, tag and typeset tools.
    void OnEditExif();
    void OnExportExif();
    void OnEditTags();
    void OnExifStatistics();
    void OnCompactTypeset();
    void OnExportWeb();
    // Printing the selected photos, on a printer or into page files.
    void OnPrint();
    void OnTypesetBeforePrint();
    // File > Search Photo: the one Search Photo dialog, made on first use.
    void OnSearchPhoto();
    std::unique_ptr<CSearchDlg, SearchDlgDeleter> m_searchDlg;
    std::vector<std::string> SelectedPhotoPaths() const;
    bool HasLayout() const { return m_layout.m_created != 0; }
    // Refreshes node's branch of the tree, as expanding it does.
    void RefreshBranch(FolderNode* node);
    void SelectPendingFile();
    std::string m_pendingFile;
    void TurnSelected(int transform);
    void SetListView(int mode);
    // The first selected entry, for the rules that ask about the photo shown.
    const PhotoEntry* FirstSelectedEntry() const;
    void OnAbout();
    void OnHelpTopic();
    void OnSendMail();
    void OnCheckUpdates();
    std::string UpdaterPath() const;
};

} // namespace shelf
