// "Smart Erase": the selection dialog in a repair role. The selected object
// is filled from its surroundings, right in the photo; "Undo All" brings the
// photo back as it was, "End" records one history step.
#pragma once

#include "algorithms/InpaintAlgorithm.h"
#include "editor/adjust/SelectionDlg.h"

class CMainFrame;

class CSmartEraseDlg : public CSelectionDlg {
public:
    static constexpr int kRepairTag = 1290;

    explicit CSmartEraseDlg(CWnd* parent);
    ~CSmartEraseDlg() override;

    void OnAlgorithmDone(int tag) override;
    bool Running() const { return running != 0; }

    CQLImage startImage;
    CQLImage resultImage;
    CQLChannel jobMask;  // the job's own copy: the strip may change the selection meanwhile
    InpaintAlgorithm inpaint;
    InpaintParams params{};
    int repaired = 0;
    int running = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnUndoAll();
    DECLARE_MESSAGE_MAP()

    void WaitForThread();
    void EnableRepairButtons(BOOL enable);
    void ShowPhotoAgain();
};

int RunSmartEraseDlg(CWnd* parent);
