// File > New Folder: the name of a subfolder to make in the open folder.
#pragma once

#include "album/shell/SkinDialog.h"

namespace shelf {

class CNewFolderDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 130;
    static constexpr int kMaxName = 31;

    explicit CNewFolderDlg(CWnd* parent = nullptr) : CSkinDialog(kTemplate, parent) {}
    void DoDataExchange(CDataExchange* pDX) override;

    CString m_name;
};

} // namespace shelf
