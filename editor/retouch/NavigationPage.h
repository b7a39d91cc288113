// "Navigation": the sheet's navigator over its preview.
#pragma once

#include "editor/retouch/NavigatorWnd.h"
#include "editor/ui/SkinPropertyPage.h"

inline constexpr UINT IDD_NAVIGATION_PAGE = 245;
inline constexpr UINT IDC_NAVIGATOR = 1255;

class CNavigationPage : public CSkinPropertyPage {
    DECLARE_DYNAMIC(CNavigationPage)
public:
    CNavigationPage();

    BOOL OnInitDialog() override;
    // Set before the page is made: the view the navigator follows.
    ZoomView* view = nullptr;
    CNavigatorWnd navigator;

protected:
    afx_msg void OnSize(UINT type, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
