// "Professional Histograms": one tone curve for the whole photo or one per
// colour, shaped by 3, 5 or 7 handles over the photo's histogram and
// applied at 16 bits on the algorithm thread.
#pragma once

#include "algorithms/LevelsAlgorithm.h"
#include "editor/adjust/HistogramCurve.h"
#include "editor/adjust/ColourPick.h"
#include "editor/ui/FilterDlg.h"
#include "imagecore/16BitBitmap.h"

#include <array>
#include <cstdint>
#include <vector>

inline constexpr UINT IDD_PROF_HISTOGRAM = 199;
inline constexpr UINT IDC_HIST_GRAPH = 1049;
inline constexpr UINT IDC_HIST_SWATCH = 1104;
inline constexpr UINT IDC_HIST_PICK = 1159;
inline constexpr UINT IDC_HIST_POINTS3 = 1160;
inline constexpr UINT IDC_HIST_POINTS5 = 1162;
inline constexpr UINT IDC_HIST_POINTS7 = 1164;
inline constexpr UINT IDC_HIST_SMOOTH = 1165;
inline constexpr UINT IDC_HIST_CHANNEL = 1166;
inline constexpr UINT IDC_HIST_AUTO = 1167;
inline constexpr UINT IDC_HIST_SAVE_THEME = 1282;

class CProfHistogramDlg : public CFilterDlg {
public:
    explicit CProfHistogramDlg(CWnd* parent);
    ~CProfHistogramDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    void OnAlgorithmDone(int tag, int result) override;

    // Places the handles of every channel for n points and makes the
    // curves identity.
    void ResetPoints(int n);
    void RebuildTable(int ch);
    void Auto();
    // The handle under a client point of the selected channel, or -1.
    int HandleAt(POINT p) const;
    void CountResultHistogram();

    // Graph geometry in client pixels, from frame 1049.
    RECT GraphFrame() const;
    RECT CurveArea() const;
    RECT PlotRect() const;
    RECT StripRect() const;

    C16BitBitmap source16;
    histcurve::Histogram16 histogram16;
    std::uint32_t resultHistogram[256] = {};
    int pointCount = 3;
    histcurve::CurvePoint points[histcurve::kChannels][histcurve::kMaxPoints];
    BYTE curves[histcurve::kChannels][256] = {};
    int channel = 0;
    int smooth = 1;
    int pickMode = 0;
    CPixel pickedColour{0, 0, 0, 255};
    int hovered = -1;
    bool dragging = false;
    bool histogramReady = false;
    LevelsAlgorithm levels;
    std::vector<WORD> tables16;  // master, red, green, blue; kTableSize each

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnPointCount(UINT id);
    afx_msg void OnSmooth();
    afx_msg void OnChannel();
    afx_msg void OnAutoButton();
    afx_msg void OnPick();
    afx_msg void OnSaveTheme();
    afx_msg LRESULT OnViewNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void PlaceHandles();
    void SetSmoothIcon();
    void EndPicking();
    void DrawStrip(CDC* dc);
    void DrawCurveArea(CDC* dc);
    void DrawMarker(CDC* dc);

    ColourPick picker;
    bool ready = false;  // the set-up got through the copies
};

// Runs the dialog on the open photo; IDOK once the curve was applied.
int RunProfHistogramDlg(CWnd* parent);
