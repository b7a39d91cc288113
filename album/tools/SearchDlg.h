// "Search Photo": the criteria grid with its tree of groups, the hits as
// thumbnails, and what can be done with them (go to one in the album, view
// them, copy them to the clipboard or to a folder). Modeless, made once and
// reused; the search itself runs on the album's search thread.
#pragma once

#include "album/shell/ButtonST.h"
#include "album/shell/SkinDialog.h"
#include "album/tools/ParamGridCtrl.h"
#include "album/tools/SearchCriteriaRows.h"
#include "album/tools/SearchResultList.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace shelf {

class CSearchThread;

class CSearchDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 156, kMenu = 202, kIcon = 199, kGoToPicture = 203;
    static constexpr int kTree = 1001, kGrid = 39169, kList = 1032, kPathBox = 1099, kGoTo = 1053, kSettings = 1097;
    static constexpr UINT kGoToFolderCmd = 32803, kViewCmd = 32804, kCopyCmd = 32805, kCopyAllCmd = 32806;
    static constexpr UINT kOpenTimer = 1;

    explicit CSearchDlg(CSearchThread& thread);
    ~CSearchDlg() override;

    // Made hidden, owned by the desktop.
    BOOL CreateHidden();
    // Shows it when hidden and keeps it on top.
    void ShowOnTop();

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    bool IsSearching() const { return m_searching; }
    // The hit's path; "" for a bad index.
    std::string HitPath(int index) const;
    std::vector<std::string> SelectedHitPaths() const;
    void OpenHit(int index);
    void ShowHitMenu(CPoint screen);
    // The clipboard copy of the selected hits; false when nothing went there.
    bool CopySelected();
    // Copies every hit into folder; the file operation's result.
    int CopyAllTo(const std::string& folder);

    // The album's side, set by its main frame.
    std::function<SearchScope()> m_scope;
    std::function<void(const std::string&)> m_goTo;
    std::function<void()> m_clearCutMark;
    std::function<void(std::vector<std::string>, int)> m_view;

    SearchCriteriaRows m_rows;
    CTreeCtrl m_tree;
    CParamGridCtrl m_grid;
    CSearchResultList m_list;
    CButtonST m_goToButton;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnTreeSelChanged(NMHDR* nm, LRESULT* result);
    afx_msg LRESULT OnSearchNotice(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnListNotice(WPARAM wParam, LPARAM lParam);
    afx_msg void OnGoTo();
    afx_msg void OnView();
    afx_msg void OnCopy();
    afx_msg void OnCopyAll();
    afx_msg void OnTimer(UINT_PTR id);
    DECLARE_MESSAGE_MAP()

private:
    void FillTree();
    void AddHit(int index);
    void ClearHits();
    void SetSearching(bool on);
    void StopSearching();

    CSearchThread& m_thread;
    bool m_searching = false;
    std::vector<std::unique_ptr<CQLImage>> m_thumbs;
    std::vector<std::string> m_paths;
    std::string m_openPath;
    HICON m_icon = nullptr;
};

} // namespace shelf
