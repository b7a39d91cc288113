// The paint window: the tool panel at the left, 110 pixels wide, and the
// canvas beside it, each knowing the other. Takes the place of the main
// view's panes in paint mode.
#pragma once

#include "editor/retouch/PaintCanvas.h"
#include "editor/retouch/PaintToolPanel.h"
#include "platform/afx/Afx.h"

class CViewContainer : public CWnd {
    DECLARE_DYNAMIC(CViewContainer)
public:
    static constexpr UINT kId = 0xFF1110;

    CViewContainer() = default;
    ~CViewContainer() override;

    CPaintToolPanel m_panel;
    CPaintCanvas m_canvas;

protected:
    BOOL PreTranslateMessage(MSG* msg) override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnMouseWheel(UINT flags, short delta, CPoint point);
    DECLARE_MESSAGE_MAP()
};
