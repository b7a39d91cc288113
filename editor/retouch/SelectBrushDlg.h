// "Select Brush": shape, size, blur (feather) and pressure of the click-edit
// brush, with a live sample.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

inline constexpr UINT IDD_SELECT_BRUSH = 211;
inline constexpr UINT IDC_BRUSH_SAMPLE = 1049;
inline constexpr UINT IDC_BRUSH_BLUR_SPIN = 1122;
inline constexpr UINT IDC_BRUSH_SIZE_SPIN = 1139;
inline constexpr UINT IDC_BRUSH_SIZE_EDIT = 1140;
inline constexpr UINT IDC_BRUSH_BLUR_EDIT = 1172;
inline constexpr UINT IDC_BRUSH_SHAPE = 1182;
inline constexpr UINT IDC_BRUSH_PRESSURE_EDIT = 1186;
inline constexpr UINT IDC_BRUSH_PRESSURE_SPIN = 1187;

namespace brush {

enum Byte { kShape = 0, kSize = 1, kBlur = 2, kPressure = 3 };

// Distance from the centre: trunc(sqrt(dx^2 + dy^2)) round, max(|dx|, |dy|) rectangle.
int Distance(int shape, int dx, int dy);
// 255 inside r1, falling to 0 across r2, scaled by pressure / 255.
int Level(int d, int r1, int r2, int pressure);
// The sample of the brush in a box of w x h (inside the black frame): grey
// pixels; *scaled is set when the brush had to shrink to fit.
void DrawSample(const BYTE brush[4], int w, int h, CQLImage* sample, bool* scaled);
// A spin step: value - delta limited to low .. high.
int Spin(int value, int delta, int low, int high);

}  // namespace brush

class CSelectBrushDlg : public CDialog {
public:
    CSelectBrushDlg(BYTE* brush, int maxSize, CWnd* parent);

    int m_shape = 0;
    int m_size = 1;
    int m_blur = 0;
    int m_pressure = 255;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;

    afx_msg void OnPaint();
    afx_msg void OnFieldChanged();
    afx_msg void OnSpin(UINT id, NMHDR* header, LRESULT* result);
    DECLARE_MESSAGE_MAP()

private:
    BYTE* m_brush;
    int m_maxSize;
    bool m_ready = false;
};
