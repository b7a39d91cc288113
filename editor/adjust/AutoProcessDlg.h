// "TRY Automatic Processing": an automatic white balance, then an automatic
// enhancement for the chosen kind of photo, as a chain of two jobs.
#pragma once

#include "algorithms/AutoEnhanceAlgorithm.h"
#include "algorithms/WhiteBalanceAlgorithm.h"
#include "editor/adjust/ToneSliderDlg.h"

inline constexpr UINT IDD_AUTO_PROCESS = 339;
inline constexpr UINT IDC_AUTO_PORTRAIT = 1288;
inline constexpr UINT IDC_AUTO_NIGHT = 1289;
inline constexpr UINT IDC_AUTO_NORMAL = 1290;

class CAutoProcessDlg : public CToneSliderDlg {
public:
    enum : int { kStageBalance = 0, kStageEnhance = 1 };

    explicit CAutoProcessDlg(CWnd* parent);
    ~CAutoProcessDlg() override;

    BOOL OnInitDialog() override;
    void RunAlgorithm() override;
    bool IsFirstStage(int tag) const override { return tag == kStageBalance; }
    BOOL RunNextStage(int tag) override;

    INT imageType = 0;  // Normal 0, Portrait 1, Night Scene 2
    CQLImage intermediate;

protected:
    afx_msg void OnImageType(UINT id);
    DECLARE_MESSAGE_MAP()

private:
    AutoWhiteBalanceAlgorithm balance;
    AutoEnhanceAlgorithm enhance;
    INT running = 0;
};

int RunAutoProcessDlg(CWnd* parent);
