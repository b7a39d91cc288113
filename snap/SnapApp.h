// QuilloSnap's application object.
#pragma once

#include "platform/afx/WinApp.h"

namespace snap {

class CSnapApp : public CWinApp {
public:
    CSnapApp();
    BOOL InitInstance() override;
    // The skin brush from bitmap 137, when the skin's 3dface.bmp reads.
    static void LoadSkinBrush();

    int m_exitCode = 0;
};

} // namespace snap
