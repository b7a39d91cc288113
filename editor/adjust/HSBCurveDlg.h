// "HSB Curve": hue shift, saturation and brightness changed selectively by
// hue through 13 handles per mode over the hue circle.
#pragma once

#include "algorithms/HsbCurveAlgorithm.h"
#include "editor/adjust/HsbCurve.h"
#include "editor/adjust/ColourPick.h"
#include "editor/ui/FilterDlg.h"

inline constexpr UINT IDD_HSB_CURVE = 258;
inline constexpr UINT IDC_HSB_SWATCH = 1104;
inline constexpr UINT IDC_HSB_PICK = 1159;
inline constexpr UINT IDC_HSB_SAVE_THEME = 1268;
inline constexpr UINT IDC_HSB_MODE = 1280;
inline constexpr UINT IDC_HSB_RESET = 1285;
inline constexpr UINT IDC_HSB_GRAPH = 1286;

class CHSBCurveDlg : public CFilterDlg {
public:
    explicit CHSBCurveDlg(CWnd* parent);
    ~CHSBCurveDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    RECT OuterRect() const;
    RECT PlotRect() const;
    void PlaceHandles();
    void Reset();

    HsbCurveParams hsbCurves{};
    hsbcurve::HsbPoint hsbPoints[hsbcurve::kModes][hsbcurve::kHandles];
    int mode = 1;
    int pickMode = 0;
    CPixel pickedColour{0, 255, 0, 255};
    bool dragging = false;
    int dragged = -1;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnMode();
    afx_msg void OnReset();
    afx_msg void OnPick();
    afx_msg void OnSaveTheme();
    afx_msg LRESULT OnViewNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    INT* Table(int m) { return m == 0 ? hsbCurves.hueShift : m == 1 ? hsbCurves.saturationCurve : hsbCurves.brightnessCurve; }
    int HandleAt(POINT p) const;
    void DrawGraph(CDC* dc);
    void EndPicking();

    HsbCurveAlgorithm algorithm;
    CFont font;
    ColourPick picker;
    bool ready = false;
};

// Runs the dialog on the open photo; IDOK once the curves were applied.
int RunHSBCurveDlg(CWnd* parent);
