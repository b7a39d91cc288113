// QuilloBeacon's application object.
#pragma once

#include "platform/afx/WinApp.h"

namespace beacon {

class CUpdateApp : public CWinApp {
public:
    CUpdateApp();
    BOOL InitInstance() override;

    bool m_automatic = false;
};

} // namespace beacon
