// The album's caption tab strip: dark tabs along the top and one page
// window per tab below them; a click on another tab tells the parent.
#pragma once

#include "platform/afx/GdiObjects.h"
#include "platform/afx/Wnd.h"

#include <vector>

namespace shelf {

inline constexpr UINT WM_TABSTRIP_CHANGED = WM_USER + 1394;

class CTabStrip : public CWnd {
    DECLARE_DYNAMIC(CTabStrip)
public:
    struct Tab {
        CWnd* page = nullptr; // created and owned by the strip's owner
        char caption[32] = {};
        int value = 0;
        RECT rect{};          // written by painting, read by hit testing
    };

    // Before the window is created; the caption is cut to 31 characters.
    void AddTab(CWnd* page, const char* caption, int value);
    void SetCurrent(int index);
    CWnd* GetCurrentPage() const;
    // Tab rectangles from the caption widths, as painting lays them out.
    void LayoutTabs(CDC* dc);

    std::vector<Tab> m_tabs;
    int m_current = 0;
    int m_firstX = 0;
    CFont m_font;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

} // namespace shelf
