// "Content-aware resizing": the user drags the frame box's corner over the
// photo (or picks an aspect ratio) and the photo is narrowed and flattened
// by removing its least important content, on the algorithm thread: one
// analysis, then a pass along the larger reduction and one along the other.
#pragma once

#include "algorithms/ContentAwareResizeAlgorithm.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"

inline constexpr UINT IDD_CONTENT_RESIZE = 397;
inline constexpr UINT IDC_RESIZE_SEPARATOR = 1019;
inline constexpr UINT IDC_RESIZE_ASPECT = 1048;
inline constexpr UINT IDC_RESIZE_ANALYSING = 1380;
inline constexpr UINT IDC_RESIZE_DEFINE = 1551;

namespace contentresize {

inline constexpr int kAspects = 11;
inline constexpr int kMinBox = 32;
inline constexpr int kGrip = 16;

// The combo's width : height ratios; 0 for "Customize".
double AspectRatio(int index);
// One side of the target: drag * image / display rounded up to even, at
// most the image's side, and the image's side when within 4 of it.
int TargetSide(int drag, int display, int image);
// The frame box of ratio r over display: the full height when r is
// narrower than the display, else the full width. r is taken as height :
// width when the display is taller than wide.
RECT AspectBox(RECT display, double ratio);
// The dragged corner held at least kMinBox from the display's top-left and
// inside it.
POINT ClampCorner(POINT p, RECT display);
// Whether the first pass narrows (tag 1) rather than flattens (tag 2): the
// larger reduction goes first.
bool WidthFirst(SIZE image, SIZE target);

}  // namespace contentresize

class CContentResizeDlg : public CSkinDialog {
public:
    enum Tag { kAnalysisTag = 0, kWidthTag = 1, kHeightTag = 2, kSecondTag = 3 };

    explicit CContentResizeDlg(CWnd* parent);
    ~CContentResizeDlg() override;

    // A resize of the current frame box now, or after the running job.
    void RequestResize();
    // The frame box of the aspect combo's entry (index > 0).
    void ChooseAspect(int index);
    // A new protected area: stops the running job and analyses again.
    void SetProtectedArea(const CQLChannel& mask);

    BOOL IsRunning() const { return m_runningTag >= 0; }
    SIZE Target() const { return m_target; }
    RECT DisplayRect() const { return m_displayRect; }
    RECT ResultRect() const { return m_resultRect; }

    CQLImage m_work;
    CQLImage m_display;
    RECT m_dragRect{};
    int m_aspect = 0;
    BOOL m_pending = FALSE;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnLButtonUp(UINT flags, CPoint point);
    afx_msg void OnAspectChanged();
    afx_msg void OnDefine();
    afx_msg LRESULT OnAlgorithmNotify(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    void Layout(int w, int h);
    void StartAnalysis();
    void StartResize();
    BOOL Run(ContentAwareResizeAlgorithm* algorithm, int tag, int low, int high);
    void PassDone(BOOL ok);
    void BuildDisplay();
    bool OverGrip(CPoint point) const;
    RECT StripRect() const;
    void SetProgress(int percent);
    // Stops the running job and drops its notices.
    void StopAndWait();
    void Finish();

    ContentAwareResizeAlgorithm m_first;
    ContentAwareResizeAlgorithm m_second;
    ContentAwareResizeParams m_params{};
    CQLImage m_analysis;      // what the analysis writes
    CQLImage m_intermediate;  // the first pass's
    CQLImage m_secondResult;  // the second pass's, swapped into work at its end
    CQLChannel m_protectMask;
    CQLChannel m_passMask;
    SIZE m_target{};
    int m_panelWidth = 0;
    RECT m_previewArea{};
    RECT m_displayRect{};
    RECT m_resultRect{};
    BOOL m_dragging = FALSE;
    int m_runningTag = -1;
    int m_percent = 0;
    BOOL m_finishWhenIdle = FALSE;
    BOOL m_redo = FALSE;
    bool m_ready = false;
};

// Runs the dialog on the open photo; IDOK when it was resized.
int RunContentResizeDlg(CWnd* parent);
