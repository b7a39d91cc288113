// "Step 2: Anti-Shake between photos": picks the reference photo and aligns
// every other chosen photo to it on the algorithm thread, one at a time.
#pragma once

#include "algorithms/AntiShakeAlgorithm.h"
#include "editor/ui/SkinDialog.h"
#include "imagecore/QLImage.h"

#include <vector>

class CMultiWork;

inline constexpr UINT IDD_ANTI_SHAKE_STEP = 331;
inline constexpr UINT IDC_SHAKE_RANGE = 1443;
inline constexpr UINT IDC_SHAKE_ACCURACY = 1444;
inline constexpr UINT IDC_SHAKE_ENABLE = 1446;
inline constexpr UINT IDC_SHAKE_STATUS = 1447;
inline constexpr UINT IDC_SHAKE_BAR = 1035;

class CAntiShakeStepDlg : public CSkinDialog {
public:
    CAntiShakeStepDlg(CMultiWork* work, CWnd* parent);

    // The first photo for which exactly n/2 others rank higher (later
    // created, or brighter in HDR mode); n/2 when there is none.
    static int ChooseByRank(const std::vector<ULONGLONG>& ranks);
    int ChooseReference() const;
    // Drops the photos that could not be aligned; the reference stays named.
    void PruneUnaligned();

    BOOL hdrMode = FALSE;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void AnalyseNext();
    void Close(int answer);
    afx_msg void OnEnableToggled();
    afx_msg LRESULT OnAlgorithmNotify(WPARAM kind, LPARAM value);
    DECLARE_MESSAGE_MAP()

private:
    CMultiWork* m_work;
    CQLImage m_referenceImage;
    CQLImage m_photoImage;
    AntiShakeAlgorithm m_algorithm;
    AntiShakeParams m_params = {};
    int m_current = 0;
};
