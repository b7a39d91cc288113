// The screen capture overlay: freezes the desktop, lies over the whole
// screen showing the frozen copy, and lets the user pick the whole screen,
// a window, a rectangle, the screen after a countdown, or the screen when F10
// is pressed. After a confirmed capture the snapshot holds the result.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/GdiObjects.h"
#include "platform/capture/ScreenWindows.h"

#include <vector>

namespace snap {

inline constexpr UINT kOverlayTimer = 123;
inline constexpr int kF10HotKey = 1861;

class CCaptureOverlayDlg : public CDialog {
public:
    // mode: 0 whole screen, 1 window, 2 rectangle, 3 after five seconds,
    // 4 on F10.
    explicit CCaptureOverlayDlg(int mode, CWnd* parent = nullptr);
    ~CCaptureOverlayDlg() override;

    virtual void TakeSnapshot();
    void DrawSnapshot(CDC* dc);
    void HighlightWindowAt(CPoint point);
    qlcapture::ScreenWindow FindWindowBelow(int x, int y);
    void DrawRubberBand();
    void PlaceTip();
    void CropResult();
    void Accept();

    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnHotKey(UINT id, UINT modifiers, UINT key);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    int m_mode;
    CQLImage m_snapshot;  // rows top to bottom; after OK the result, bottom-up
    CBrush m_tipBrush;
    qlcapture::ScreenWindow m_picked{};
    bool m_havePicked = false;
    RECT m_selection{0, 0, 0, 0};
    CPoint m_dragStart{0, 0};
    RECT m_band{0, 0, 0, 0};
    bool m_dragging = false;
    CString m_tipText;
    int m_countdown = 50;
    bool m_hotKeyHeld = false;  // F10 grabbed on the screen
    bool m_ownF10 = false;      // F10 could not be grabbed: the prompt window takes it

protected:
    // The desktop's rectangle: the X screen.
    virtual RECT DesktopRect();
    // The top-level windows, top first, the overlay and the main window left out.
    virtual std::vector<qlcapture::ScreenWindow> ScreenWindows();
    virtual qlcapture::ScreenWindow ChildAt(const qlcapture::ScreenWindow& window, int x, int y);
    // The confirmation; Yes accepts, No cancels.
    void Confirm();
    void GoFullScreen();
    void ReleaseHotKey();

    BOOL OnInitDialog() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    void DrawHighlight(CDC* dc, const RECT& r);
};

} // namespace snap
