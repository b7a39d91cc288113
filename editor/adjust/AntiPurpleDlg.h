// "Anti Purple Fringing": the fringe's hue from a colour bar or picked from
// the photo, and the range around highlights that is treated.
#pragma once

#include "algorithms/AntiPurpleFringeAlgorithm.h"
#include "editor/adjust/ColourPick.h"
#include "editor/adjust/RepairDlg.h"

inline constexpr UINT IDD_ANTI_PURPLE = 260;
inline constexpr UINT IDC_FRINGE_RANGE = 1194;
inline constexpr UINT IDC_FRINGE_COLOUR_BAR = 1283;
inline constexpr UINT IDC_FRINGE_PICK = 1461;

class CAntiPurpleDlg : public CRepairDlg {
public:
    explicit CAntiPurpleDlg(CWnd* parent);
    ~CAntiPurpleDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;

    RECT BarRect() const;
    RECT HitRect() const;
    // The hue of a click at x on the bar.
    int HueAt(int x) const;
    void SetFringeHue(int hue);

    CPixel fringeColour{255, 0, 128, 255};
    int fringePickMode = 0;
    int range = 1;
    AntiFringeParams block{};
    CImgSliderCtrl rangeSlider;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnPick();
    afx_msg LRESULT OnViewNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void EndPicking();

    AntiPurpleFringeAlgorithm algorithm;
    ColourPick picker;
    bool ready = false;
};
