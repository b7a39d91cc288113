// A tip page of the Tips folder in a small window with "Show this tip next
// time".
#pragma once

#include "album/shell/SkinDialog.h"
#include "album/shell/WebBrowser2.h"

#include <string>

namespace shelf {

class CTipsDlg : public CSkinDialog {
public:
    static constexpr UINT kTemplate = 191;
    static constexpr UINT kIcon = 174;

    explicit CTipsDlg(CWnd* parent = nullptr);
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // Closing without OK keeps the check box's state too.
    void OnCancel() override;

    std::string m_url;
    std::string m_caption;
    int m_showCheck = 1;
    CWebBrowser2 m_browser;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

// Shows "<program folder>Tips/<page>" modally under the caption; returns the
// check box's state when the dialog closes.
int ShowTip(const char* page, const char* caption, int showCheck);

} // namespace shelf
