// What the repair and lens-effect dialogs share: sliders that run the
// preview when released, OK that applies the final result as one history
// step, and the two-stage jobs of the members that run a second pass on the
// first one's picture.
#pragma once

#include "editor/ui/FilterDlg.h"

class CRepairDlg : public CFilterDlg {
public:
    CRepairDlg(UINT templateId, int historyText, CWnd* parent);

    // Subclasses a template trackbar as a skinned slider.
    void InitSlider(CImgSliderCtrl& slider, UINT id, int low, int high, int pos);

    int historyText;

protected:
    void OnOK() override;

    // A member with two stages starts its first with tag 0 into an image of
    // its own, and the second (tag 1, into the work image) from here; FALSE
    // when it could not start.
    virtual BOOL RunSecondStage() { return FALSE; }

    afx_msg void OnSliderReleased(UINT id, NMHDR* nm, LRESULT* answer);
    afx_msg LRESULT OnStageNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

    bool twoStage = false;
};

// Draws image scaled into dst (averaging when it shrinks).
void DrawRepairImage(CDC* dc, const CQLImage& image, const RECT& dst);
// The rectangle of an image of w x h fitted into box, aspect kept, centred.
RECT FitRect(int w, int h, const RECT& box);
// A control's rectangle in its dialog's client pixels.
RECT ItemRect(const CWnd* dialog, UINT id);

// Runs a dialog modally over the open photo; IDCANCEL when none is open.
template <class Dlg>
int RunRepairDlg(CWnd* parent)
{
    if (CFilterDlg::CurrentImage()->GetAreaByteSize() == 0)
        return IDCANCEL;
    Dlg dialog(parent);
    return static_cast<int>(dialog.DoModal());
}
