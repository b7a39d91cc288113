// The skinned horizontal slider of the effect dialogs: the track bar keeps
// position and range; the face is composed from the skin's track and thumb
// pictures, with a step arrow at each end and a value box at the right.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/CommCtrl.h"
#include "platform/afx/GdiObjects.h"

class CImgSliderCtrl : public CSliderCtrl {
    DECLARE_DYNAMIC(CImgSliderCtrl)
public:
    CImgSliderCtrl();
    ~CImgSliderCtrl() override;

    // Sets the position and repaints at once.
    void SetPos(int pos);
    // The box shows position * scale + offset.
    void SetValueDisplay(BOOL show, double scale, double offset);

    BOOL PreTranslateMessage(MSG* pMsg) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The face for the current size, position and state into m_face.
    void ComposeFace();
    // The value as the box writes it.
    static void FormatValue(double value, char* out, size_t size);

    CFont m_valueFont;
    CQLImage m_face;
    int m_thumbCentre = 0;
    int m_trackTop = 0;
    int m_showValue = 1;
    double m_valueScale = 1.0;
    double m_valueOffset = 0.0;
    RECT m_trackRect{};
    RECT m_thumbRect{};
    RECT m_leftArrow{};
    RECT m_rightArrow{};
    RECT m_valueBox{};
    int m_dragging = 0;
    int m_grabOffset = 0;
    int m_heldArrow = 0;      // -1 or 1 while an arrow is held down
    int m_overHeldArrow = 0;  // the pointer is still over that arrow

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    DECLARE_MESSAGE_MAP()

private:
    void Repaint();
    void NotifyParent();
    void SetAndNotify(int pos);
    // The position under x on the track, for clicks and drags.
    int PosAt(int x) const;
    void AskForValue();
    void StopArrow();
};
