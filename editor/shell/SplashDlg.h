// The editor's splash window, shown while the main frame is built and again
// as the About box; a click closes it. Progress texts reach its status band.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

// lParam: a zero-terminated status text.
inline constexpr UINT WM_SPLASH_STATUS = WM_USER + 10;

class CSplashDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 100;
    static constexpr int kBandX = 20, kBandY = 285, kBandWidth = 300, kBandHeight = 20;

    CSplashDlg() : CDialog(kTemplate) {}

    CQLImage m_picture;
    CFont m_font;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg LRESULT OnShowStatus(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

extern CSplashDlg theSplashDlg;
