// The common ground of the slider dialogs of the tone and colour group: a
// slider re-runs the preview when it is let go (mouse or keys), and OK waits
// for the last settings' result and applies it with its undo step.
#pragma once

#include "editor/ui/FilterDlg.h"

class CToneSliderDlg : public CFilterDlg {
public:
    CToneSliderDlg(UINT templateId, CWnd* parent, const char* key, int undoText, bool redrawMain);

    BOOL OnInitDialog() override;

    void SetSlider(UINT id, int low, int high, int pos, int page = 10, int tick = 0);
    int SliderPos(UINT id) const;
    // What a released slider does; the preview by default.
    virtual void OnSliderReleased(UINT id);
    // Chains: a job with a tag for which IsFirstStage holds writes an
    // intermediate image; when it ends well RunNextStage starts the job that
    // writes the result. The chain counts as running until its last job.
    virtual bool IsFirstStage(int) const { return false; }
    virtual BOOL RunNextStage(int) { return FALSE; }

protected:
    void OnOK() override;
    void OnCancel() override;

    afx_msg void OnReleased(UINT id, NMHDR* hdr, LRESULT* result);
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar);
    afx_msg LRESULT OnStageNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    bool ready = false;  // the base got its copy of the photo

private:
    int undoText;
    bool redrawMain;
};
