// "Batch Edit" (150): the chain of batch actions, their parameters, the
// output options and the run; and "Select Files for Batch Processing" (158).
#pragma once

#include "album/shell/ButtonST.h"
#include "album/shell/SkinDialog.h"
#include "album/tools/BatchRunner.h"
#include "album/tools/ParamGridCtrl.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace shelf {

class CBatchFileSelectDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 158;
    static constexpr int kList = 1032, kAdd = 1014, kDel = 1034;

    explicit CBatchFileSelectDlg(CWnd* parent = nullptr) : CSkinDialog(kTemplate, parent) {}
    BOOL OnInitDialog() override;
    // Appends the paths not yet listed (exact text); the list is refilled.
    void AddFiles(const std::vector<std::string>& paths);

    std::vector<std::string> m_files;

protected:
    afx_msg void OnAdd();
    afx_msg void OnDel();
    afx_msg void OnSelChange();
    DECLARE_MESSAGE_MAP()

private:
    void Refill();
    CListBox m_list;
};

class CBatchEditDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 150;
    static constexpr int kGridId = 4112;
    static constexpr UINT kWorkerMessage = WM_USER + 52;

    explicit CBatchEditDlg(CWnd* parent = nullptr);
    ~CBatchEditDlg() override;
    BOOL OnInitDialog() override;

    // Before DoModal: the photos, the starting destination, where the
    // program's lists are read, and the album's selection for an empty list.
    std::vector<std::string> m_files;
    std::string m_folder;
    std::string m_programFolder;
    std::string m_userName;
    std::function<std::vector<std::string>()> m_albumSelection;

    void FillActionLists();
    // Table indexes in the order of the "Selected processing" list.
    std::vector<int> Chain() const;
    ActionTable& Table() { return m_table; }
    CParamGridCtrl& Grid() { return m_grid; }
    bool Running() const { return m_runner != nullptr; }
    const BatchReport& Report() const { return m_report; }

    afx_msg void OnStart();
    void OnCancel() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnAllSelChange();
    afx_msg void OnChosenSelChange();
    afx_msg void OnAdd();
    afx_msg void OnRemove();
    afx_msg void OnMoveDown();
    afx_msg void OnMoveUp();
    afx_msg void OnLoadBatch();
    afx_msg void OnSaveBatch();
    afx_msg void OnOverwrite();
    afx_msg void OnBrowse();
    afx_msg void OnLastFolder();
    afx_msg void OnFileList();
    afx_msg LRESULT OnWorkerMessage(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    BatchOutput ReadOutput() const;
    void UpdateButtons();
    void SwapRows(int a, int b);
    void Finish();
    void ShowReport() const;

    ActionTable m_table;
    BatchResources m_resources;
    CParamGridCtrl m_grid;
    CListBox m_all;
    CListBox m_chosen;
    CButtonST m_add, m_remove, m_down, m_up, m_load, m_save;
    std::unique_ptr<BatchRunner> m_runner;
    FilterHost m_job;
    BatchReport m_report;
    bool m_cancelWhenDone = false;
};

} // namespace shelf
