// "Auto Exposure Adjustment" and "Vivid color": three automatic corrections
// computed one after the other beside the unchanged photo; the user picks
// the best of the four.
#pragma once

#include "algorithms/AutoExposureAlgorithm.h"
#include "algorithms/AutoLevelsAlgorithm.h"
#include "algorithms/FilmAspectAdjustAlgorithm.h"
#include "algorithms/HueSaturationAlgorithm.h"
#include "editor/ui/PreviewButton.h"
#include "editor/ui/SkinDialog.h"

inline constexpr UINT IDD_AUTO_EXPOSURE = 174;
inline constexpr UINT IDC_EXPOSURE_FRAME = 1049;
inline constexpr UINT IDC_EXPOSURE_PROGRESS = 1051;
inline constexpr UINT IDC_EXPOSURE_VIEW_FIRST = 36864;  // "Original"; 36865..36867 the corrections

class CAutoExposureDlg : public CSkinDialog {
public:
    enum Config { kAutoExposure = 0, kVividColor = 1 };
    static constexpr int kCorrections = 3;

    CAutoExposureDlg(CWnd* parent, Config config = kAutoExposure);
    ~CAutoExposureDlg() override;

    BOOL OnInitDialog() override;
    void RecalcLayout();
    // Makes view i (0 "Original") the chosen one; a failed or empty
    // correction cannot be chosen.
    void Choose(int view);
    bool Running() const { return step < kCorrections; }

    Config config;
    CPreviewButton views[kCorrections + 1];
    CQLImage corrections[kCorrections];  // of views 36865, 36866, 36867
    bool succeeded[kCorrections] = {};
    CQLImage* chosen = nullptr;
    int undoText = 23;
    bool finished = false;

protected:
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg void OnView(UINT id);
    afx_msg LRESULT OnViewNotify(WPARAM code, LPARAM lParam);
    afx_msg LRESULT OnJobNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Starts step s of the chain; false when it could not be queued.
    bool StartStep(int s);
    void StepEnded(int s, bool ok);
    void WaitForChain();

    int step = kCorrections;  // the running step; kCorrections when none
    CFont font;
    AutoExposureAlgorithm autoExposure;
    AutoLevelsAlgorithm autoLevels;
    FilterHost sharpen;
    FilmAspectAdjustAlgorithm film;
    HueSaturationAlgorithm saturation;
    INT stepParam = 0;
    FilmAspectParams filmParams{0, 0, 0, 12, 0, 0, 0};
    HueSaturationParams saturationParams{0, 35, 0};
    bool ready = false;
    bool closing = false;
};

int RunAutoExposureDlg(CWnd* parent);
int RunVividColorDlg(CWnd* parent);
