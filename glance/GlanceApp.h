// QuilloGlance's application object: start-up, the command line, file
// associations, the single running copy and the hand-over to it.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/WinApp.h"

#include <string>

namespace glance {

class GlanceApp : public CWinApp {
public:
    GlanceApp();
    BOOL InitInstance() override;

    std::string m_openPath;
    CQLImage m_skin;  // btnst.bmp
    int m_exitCode = 0;

private:
    void SetProfile();
    // A second copy: hands the path over to the running one.
    void HandOver();
    void RunViewer();
};

// "QuilloView.ini" where the suite keeps its profile for programFolder.
std::string ViewerProfilePath(const std::string& programFolder);
// Sends WM_USER+315 to the handle value of another process's viewer, waiting
// at most timeoutMs; false when nobody took it in time.
bool SendHandOver(HWND target, unsigned timeoutMs);

} // namespace glance
