// The main window's list of the open folder's photos and subfolders: the
// detail columns, the overlay marks, the tick box, opening, the context
// menu, the clipboard, dragging out, dropping in, deleting and the orders.
#pragma once

#include "album/shell/AnalyseThread.h"
#include "album/shell/PhotoListModel.h"
#include "album/shell/ThumbListCtrl.h"

#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace shelf {

// To the main window: enter a folder (wParam its tree item, lParam its node).
inline constexpr UINT WM_SELECT_FOLDER = WM_USER + 2457;
// Posted to the list itself: wParam the entry, lParam its generation.
inline constexpr UINT WM_LIST_REPAINT_ENTRY = WM_USER + 2463;

class CPhotoListView : public CThumbListCtrl, public IAnalyseNotify {
    DECLARE_DYNAMIC(CPhotoListView)
public:
    static constexpr UINT kMenu = 148;
    static constexpr int kDragSquare = 10;

    CPhotoListView() = default;
    ~CPhotoListView() override;

    // The fill: the present entries of the model in its order (sorted by
    // sortMode when every entry is complete). Takes the entries' lock
    // itself while it reads them.
    void Fill(const FolderEntries& model, int sortMode);
    void SortItems() override;
    void SortByTime();
    void OnCopyRequest() override;
    void OnPasteRequest() override;
    BOOL CanPaste();
    void OnDeleteKey() override;
    void OpenItem(int index) override;
    HICON GetItemIcon(int index) override;
    void DrawThumbnailCell(int index, CDC* dc) override;
    void DrawDetailLine(int index, CDC* dc) override;

    // The current folder followed by the first selected entry's name; empty
    // without a selection.
    std::string GetSelectedPath() const;
    int GetSelectedFiles(std::vector<std::string>& files) const;
    BOOL SelectItemByText(const char* text);
    int FindItemByPath(const char* path) const;
    int GetContentHeight() const { return m_geo.content; }
    int GetScrollOffset() const { return m_geo.scroll; }
    void SetScrollOffset(int offset)
    {
        ScrollTo(offset);
        UpdateScrollBar();
    }
    int GetFirstVisibleItem() const;
    int GetRowTop(int index) const { return index / m_geo.columns * m_geo.cellHeight; }
    // The path of an item, from its entry's name (never the shortened caption).
    std::string ItemPath(int index) const;
    const std::string& GetFolder() const { return m_folder; }
    void SetFolder(const std::string& folder) { m_folder = folder; }
    // Fills the list again from the album's model, selecting keep's entries.
    void Reload(const std::vector<const PhotoEntry*>& keep = {});
    std::vector<const PhotoEntry*> SelectedEntries() const;
    // The main window's cut flag; the owner points it at its own.
    int* m_pCutFlag = nullptr;
    // Photos open in the View Photo dialog, which lives a library above the
    // list: its owner hands the list the routine (paths in list order, index).
    std::function<void(std::vector<std::string>, int)> m_openPhoto;
    // The present photos' paths in list order; *selected becomes the first
    // selected one's place among them (0 when none).
    std::vector<std::string> PhotoPaths(int* selected) const;

    // The thumbnail thread's side.
    void RepaintEntry(PhotoEntry* entry, std::uint64_t generation) override;
    void DropItems() override;

protected:
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    afx_msg void OnDropFiles(HDROP drop);
    afx_msg LRESULT OnRepaintEntry(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    bool InCorner(int index, CPoint point) const;
    std::vector<std::string> SelectedPaths(bool filesOnly) const;
    void StartDrag(UINT flags, CPoint point);
    void RebuildIndex();
    // After files came or went: the model rescans and the list is filled
    // again.
    void RefreshFolder();
    std::unique_lock<std::mutex> LockEntries() const;

    std::string m_folder; // ends in '/'
    std::uint64_t m_generation = 0;
    bool m_generationKnown = false;
    int m_sortMode = 0;
    std::unordered_map<const PhotoEntry*, int> m_indexOf;
    BOOL m_dragging = FALSE;
};

} // namespace shelf
