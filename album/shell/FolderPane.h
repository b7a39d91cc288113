// The album window's left pane: the Album, Fixed Disk and Timeline views of
// where photos live, the folder tree, the months list, and Back and Forward
// over a short history of visited folders. It loads and saves the projects.
#pragma once

#include "album/shell/FolderNode.h"
#include "album/shell/ImgButton.h"
#include "album/shell/NavigationHistory.h"
#include "album/shell/TabStrip.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Wnd.h"
#include "platform/win/Drives.h"

#include <functional>
#include <string>

namespace shelf {

class CCommandBar;
class CFolderPane;
class CLayoutWnd;

// The tree hands dropped files to its pane.
class CFolderTree : public CTreeCtrl {
public:
    CFolderPane* m_pPane = nullptr;

protected:
    afx_msg void OnDropFiles(HDROP drop);
    DECLARE_MESSAGE_MAP()
};

class CFolderPane : public CWnd {
public:
    static constexpr UINT kTabStrip = 4113, kBack = 4102, kForward = 4103, kTree = 4100, kTimeline = 4112;
    static constexpr UINT kImages = 132, kMenu = 147, kHandCursor = 138;
    static constexpr DWORD kTreeStyle = 0x5000022F, kListStyle = 0x5000400D;
    static constexpr COLORREF kBackground = RGB(240, 240, 240);
    enum Mode { kModeAlbum = 0, kModeFixedDisk = 1, kModeTimeline = 2 };

    // The project list from the profile and "FolderSet", with the fixed
    // drives in the Fixed Disk and Timeline modes.
    void LoadProjects();
    void SaveProjects();
    void AddFixedDrives();
    void BuildTree();
    void ShowMode();
    void SwitchMode(int mode);
    void GoBack();
    void GoForward();
    void UpdateHistoryButtons();
    // The open folder as the tree selects it (TVN_SELCHANGED).
    void OpenSelected();
    // Deletes the item's children and lists its folder again.
    void RefreshNode(HTREEITEM item);
    // Items for node and every descendant that has none, under parent.
    void InsertItems(FolderNode* node, HTREEITEM parent);
    // Renames the item's folder; false leaves the label as it was.
    bool RenameFolder(HTREEITEM item, const char* text);
    void StartRename();
    void DeleteSelectedFolder();
    void DropFiles(HDROP drop);
    FolderNode* GetSelectedNode() const;
    // The node of a folder path (ending in '/'), from the projects' roots.
    FolderNode* FindNode(const std::string& path) const;
    // Selects the folder's item. Expanding a collapsed ancestor lists its
    // branch again and replaces the nodes below it, so the ancestors are
    // expanded first and the folder looked up again by its path.
    void SelectFolder(const std::string& path);
    FolderNode* NodeOf(HTREEITEM item) const;
    std::string TimelineFolder() const;
    bool HasUserProjects() const;

    int m_mode = kModeFixedDisk;
    NavigationHistory m_history;
    // Keeps the next change of folder out of the history (LocatePhoto).
    int m_skipHistory = 0;
    std::string m_timelineReturn;
    int m_lastTimelineItem = -1;
    CTabStrip m_tabs;
    CWnd m_tabPages[3];
    CImgButton m_back, m_forward;
    CFolderTree m_tree;
    CListCtrl m_timeline;
    CImageList m_images;
    CCommandBar* m_pCommandBar = nullptr;
    CLayoutWnd* m_pLayout = nullptr;
    // The main frame's LocatePhoto.
    std::function<void(const std::string& path)> m_locate;
    // Told whenever the shown mode changes (the frame keeps it for the profile).
    std::function<void(int mode)> m_modeChanged;
    // Where the fixed drives come from; tests give their own.
    static std::function<std::vector<qlwin::FixedDrive>()> s_driveSource;
    // Answers the pane's Yes/No questions; tests replace it.
    std::function<int(const char* text, const char* caption)> m_ask;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnTabChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnReselect(WPARAM wParam, LPARAM lParam);
    afx_msg void OnSelChanged(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemExpanding(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnTreeKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnTimelineChanged(NMHDR* pNMHDR, LRESULT* pResult);
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    DECLARE_MESSAGE_MAP()

private:
    int Ask(const char* text, const char* caption);
    void FillTimeline();
    // Closes the open folder when removing project would leave it dangling.
    void ForgetProjects(bool drivesOnly);
    void Locate(const std::string& path);
    void ReloadList();
    void ShowTreeMenu(CPoint screen);

    int m_quiet = 0; // selection changes made by the pane itself
};

} // namespace shelf
