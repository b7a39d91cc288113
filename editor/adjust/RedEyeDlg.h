// "Erase Redeye": each click recolours the red pupil under the brush with
// the colour of the dark iris around it.
#pragma once

#include "editor/retouch/ClickEditDlg.h"

namespace redeye {

// The colour taken from the iris: brightness, saturation and hue (0..255 a turn).
struct IrisColour {
    int brightness = 0, saturation = 0, hue = 0;
};

// The weighted circular mean of hues: 0 when the weighted vectors cancel.
// sumCos and sumSin are the integer sums of w * cos and w * sin.
int MeanHue(long long sumCos, long long sumSin);
// The recolour of one click on its patch (blue, green, red and the brush
// weight in alpha), in place; alpha stays.
void RecolourPatch(CQLImage* patch);
// The whole click on the image: the brush patch around centre over area,
// recoloured and written back where the brush reaches. FALSE when nothing
// was made.
BOOL EraseRedEye(CQLImage* work, const BYTE brush[4], RECT area, POINT centre);

}  // namespace redeye

class CRedEyeDlg : public CClickEditDlg {
public:
    explicit CRedEyeDlg(CWnd* parent);

    void OnImageClick(int x, int y) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
};

// Runs "Erase Redeye" on the open photo; IDOK when it was applied.
int RunRedEyeDlg(CWnd* parent);
