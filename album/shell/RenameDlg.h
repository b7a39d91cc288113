// The album's Rename dialog: one edit with the new name under the caller's
// caption.
#pragma once

#include "album/shell/SkinDialog.h"

#include <string>

namespace shelf {

class CRenameDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 149;

    CRenameDlg(const char* caption, const char* name, CWnd* parent = nullptr)
        : CSkinDialog(kTemplate, parent), m_caption(caption), m_name(name)
    {
    }
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;

    std::string m_caption;
    CString m_name;
};

} // namespace shelf
