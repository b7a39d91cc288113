// A thin progress bar with its percentage, and a caption with a percentage
// over a bar; both show the value their owner last stored.
#pragma once

#include "platform/afx/Afx.h"

class CPercentBar : public CWnd {
public:
    CPercentBar();
    // Stores the value and repaints at once.
    void SetStateAndRedraw(int value);
    int m_value = 0;
    CFont m_font;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

class CPercentLabel : public CWnd {
public:
    void SetStateAndRedraw(int value);
    int m_value = 0;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

// The skin's dialog face brush, or the face colour before the skin loads.
CBrush* DialogFaceBrush();
COLORREF DialogFaceColor();
