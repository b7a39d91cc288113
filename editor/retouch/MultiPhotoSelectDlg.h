// "Step 1: Choose photos for same scene": the photos a multi-shot work
// merges, the open photo first.
#pragma once

#include "editor/ui/SkinDialog.h"
#include "editor/ui/ThumbListCtrl.h"

class CMultiWork;

inline constexpr UINT IDD_MULTI_PHOTO_SELECT = 327;
inline constexpr UINT IDC_MULTI_DESCRIPTION = 1438;
inline constexpr UINT IDC_MULTI_COUNT = 1439;
inline constexpr UINT IDC_MULTI_SAMPLE = 1440;
inline constexpr UINT IDC_MULTI_ADD = 1124;
inline constexpr UINT IDC_MULTI_DEL = 1419;
inline constexpr UINT IDC_MULTI_LIST_PLACE = 1049;
inline constexpr UINT IDC_MULTI_LIST = 20481;

class CMultiPhotoSelectDlg : public CSkinDialog {
public:
    CMultiPhotoSelectDlg(CMultiWork* work, CWnd* parent);

    // Adds the file as Add does after its file dialog.
    void AddFile(const char* path);
    CThumbListCtrl& GetList() { return m_list; }

protected:
    BOOL OnInitDialog() override;
    void Refill();
    afx_msg void OnAdd();
    afx_msg void OnDel();
    afx_msg void OnSample();
    afx_msg LRESULT OnListNotify(WPARAM code, LPARAM);
    DECLARE_MESSAGE_MAP()

private:
    CMultiWork* m_work;
    CThumbListCtrl m_list;
};
