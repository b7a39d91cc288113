// The viewer's own window frame: a dialog without the system caption, with a
// grey title band holding its own close and maximise buttons, moved by the
// band and resized by the bottom-right corner.
#pragma once

#include "glance/GlanceButton.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/GdiObjects.h"

#include <memory>
#include <vector>

class CButtonST;

namespace glance {

inline constexpr UINT kCloseButtonId = 16385;
inline constexpr UINT kMaxButtonId = 16386;
inline constexpr int kTitleBand = 24;

class GlanceFrameDlg : public CDialog {
public:
    explicit GlanceFrameDlg(UINT templateId, CWnd* parent = nullptr);
    ~GlanceFrameDlg() override;

    BOOL OnInitDialog() override;

    bool m_bResizable = false;
    int m_bMaximized = 0;

    // Maximises or restores, with the matching button face.
    void ToggleMaximized();

protected:
    // True when the notification was the frame's own.
    bool HandleFrameNotify(WPARAM wParam);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg LRESULT OnFrameNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    CQLImage m_titleBand;
    GlanceButton m_closeButton;
    GlanceButton m_maxButton;

private:
    bool InSizeGrip(CPoint point) const;

    bool m_moving = false;
    bool m_resizing = false;
    CPoint m_dragStart;
    CRect m_startRect;
    CFont m_titleFont;
    std::vector<std::unique_ptr<CButtonST>> m_skinButtons;
};

// The pattern brush of bitmap 136 that the frame gives its controls.
CBrush& PatternBrush();

} // namespace glance
