// QuilloDevelop's application object: the single running copy, the command
// line and the wizard.
#pragma once

#include "platform/afx/WinApp.h"

namespace develop {

class DevelopApp : public CWinApp {
public:
    DevelopApp();
    BOOL InitInstance() override;

    int m_exitCode = 0;
};

} // namespace develop
