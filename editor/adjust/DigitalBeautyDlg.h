// Step 2 of Digital Beauty: the skin is found, and three versions of the
// photo with brighter and/or pinker skin are made one after the other on
// the algorithm thread and shown beside the photo; "&Next>" writes the
// chosen one into the photo.
#pragma once

#include "algorithms/EffectAlgorithm.h"
#include "algorithms/SkinMaskAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "editor/ui/PreviewButton.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

inline constexpr UINT IDD_DIGITAL_BEAUTY = 214;
inline constexpr UINT IDC_BEAUTY_PROGRESS = 1035;
inline constexpr UINT IDC_BEAUTY_SEPARATOR = 1019;
inline constexpr UINT IDC_BEAUTY_VIEW_FIRST = 36864;  // "Original", "More bright", "More pink", "More bright and more pink"

namespace digitalbeauty {

// FilterHost functions. Brighten: the host's source S into its target T,
// whose alpha holds the skin weight. Pink: on the target in place.
int Brighten(void* param, FilterHost* host);
int Pink(void* param, FilterHost* host);

}  // namespace digitalbeauty

class CDigitalBeautyDlg : public CSkinDialog {
public:
    enum Tag { kMaskTag = 0, kSmoothTag = 1, kBrightTag = 2, kPinkTag = 3, kBrightPinkTag = 4 };
    static constexpr int kVariants = 3;
    static constexpr int kMaskRadius = 8;

    explicit CDigitalBeautyDlg(CWnd* parent);
    ~CDigitalBeautyDlg() override;

    // 0 the photo, 1..3 a finished variant.
    void Choose(int index);
    BOOL IsRunning() const { return m_runningTag >= 0; }
    BOOL VariantReady(int index) const { return m_ready[index - 1]; }
    // The jobs' algorithms, replaceable so that a failing job can be shown.
    void SetMaskAlgorithm(EffectAlgorithm* algorithm) { m_maskJob = algorithm; }

    CPreviewButton m_views[kVariants + 1];
    // "More bright", "More pink", "More bright and more pink"; alpha: the skin weight.
    CQLImage m_variants[kVariants];
    int m_variantChoice = 0;
    // The order and progress ranges of the jobs that ran.
    struct Job {
        int tag, low, high;
    };
    std::vector<Job> m_jobs;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnView(UINT id);
    afx_msg LRESULT OnViewNotice(WPARAM code, LPARAM data);
    afx_msg LRESULT OnAlgorithmNotify(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    void RecalcLayout(int w, int h);
    BOOL Run(EffectAlgorithm* algorithm, const void* argument, int tag, int low, int high);
    BOOL RunHost(FilterHost::Function fn, CQLImage* source, CQLImage* target, int tag, int low, int high);
    BOOL Next(int doneTag);
    void VariantDone(int index);
    void Failed();
    void WaitUntilIdle();

    SkinMaskAlgorithm m_skinMask;
    EffectAlgorithm* m_maskJob = &m_skinMask;
    SmoothAlgorithm m_smooth;
    SmoothParams m_smoothParams{kMaskRadius};
    FilterHost m_host;
    CFont m_headerFont;
    BOOL m_ready[kVariants] = {};
    int m_runningTag = -1;
    BOOL m_closing = FALSE;
    bool m_laidOut = false;
};

// Runs the step on the open photo; IDOK when "&Next>" closed it (the chosen
// variant, if any, is in the photo).
int RunDigitalBeautyDlg(CWnd* parent);
// The three steps: erase spots, skin tone, skin effects, then one undo step
// "Digital Beauty". A Cancel puts the photo back as it was. IDOK when applied.
int RunDigitalBeauty(CWnd* parent);
