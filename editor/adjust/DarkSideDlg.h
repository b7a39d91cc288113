// "Get Rid of Dark Corners": a circle marker over a thumbnail of the photo
// sets the lens circle that the vignette correction brightens towards.
#pragma once

#include "algorithms/VignetteCorrectionAlgorithm.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_DARK_SIDE = 316;
inline constexpr UINT IDC_DARK_DEMO = 1400;
inline constexpr UINT IDC_DARK_RANGE = 1404;
inline constexpr UINT IDC_DARK_PANEL = 1407;

class CDarkSideDlg : public CRepairDlg {
public:
    explicit CDarkSideDlg(CWnd* parent);
    ~CDarkSideDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    // The panel's inside, in client pixels.
    RECT PanelRect() const;
    // Places the marker on the picture's rectangle the first time.
    void PlaceMarker();
    RECT CentreBox() const;
    RECT HandleBox() const;

    CQLImage thumbnail;
    CQLImage demo;
    RECT imageRect{};
    POINT markerCentre{};
    int markerRadius = 0;
    bool markerPlaced = false;
    int demoMode = 0;
    int range = 20;
    int dragging = 0; // 1 centre, 2 radius
    VignetteParams block{};
    CImgSliderCtrl rangeSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnDemo();
    DECLARE_MESSAGE_MAP()

private:
    void DrawPanel(CDC* dc);
    void DrawMarker(CDC* dc) const;

    VignetteCorrectionAlgorithm algorithm;
    bool ready = false;
};
