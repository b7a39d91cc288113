// A self-drawn tab control that owns its page windows: a row of grey tabs
// above a framed page area; clicking a tab shows its page.
#pragma once

#include "platform/afx/Afx.h"

#include <vector>

struct TabEntry {
    CWnd* page = nullptr;
    char caption[32] = {};
    int value = 0;
    RECT rect{};  // set when painted
};

class CTabStrip : public CWnd {
    DECLARE_DYNAMIC(CTabStrip)
public:
    static constexpr int kTabRowHeight = 20;
    static constexpr int kMargin = 5;

    CTabStrip();
    ~CTabStrip() override;

    // Before the strip is created: its pages are created with it.
    void AddTab(CWnd* page, const char* caption, int value);
    void SetActivePage(CWnd* page);
    CWnd* GetActivePage() const { return m_current; }
    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    const TabEntry& GetTab(int index) const { return m_tabs[static_cast<size_t>(index)]; }

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    RECT PageArea() const;
    void DrawCurrentTab(CDC* dc, const TabEntry& tab);

    std::vector<TabEntry> m_tabs;
    CFont m_font;
    CWnd* m_current = nullptr;
    int m_firstTabX = kMargin;
};
