// "Image Size": resizes the open photo with one of four methods and records
// one undo step. The two kernel methods run on the algorithm thread, the
// codec's methods on a background worker; the interface stays responsive.
#pragma once

#include "algorithms/ResampleAlgorithm.h"
#include "algorithms/SeparableResizeAlgorithm.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

class CMainFrame;

inline constexpr UINT IDD_IMAGE_SIZE = 225;
inline constexpr UINT IDC_SIZE_PROGRESS_BAR = 1035;
inline constexpr UINT IDC_SIZE_SEPARATOR = 1045;
inline constexpr UINT IDC_NEW_WIDTH = 1131;
inline constexpr UINT IDC_WIDTH_SPIN = 1132;
inline constexpr UINT IDC_NEW_HEIGHT = 1204;
inline constexpr UINT IDC_HEIGHT_SPIN = 1206;
inline constexpr UINT IDC_KEEP_PROPORTION = 1207;
inline constexpr UINT IDC_RESIZE_METHOD = 1280;
inline constexpr UINT IDC_RESIZE_ADVANCE = 1332;
inline constexpr UINT IDC_KEEP_EDGES = 1341;
inline constexpr UINT IDC_RESIZE_DETAIL = 1344;
inline constexpr UINT IDC_RESIZE_SHARPEN = 1345;

namespace imagesize {

inline constexpr UINT kMaxSide = 10000;
inline constexpr UINT kLargePixels = 6000000;

// The other side with the proportion kept: truncated, at least 1.
UINT HeightFromWidth(UINT width, double aspect);
UINT WidthFromHeight(UINT height, double aspect);
// A spin click: value - delta, limited to 1 .. 10000.
UINT SpinValue(UINT value, int delta);
// OK's limits: each side at most 10000 (the other following when the
// proportion is kept), both at least 1.
void ClampSize(UINT* width, UINT* height, int keepProportion, double aspect);
// The codec's methods sharpen reductions below 0.8 of the old width.
bool NeedsSharpen(UINT newWidth, UINT oldWidth);
// Every pixel off the border: 2 * value - (sum of its four neighbours) / 4
// per colour channel, limited to 0..255, from the unsharpened pixels.
void SharpenFourNeighbour(CQLImage* image);

}  // namespace imagesize

class CImageSizeDlg : public CSkinDialog {
public:
    static constexpr const char* kMethodNames[4] = {"Nearest Neighbor", "Biliner", "BiCubic", "Quillo Resize"};
    static constexpr int kQuilloResize = 3;

    explicit CImageSizeDlg(CWnd* parent);
    ~CImageSizeDlg() override;

    int m_keepProportion = 1;
    UINT m_newHeight = 0;
    UINT m_newWidth = 0;
    double m_sizeAspect = 1.0;
    int m_resizeMethod = kQuilloResize;
    int m_keepEdges = 1;
    int m_resizeDetail = 90;
    int m_resizeSharpen = 45;

    // A kernel job is on the algorithm thread.
    BOOL IsResizing() const { return m_jobRunning; }

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnAdvance();
    afx_msg void OnMethodChanged();
    afx_msg void OnKeepProportion();
    afx_msg void OnWidthChanged();
    afx_msg void OnHeightChanged();
    afx_msg void OnWidthSpin(NMHDR* header, LRESULT* result);
    afx_msg void OnHeightSpin(NMHDR* header, LRESULT* result);
    afx_msg LRESULT OnWorkerNotify(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    void EnableOptions();
    // Sets an edit without its change handler following it.
    void SetSide(UINT id, UINT value);
    UINT ReadSide(UINT id) const;  // 0 when not a number of 1 .. 100000
    void ResizeWithCodec(UINT oldWidth);
    void StartKernelJob();
    // Puts the result into the photo with the undo step; closes the dialog.
    void Finish(bool succeeded);

    SeparableResizeAlgorithm m_bicubic;
    ResampleAlgorithm m_quilloResize;
    ResizeParams m_params{};
    CQLImage m_result;
    int m_fullWidth = 0;
    BOOL m_jobRunning = FALSE;
    int m_settingText = 0;
};

// Runs the dialog on the open photo; IDOK when it was resized.
int RunImageSizeDlg(CWnd* parent);
int RunImageSizeCommand(CMainFrame* frame);
