// "Add/Edit Tags": the tags the selected photos share, edited at once and
// written into every selected JPEG on a worker thread.
#pragma once

#include "album/shell/SkinDialog.h"
#include "album/shell/TagSet.h"
#include "album/tools/TagEditing.h"

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace shelf {

class CTagsDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 213;
    static constexpr UINT WM_TAGS_PROGRESS = WM_APP + 213; // wParam 1 when done, else lParam percent

    CTagsDlg(std::vector<std::string> paths, CTagSet& tagSet, CWnd* parent = nullptr);
    ~CTagsDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    // Adds a tag to the working tags by the adding rules, with their messages.
    void AddTag(const char* tag);

    std::vector<std::string> m_paths;
    CTagSet& m_tagSet;
    CTagSet m_working;
    CTagSet m_opening;
    TagWriteReport m_report;
    // Where the tag set is saved; empty for the program folder's "TagSet.ql".
    std::string m_tagSetPath;

protected:
    void FillList(UINT id, const CTagSet& tags);
    afx_msg void OnAddNew();
    afx_msg void OnAddSelected();
    afx_msg void OnDelete();
    afx_msg LRESULT OnProgress(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void Finish();
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
};

} // namespace shelf
