// "3R/4R Compact Typeset": the selected photo as a sheet of small copies,
// saved as a JPEG at 300 dpi in a folder. Cell and sheet are made on a
// worker thread.
#pragma once

#include "album/shell/SkinDialog.h"
#include "album/tools/CompactTypeset.h"

#include <functional>
#include <string>
#include <thread>

namespace shelf {

class CCompactTypesetDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 230;
    static constexpr UINT WM_TYPESET_DONE = WM_APP + 230; // wParam 1 when the sheet was saved

    CCompactTypesetDlg(const char* photoPath, const char* folder, CWnd* parent = nullptr);
    ~CCompactTypesetDlg() override;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(CDataExchange* pDX) override;

    std::string m_photoPath;
    CString m_folder;
    int m_mode = 2;
    int m_ratio = 1; // 0 "Leave blank", 1 "Crop"
    CQLImage m_photo;
    CQLImage m_cell;
    CQLImage m_turned;
    std::string m_savedPath;
    // Called after a sheet was saved: the album rescans its folder.
    std::function<void()> m_rescan;

protected:
    afx_msg void OnModeChange();
    afx_msg void OnBrowse();
    afx_msg void OnPaint();
    afx_msg LRESULT OnDone(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    std::thread m_worker;
};

} // namespace shelf
