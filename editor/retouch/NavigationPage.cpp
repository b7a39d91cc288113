#include "editor/retouch/NavigationPage.h"

#include "platform/afx/MsgMap.h"

IMPLEMENT_DYNAMIC(CNavigationPage, CSkinPropertyPage)

BEGIN_MESSAGE_MAP(CNavigationPage, CSkinPropertyPage)
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {
constexpr int kMargin = 40;
}

CNavigationPage::CNavigationPage() : CSkinPropertyPage(IDD_NAVIGATION_PAGE) {}

BOOL CNavigationPage::OnInitDialog()
{
    CSkinPropertyPage::OnInitDialog();
    RECT client;
    GetClientRect(&client);
    InflateRect(&client, -kMargin, -kMargin);
    if (navigator.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, IDC_NAVIGATOR))
        navigator.SetView(view);
    return TRUE;
}

void CNavigationPage::OnSize(UINT type, int cx, int cy)
{
    CSkinPropertyPage::OnSize(type, cx, cy);
    if (navigator.m_hWnd)
        navigator.MoveWindow(kMargin, kMargin, std::max(0, cx - 2 * kMargin), std::max(0, cy - 2 * kMargin));
}
