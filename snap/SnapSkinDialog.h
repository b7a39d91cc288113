// The capture program's skinned dialog base: the skin brush behind
// everything, a 3D edge, and its control colours.
#pragma once

#include "platform/afx/Afx.h"
#include "platform/afx/Dialog.h"
#include "platform/afx/GdiObjects.h"

namespace snap {

// The skin's pattern brush; no object until the application makes it.
CBrush& SkinBrush();

class CSnapSkinDialog : public CDialog {
public:
    CSnapSkinDialog(UINT id, CWnd* parent) : CDialog(id, parent) {}

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};

} // namespace snap
