// The full-screen slideshow: nine transitions over two screen-sized
// buffers, four play modes and a control bar that slides in from the top.
#pragma once

#include "album/shell/PhotoPreloadCache.h"
#include "album/shell/SlideTransitions.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/Controls.h"
#include "platform/afx/GdiObjects.h"
#include "platform/afx/Dialog.h"

#include <string>
#include <vector>

namespace shelf {

class CSlideShowDlg : public CDialog {
public:
    static constexpr UINT kTemplate = 160;
    static constexpr UINT kPlayButton = 1035, kEffectCombo = 1036, kEffectLabel = 1037;
    static constexpr UINT_PTR kTimer = 123;
    static constexpr int kBarWidth = 400, kBarHeight = 40;
    enum PlayMode : int { kPause = 0, kPlay = 1, kRandomPlay = 2, kPressKey = 3 };
    enum BarState : int { kBarHidden = 0, kBarSlidingIn = 1, kBarSlidingOut = 2, kBarShown = 3 };

    explicit CSlideShowDlg(CWnd* parent = nullptr, PhotoPreloadCache::Decoder decoder = {});
    ~CSlideShowDlg() override;

    void SetPlayMode(int mode);
    void AdvanceSlide();
    // One 50 ms tick.
    void Tick();
    // The next mode of the play button: 1 -> 2 -> 0 -> 3 -> 1.
    static int NextPlayMode(int mode);
    POINT BarOrigin() const { return SlideTransitions::BarOrigin(m_screenWidth, m_barState, m_barStep); }

    std::vector<std::string> m_paths;
    int m_index = 0;
    // The screen's size; the desktop's when left at 0.
    int m_screenWidth = 0, m_screenHeight = 0;
    CQLImage m_current, m_next, m_display, m_target;
    int m_nextIndex = -1;
    int m_playMode = kPlay;
    int m_effectChoice = 1;
    int m_effect = 0, m_step = 0;
    BOOL m_transitionRunning = FALSE;
    int m_barState = kBarSlidingOut, m_barStep = 0;
    long long m_lastActivity = 0;
    int m_ticks = 0;
    BOOL m_inTick = FALSE;
    BOOL m_started = FALSE;
    // Whole-window redraws of transition steps so far (tests count frames).
    int m_stepFrames = 0;
    POINT m_lastMouse{-1, -1};
    CButton m_playButton, m_closeButton;
    CStatic m_effectLabel;
    CComboBox m_effectCombo;

protected:
    BOOL OnInitDialog() override;
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    DECLARE_MESSAGE_MAP()

public:
    void OnMouseMoveAt(CPoint point) { OnMouseMove(0, point); }
    void OnLeftPressAt(CPoint point) { OnLButtonDown(0, point); }
    void DrawPicture(CDC* dc);

private:
    void PlaceBar();
    void StartBar(int state);
    void HideCursor();
    void RestoreCursor();
    void PickNext();
    BOOL TakeImage(int index, CQLImage* image);
    void EndShow();
    static long long Now();

    PhotoPreloadCache m_cache;
    PhotoPreloadCache::Decoder m_decode;
    CBitmap m_modeBitmaps[4];
    CBitmap m_closeBitmap;
    BOOL m_cursorHidden = FALSE;
};

} // namespace shelf
