// The base of every effect and adjustment dialog: result and source
// previews in five view modes, a percent bar, the layer blend and the
// selection mask, histograms, and the run cycle on the algorithm thread
// (re-run on every change, cancel and re-run when a change meets a running
// job, blend and show when the job ends).
#pragma once

#include "editor/ui/ButtonST.h"
#include "editor/ui/FilterBlend.h"
#include "editor/ui/ImgSliderCtrl.h"
#include "editor/ui/PercentBar.h"
#include "editor/ui/SkinDialog.h"
#include "editor/ui/ZoomView.h"
#include "imagecore/QLChannel.h"
#include "platform/afx/CommCtrl.h"

#include <memory>

class EffectAlgorithm;

inline constexpr UINT IDD_LAYER_SETUP = 389;
inline constexpr UINT IDC_LAYER_OPACITY = 1211;
inline constexpr UINT IDC_LAYER_MODE = 1243;

inline constexpr UINT IDC_FILTER_RESULT_VIEW = 4097;
inline constexpr UINT IDC_FILTER_MODE_BAR = 4098;
inline constexpr UINT IDC_FILTER_PERCENT = 4099;
inline constexpr UINT IDC_FILTER_SELECT = 4100;
// The source view and the layer button share this id: look them up by member.
inline constexpr UINT IDC_FILTER_SOURCE_VIEW = 4101;
inline constexpr UINT IDC_FILTER_LAYER = 4101;

inline constexpr UINT WM_VIEWMODE_CHANGED = WM_USER + 5400;

// Runs "Select an Area" over the photo: IDOK with its mask (empty when nothing
// is selected) in *mask. The frame sets it with its dialogs; while none is
// set "Apply to Selection" stays off.
using SelectAreaRunner = int (*)(CWnd* parent, const CQLChannel** mask);
void SetSelectAreaRunner(SelectAreaRunner runner);
// A copy of the mask to keep as a dialog's selection; none when the mask has
// no data or cannot be copied.
std::unique_ptr<CQLChannel> KeepSelection(const CQLChannel* mask);

// "Layer setup": the mode and opacity of the result over the source.
class CLayerSetupDlg : public CSkinDialog {
public:
    static const char* const kModeNames[kBlendModeCount];

    explicit CLayerSetupDlg(CWnd* parent = nullptr);
    BOOL IsActive() const { return blendMode != 0 || opacity != 255; }

    int blendMode = 0;
    int opacity = 255;
    CImgSliderCtrl m_slider;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override;
};

// Five 20 x 20 cells: 0 before, 1 after, 2 side by side, 3 one above the
// other, 4 side by side with histograms.
class CViewModeBar : public CWnd {
public:
    static constexpr int kCell = 20;
    static constexpr int kModes = 5;
    static constexpr UINT_PTR kHintTimer = 123;

    BOOL Create(const RECT& rect, CWnd* parent, UINT id);
    int GetViewMode() const { return mode; }
    // Stores, redraws and tells the parent; the profile is left alone.
    void SetViewMode(int newMode);

    CImageList images;
    int mode = 2;
    int hover = -1;
    int tracking = 0;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg void OnMouseMove(UINT flags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonDown(UINT flags, CPoint point);
    afx_msg void OnTimer(UINT_PTR id);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    DECLARE_MESSAGE_MAP()

private:
    void SetHover(int cell);
};

class CFilterDlg : public CSkinDialog {
    DECLARE_DYNAMIC(CFilterDlg)
public:
    CFilterDlg(UINT templateId, CWnd* parent);
    ~CFilterDlg() override;

    BOOL OnInitDialog() override;

    virtual POINT GetResultOffset();
    virtual void OnProgress(int percent);
    virtual void OnAlgorithmDone(int tag, int result);
    // Derived dialogs start their job here with RunJob, writing into
    // GetWorkImage(); empty in the base.
    virtual void RunAlgorithm();
    virtual void RecalcLayout();

    // The one call after any parameter change.
    void UpdatePreview();
    void SetViewMode(int mode);
    static void ComputeHistogram(CQLImage* image, HistogramTable table);
    void BlendResult();
    // Keeps a copy of mask as the selection (none when it has no pixels),
    // then runs the preview again.
    void SetSelectionMask(const CQLChannel* mask);
    // "Apply to Selection": keeps the mask chosen in "Select an Area".
    void OnSelectArea();

    // Waits in a message loop until no job is pending, runs the job once
    // more to completion when a re-run was pending or the last result was
    // not 0, and returns the final result (0 success). Every OK calls it
    // before it takes result.
    int WaitForFinalResult();

    // A job was started and its end not yet handled.
    bool JobPending() const { return jobsStarted != jobsDone; }

    // The photo the dialog works on.
    static CQLImage* CurrentImage();

    CLayerSetupDlg layerSetup;
    int rerunPending = 0;
    RECT templateRect{};
    int layoutReady = 0;
    MergedZoomView resultView;
    MergedZoomView sourceView;
    CViewModeBar modeBar;
    CPercentBar percentBar;
    CButtonST selectButton;
    CButtonST layerButton;
    CQLImage result;
    HistogramTable sourceHistogram{};
    HistogramTable resultHistogram{};
    RECT sourceHistRect{};
    RECT resultHistRect{};
    int maximized = 0;
    const char* dialogKey = nullptr;
    std::unique_ptr<CQLChannel> selectionMask;

protected:
    // The job's target: the previews never show it, so the job may write it
    // while they paint; a successful job's picture is swapped into result.
    CQLImage* GetWorkImage() { return &work; }
    // Starts alg on the algorithm thread for this dialog; FALSE when it
    // could not be queued.
    BOOL RunJob(EffectAlgorithm* alg, void* argument, int tag, int low, int high);
    // Cancels a running job and returns once it has ended; no re-run
    // follows. Derived dialogs call it first in their destructors, as the
    // job uses their members.
    void StopJobAndWait();

    void OnOK() override;
    void OnCancel() override;

    afx_msg int OnCreate(LPCREATESTRUCT cs);
    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg BOOL OnEraseBkgnd(CDC* dc);
    afx_msg LRESULT OnAlgorithmNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSyncPreview(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnViewModeChanged(WPARAM wParam, LPARAM lParam);
    afx_msg void OnLayerSetup();
    DECLARE_MESSAGE_MAP()

    void FitToMainWindow();
    void DrawHistograms(CDC* dc);

    static constexpr int kNoResult = -1;

    void WaitUntilIdle();

    CQLImage work;
    int jobsStarted = 0;
    int jobsDone = 0;
    int lastResult = kNoResult;
    bool closing = false;
    bool waitingForResult = false;
};
