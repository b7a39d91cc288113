// The skinned dialog base: pattern background with a light 3D border,
// blue-grey static text, and its plain push buttons, check boxes and radio
// buttons turned into skinned controls the first time they are coloured.
#pragma once

#include "platform/afx/Dialog.h"

#include <vector>

// The main frame's backdrop, which covers the main window behind dialogs;
// set by the frame that owns one. Show returns 1 when it was shown now.
extern int (*g_showBackdrop)();
extern void (*g_hideBackdrop)();

class CSkinDialog : public CDialog {
    DECLARE_DYNAMIC(CSkinDialog)
public:
    CSkinDialog(UINT templateId, CWnd* parent);
    // Deletes the skinned controls, hides the backdrop when this dialog
    // showed it, then destroys the dialog.
    ~CSkinDialog() override;

    BOOL OnInitDialog() override;

    // How much taller the system caption is than the 25 pixels the layouts
    // were drawn for; 0 when it is not.
    static int GetCaptionHeightDelta();

    std::vector<CWnd*> m_ownedControls;
    int m_wantBackdrop = 1;
    int m_backdropShown = 0;

protected:
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()

private:
    void SkinButton(CWnd* child);
};

namespace skin {

// Whether the window is one of the owned controls or already has an object.
bool IsSkinnedOrOwned(const std::vector<CWnd*>& owned, HWND hwnd);
// A skinned push button for hwnd, appended to owned; nothing when the
// subclassing fails.
void SubclassPushButton(std::vector<CWnd*>& owned, HWND hwnd);
// The skin's answer to WM_CTLCOLOR: transparent text on the pattern brush.
HBRUSH SkinBrushFor(CDC* dc);

}  // namespace skin
