// "White Balance": a click on the photo names the colour that should be
// white or grey; the corrected photo is shown beside it.
#pragma once

#include "algorithms/WhiteBalanceAlgorithm.h"
#include "editor/ui/SkinDialog.h"
#include "editor/ui/ZoomView.h"

inline constexpr UINT IDD_WHITE_BALANCE = 177;
inline constexpr UINT IDC_BALANCE_FRAME = 1049;
inline constexpr UINT IDC_BALANCE_AUTO = 1167;
inline constexpr UINT IDC_BALANCE_BEFORE = 1170;
inline constexpr UINT IDC_BALANCE_AFTER = 1171;

class CWhiteBalanceDlg : public CSkinDialog {
public:
    explicit CWhiteBalanceDlg(CWnd* parent);
    ~CWhiteBalanceDlg() override;

    BOOL OnInitDialog() override;
    void RecalcLayout();
    // Starts the correction for a click on the photo's pixel; FALSE when it
    // could not be queued.
    virtual BOOL StartClickJob(POINT imagePoint);
    bool Busy() const { return jobRunning; }

    CQLImage work;     // what OK applies; a copy of the photo until a result
    CQLImage pending;  // the running job's target
    ZoomView beforeView;
    ZoomView afterView;
    bool hasResult = false;

protected:
    // The correction of the photo by one reference colour (0: found by the
    // algorithm) into pending.
    BOOL StartBalance(DWORD reference);
    BOOL StartJob(EffectAlgorithm* algorithm, void* argument);

    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnSize(UINT type, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg void OnGetMinMaxInfo(MINMAXINFO* info);
    afx_msg BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message);
    afx_msg void OnTryAuto();
    afx_msg LRESULT OnViewNotify(WPARAM code, LPARAM lParam);
    afx_msg LRESULT OnJobNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    void WaitForJob();

    int captionText = 25;
    int hintText = 24;
    int undoText = 25;
    HCURSOR beforeCursor = nullptr;

private:
    CFont font;
    WhiteBalanceAlgorithm balance;
    DWORD reference = 0;
    bool jobRunning = false;
    bool ready = false;
};

int RunWhiteBalanceDlg(CWnd* parent);
