// Step 3 of Digital Beauty: three softened versions of the photo made one
// after the other on the algorithm thread, shown beside the original; the
// user picks one.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/MaskedGaussianBlurAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "editor/ui/PreviewButton.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

inline constexpr UINT IDD_SKIN_EFFECT = 215;
inline constexpr UINT IDC_SKIN_PROGRESS = 1035;
inline constexpr UINT IDC_SKIN_SEPARATOR = 1019;
inline constexpr UINT IDC_SKIN_ADVANCED = 1343;
inline constexpr UINT IDC_SKIN_VIEW_FIRST = 36864;  // "Original"; then "Soft light", "Cleaned skin", "Cleaned more"

namespace skineffect {

// max(width, height) / 60, held to 4 .. 32.
int Radius(int width, int height);

// FilterHost functions: the host's source S, its first added image Y (the
// blur) and its target O, which starts as a copy of S. 0 or E_FAIL.
// Weighted by S's alpha: f = a / 2 where a > 1.
int CleanedSkin(void* param, FilterHost* host);
// Weighted by S's alpha: f = trunc(a * 100 / 133) where positive.
int CleanedMore(void* param, FilterHost* host);
// (3S + 2Y) / 5 everywhere.
int SoftLight(void* param, FilterHost* host);

}  // namespace skineffect

class CSkinEffectDlg : public CSkinDialog {
public:
    enum Tag { kBlurTag = 0, kCleanedSkinTag = 1, kCleanedMoreTag = 2, kSmoothTag = 3, kSoftLightTag = 5 };
    static constexpr int kVariants = 3;

    explicit CSkinEffectDlg(CWnd* parent);
    ~CSkinEffectDlg() override;

    // 0 the original, 1..3 the variants; a variant whose job has not
    // succeeded cannot be chosen.
    void Choose(int index);
    BOOL IsRunning() const { return m_runningTag >= 0; }
    BOOL VariantReady(int index) const { return m_ready[index - 1]; }

    CPreviewButton m_views[kVariants + 1];
    CQLImage m_blurred;
    CQLImage m_variants[kVariants];  // "Soft light", "Cleaned skin", "Cleaned more"
    int m_radius = 4;
    int m_selected = 0;
    // "Advanced Digital Beauty..." closed the dialog: its runner goes on there.
    BOOL m_advancedChosen = FALSE;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnView(UINT id);
    afx_msg void OnAdvanced();
    afx_msg LRESULT OnViewNotice(WPARAM code, LPARAM data);
    afx_msg LRESULT OnAlgorithmNotify(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    void RecalcLayout(int w, int h);
    BOOL Run(EffectAlgorithm* algorithm, void* argument, int tag, int low, int high);
    // Host from the current image and the blur into the variant.
    BOOL RunBlend(FilterHost::Function blend, int variant, int tag, int low, int high);
    void ChainEnded();
    // No further runs; returns when the running one has ended.
    void WaitUntilIdle();

    MaskedGaussianBlurAlgorithm m_blur;
    FilterHost m_host;
    SmoothAlgorithm m_smooth;
    MaskedBlurParams m_blurParams{4};
    SmoothParams m_smoothParams{8};
    CFont m_headerFont;
    BOOL m_ready[kVariants] = {};
    int m_runningTag = -1;
    BOOL m_closing = FALSE;
    bool m_laidOut = false;
};

// Runs the step on the open photo; IDOK when the chosen picture was applied.
// "Advanced Digital Beauty..." goes on with Advanced Skin Clean.
int RunSkinEffectDlg(CWnd* parent);
