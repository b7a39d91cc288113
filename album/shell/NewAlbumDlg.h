// File > New Album: a name and a location; optionally a new folder of that
// name is made under the location.
#pragma once

#include "album/shell/SkinDialog.h"

#include <string>

namespace shelf {

class CNewAlbumDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 134;
    static constexpr int kMaxName = 32;

    explicit CNewAlbumDlg(CWnd* parent = nullptr) : CSkinDialog(kTemplate, parent) {}
    BOOL OnInitDialog() override;
    void OnOK() override;

    // The name with " ' * / : ? \ ~ made '_'.
    static std::string SafeFolderName(const std::string& name);

    CString m_name;
    CString m_location;
    int m_newFolder = 0;
    // The album's folder once OK succeeded.
    std::string m_result;

protected:
    afx_msg void OnBrowse();
    DECLARE_MESSAGE_MAP()
};

} // namespace shelf
