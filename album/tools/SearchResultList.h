// The Search Photo dialog's hits: the album's thumbnail list, whose right
// button opens the dialog's pop-up menu and whose opened item is handed to
// the dialog.
#pragma once

#include "album/shell/ThumbListCtrl.h"

namespace shelf {

class CSearchDlg;

class CSearchResultList : public CThumbListCtrl {
public:
    CSearchDlg* m_pDialog = nullptr;

    void OpenItem(int index) override;

protected:
    afx_msg void OnRButtonDown(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

} // namespace shelf
