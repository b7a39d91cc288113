// "Visual Color Adjustment": six colour variants of a small copy around the
// current photo; a click on one applies it at full size and makes it the
// new centre.
#pragma once

#include "algorithms/ResizeBySpecAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "editor/adjust/ToneFunctions.h"
#include "editor/ui/SkinDialog.h"
#include "editor/ui/ZoomView.h"

inline constexpr UINT IDD_VISUAL_COLOR = 178;
inline constexpr UINT IDC_VISUAL_PROGRESS = 1035;
inline constexpr UINT IDC_VISUAL_FRAME = 1059;
inline constexpr UINT IDC_VISUAL_PART = 1166;
inline constexpr UINT IDC_VISUAL_VIEW_FIRST = 1180;  // views in kView order

class CVisualColorDlg : public CSkinDialog {
public:
    // The views; variants 0..5 are the jobs' order.
    enum View { kOriginal = 0, kCurrent = 1, kVariantView = 2, kViews = 8 };
    enum Tag { kTagApply = 100, kTagSmall = 101 };
    static constexpr int kSmallPixels = 160000;

    explicit CVisualColorDlg(CWnd* parent);
    ~CVisualColorDlg() override;

    BOOL OnInitDialog() override;
    void RecalcLayout();
    // Asks for the six variants; remembered while a job runs.
    void ComputeVariants();
    // A click on view v: a variant is applied, "Original Photo" restores
    // the photo, "Current Photo" is OK.
    void ClickView(int v);
    // A job or chain runs, or one is waiting to start.
    bool Busy() const { return jobTag >= 0 || pendingApply >= 0 || pendingVariants || pendingOriginal; }

    CQLImage fullCurrent;
    CQLImage smallOriginal;
    CQLImage smallCurrent;
    CQLImage variants[tone::kVariantCount];
    ZoomView views[kViews];
    int part = 0;  // the combo: 0 all image, 1..6 red to yellow

protected:
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnPart();
    afx_msg LRESULT OnViewNotify(WPARAM code, LPARAM lParam);
    afx_msg LRESULT OnJobNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    bool Run(EffectAlgorithm* algorithm, void* argument, int tag, int low, int high);
    // The small copy of fullCurrent, then the variants.
    void RemakeSmall();
    void SmallReady();
    void StartVariant(int i);
    void StartApply(int variant);
    void JobEnded(int tag, bool ok);
    void RestoreOriginal();
    void WaitForJobs();
    void Refresh(int view);

    ResizeBySpecAlgorithm resize;
    ResizeSpec resizeSpec{ResizeSpec::PixelCount, {kSmallPixels}};
    WhiteBalanceAlgorithm balance;
    DWORD reference = 0;
    CQLImage fullPending;
    int jobTag = -1;           // the running job; -1 none
    int pendingApply = -1;     // a clicked variant waiting for the chain
    bool pendingVariants = false;
    bool pendingOriginal = false;
    bool firstSmall = true;
    bool closing = false;
    bool ready = false;
    CFont font;
};

int RunVisualColorDlg(CWnd* parent);
