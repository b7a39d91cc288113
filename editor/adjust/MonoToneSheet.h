// "Tone Maker": a monochrome or toned photo. The "Monochrome" page picks how
// colour becomes grey and how opaque it is, the "Color Bias" page tints the
// shadows, midtones and highlights; the sheet recomputes the result on the
// algorithm thread after every change and shows it before and after.
#pragma once

#include "algorithms/MonoToneAlgorithm.h"
#include "editor/ui/ButtonST.h"
#include "editor/ui/FilterDlg.h"
#include "editor/ui/PercentBar.h"
#include "editor/ui/SkinPropertyPage.h"
#include "editor/ui/SkinTabCtrl.h"
#include "editor/ui/ZoomView.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

#include <memory>

class CMonoToneSheet;

inline constexpr UINT IDD_MONO_PAGE = 276;
inline constexpr UINT IDD_MONO_COLOR_PAGE = 277;
inline constexpr UINT IDC_MONO_METHOD = 1243;
inline constexpr UINT IDC_MONO_SLIDER_R = 1312;
inline constexpr UINT IDC_MONO_SLIDER_G = 1313;
inline constexpr UINT IDC_MONO_SLIDER_B = 1314;
inline constexpr UINT IDC_MONO_THUMB_R = 1311;
inline constexpr UINT IDC_MONO_THUMB_G = 1310;
inline constexpr UINT IDC_MONO_THUMB_B = 1309;
inline constexpr UINT IDC_MONO_PERCENT_R = 1325;
inline constexpr UINT IDC_MONO_PERCENT_G = 1315;
inline constexpr UINT IDC_MONO_PERCENT_B = 1316;
inline constexpr UINT IDC_MONO_OPACITY = 1318;
inline constexpr UINT IDC_MONO_DEFAULT = 1285;
inline constexpr UINT IDC_MONO_SWATCH_SHADOW = 1321;
inline constexpr UINT IDC_MONO_SWATCH_MID = 1322;
inline constexpr UINT IDC_MONO_SWATCH_HIGH = 1323;
inline constexpr UINT IDC_MONO_AMOUNT = 1196;
inline constexpr UINT IDC_MONO_SAVE_THEME = 1282;
inline constexpr UINT IDC_MONO_SELECT = 4100;
inline constexpr UINT IDC_MONO_BEFORE = 4101;
inline constexpr UINT IDC_MONO_AFTER = 1052;
inline constexpr UINT IDC_MONO_MODE_BAR = 4102;
inline constexpr UINT IDC_MONO_PERCENT_BAR = 4099;

namespace monotone {

struct Weights {
    int r, g, b;
};
// The percentages shown for slider values r, g, b (each the inverse of its
// weight): (10000 - 100 x) / d with d = 300 - r - g - b, taken as 1 when 0.
Weights ShownWeights(int r, int g, int b);
// The block's weights (100 - x) x 255 / d, with the same d.
Weights BlockWeights(int r, int g, int b);
// The colour at brightness 128, hue and saturation kept (0x00BBGGRR).
COLORREF NormaliseSwatch(COLORREF colour);
// The colour's hue and saturation on the codec's 0..255 scales.
void HueAndSaturation(COLORREF colour, BYTE* hue, BYTE* saturation);

struct Settings {
    int method = 2;
    int sliders[3] = {70, 40, 90};  // red, green, blue
    int opacity = 100;              // percent
    COLORREF swatches[3] = {0x808080, 0x808080, 0x808080};
    int amount = 20;                // percent
};
MonoToneParams MakeBlock(const Settings& settings);

}  // namespace monotone

class CMonoPage : public CSkinPropertyPage {
public:
    explicit CMonoPage(CMonoToneSheet* sheet);

    // Red, green and blue of the photo as grey pictures, fitted in 100 x 100;
    // false when the photo cannot be scaled.
    bool MakeThumbnails(const CQLImage& photo);
    void Read(monotone::Settings* settings) const;
    void ShowPercentages();
    void RestoreDefaults();

    CMonoToneSheet* sheet;
    CQLImage thumbnails[3];

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnPaint();
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnVScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnMethod();
    afx_msg void OnDefault();
    DECLARE_MESSAGE_MAP()

    void Changed();
};

class CMonoColorPage : public CSkinPropertyPage {
public:
    explicit CMonoColorPage(CMonoToneSheet* sheet);

    void Read(monotone::Settings* settings) const;
    // Normalises and stores a chosen colour for swatch 0..2, then recomputes.
    void SetSwatch(int index, COLORREF chosen);

    CMonoToneSheet* sheet;
    COLORREF swatches[3] = {0x808080, 0x808080, 0x808080};

protected:
    BOOL OnInitDialog() override;
    afx_msg HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT type);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg void OnSwatch(UINT id);
    DECLARE_MESSAGE_MAP()

    int SwatchOf(const CWnd* wnd) const;
    CBrush brushes[3];
};

class CMonoToneSheet : public CPropertySheet {
public:
    static constexpr int kJobTag = 96;

    explicit CMonoToneSheet(CWnd* parent);
    ~CMonoToneSheet() override;

    // Reads both pages and runs the tone job, or marks one re-run while a job runs.
    void Recompute();
    // Keeps a copy of the mask (none when it holds no data) and recomputes.
    void SetSelectionMask(const CQLChannel* mask);
    void SetViewMode(int mode);
    bool JobRunning() const { return jobRunning != 0; }

    CMonoPage monoPage;
    CMonoColorPage colorPage;
    CSkinTabCtrl tabs;
    CQLImage result;
    CQLImage work;
    CPercentBar percentBar;
    MergedZoomView beforeView;
    MergedZoomView afterView;
    CViewModeBar modeBar;
    CButtonST saveButton;
    CButtonST selectButton;
    std::unique_ptr<CQLChannel> selectionMask;
    int rerunPending = 0;
    int jobRunning = 0;
    int lastFailed = 0;
    int viewMode = 2;
    MonoToneAlgorithm algorithm;
    MonoToneParams block{};

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnSaveTheme();
    afx_msg void OnSelectArea();
    afx_msg LRESULT OnAlgorithmNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnViewModeChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnZoomNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void Layout(int cx, int cy);
    void EnableClosing(BOOL enable);
    void WaitForThread();
    RECT tabRect{};
};

int RunMonoToneSheet(CWnd* parent);
