// "Free Rotate": the user turns the picture by dragging around its centre or
// by half-degree nudges, judges it against two movable guides, and applies
// the turn on the algorithm thread, with or without the automatic crop.
#pragma once

#include "algorithms/FreeRotateAlgorithm.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

class CMainFrame;

inline constexpr UINT IDD_FREE_ROTATE = 251;
inline constexpr UINT IDC_ROTATE_PROGRESS = 1035;
inline constexpr UINT IDC_ROTATE_AUTO_CROP = 1043;
inline constexpr UINT IDC_ROTATE_PICTURE = 1049;
inline constexpr UINT IDC_ROTATE_LABEL = 1050;
inline constexpr UINT IDC_ROTATE_CW = 1462;
inline constexpr UINT IDC_ROTATE_CCW = 1463;

namespace freerotate {

inline constexpr int kPreviewSide = 640;
// Half a degree, with pi taken as 3.1416.
inline constexpr double kStep = 0.008726666666666667;
inline constexpr int kCentreDead = 10;
inline constexpr int kGuideMargin = 10;

// The angle of (dx, dy) from the picture's centre; 0 at the centre itself.
double Angle(int dx, int dy);
// In the picture and farther than 10 pixels from its centre in x or in y.
bool HitTest(POINT p, RECT picture);
int ClampGuide(int value, int low, int high);

}  // namespace freerotate

class CFreeRotateDlg : public CSkinDialog {
public:
    explicit CFreeRotateDlg(CWnd* parent);
    ~CFreeRotateDlg() override;

    double m_angle = 0.0;
    int m_guideX = 100;
    int m_guideY = 100;
    int m_autoCrop = 1;

    RECT PictureRect() const;
    const CQLImage& Preview() const { return m_preview; }
    BOOL IsRunning() const { return m_running; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT flags, CPoint point);
    afx_msg void OnRotateCW();
    afx_msg void OnRotateCCW();
    afx_msg LRESULT OnAlgorithmNotify(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    void Layout(int w, int h);
    // The turned preview at the current angle, on this thread (it is small).
    void UpdatePreview();
    void Nudge(double step);
    // 1 near the vertical guide, 2 near the horizontal one, 0 elsewhere.
    int GuideAt(CPoint point) const;
    void StopAndWait();
    // OK and the nudges, off while the final run goes.
    void EnableCommands(BOOL enable);

    FreeRotateAlgorithm m_algorithm;
    CQLImage m_previewSource;
    CQLImage m_preview;
    CQLImage m_result;  // the final run's
    double m_dragDelta = 0.0;
    BOOL m_dragging = FALSE;
    int m_dragMode = 0;
    CPoint m_dragStart;
    BOOL m_running = FALSE;
};

// Runs the dialog on the open photo; IDOK when it was turned.
int RunFreeRotateDlg(CWnd* parent);
