// The editor's traditional open dialog: the file dialog with a preview pane
// at its right that shows the selected photo's thumbnail. The pane is
// redrawn on the timer tick after each paint of the dialog, so that it is
// never left under what the dialog painted.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/CommDlg.h"

inline constexpr UINT IDD_PICVIEW_FILE = 3146;
inline constexpr UINT IDC_PICVIEW_PREVIEW = 3147;

class CPicViewFileDlg : public CFileDialog {
public:
    static constexpr UINT_PTR kRedrawTimer = 1;
    static constexpr UINT kRedrawMs = 100;

    CPicViewFileDlg(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                    DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                    CWnd* pParentWnd = nullptr);

    // The selected photo's thumbnail; empty when the selection is no photo.
    CQLImage m_thumbnail;
    // Set by a paint, cleared when the timer has redrawn the pane.
    BOOL m_previewDirty = FALSE;

protected:
    BOOL OnInitDialog() override;
    void OnFileNameChange() override;
    void OnFolderChange() override;

    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    DECLARE_MESSAGE_MAP()

private:
    void ShowThumbnailOf(const char* path);
};
