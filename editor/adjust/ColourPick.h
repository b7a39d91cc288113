// Picking a colour from the result preview of a curve dialog: while it
// lasts the preview forwards its mouse and shows the photo.
#pragma once

#include "editor/ui/FilterDlg.h"

class ColourPick {
public:
    // The pick button was checked or unchecked.
    void Start(CFilterDlg& dlg);
    void Stop(CFilterDlg& dlg);
    // A preview notice while picking: the pick cursor, or on a click on the
    // photo the pixel into *colour and true (a click beside it picks
    // nothing).
    bool OnNotice(CFilterDlg& dlg, WPARAM code, LPARAM lParam, CPixel* colour) const;

private:
    int savedViewMode = 0;
};
