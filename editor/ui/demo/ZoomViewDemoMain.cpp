// quillo_zoomview_demo [photo]: the editor's main menu over a photo in the
// zoom view. Run with QT_QPA_PLATFORM=xcb on a desktop; the tool pictures
// come from the build's program folder.
#include "editor/ui/AppSettings.h"
#include "editor/ui/demo/ZoomViewDemoFrame.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>

namespace {

class CZoomViewDemoApp : public CWinApp {
public:
    CZoomViewDemoApp() : CWinApp("Quillo zoom view demo") {}

    BOOL InitInstance() override
    {
        CQLImageCodec::Start();
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s",
                      QUILLO_PROGRAM_DIR "/");
        auto* frame = new CZoomViewDemoFrame;
        if (!frame->CreateDemo(m_lpCmdLine && *m_lpCmdLine ? m_lpCmdLine : nullptr, RECT{50, 50, 1050, 750})) {
            delete frame;
            return FALSE;
        }
        m_pMainWnd = frame;
        frame->ShowWindow(SW_SHOW);
        return TRUE;
    }

    int ExitInstance() override
    {
        CQLImageCodec::Stop();
        return CWinApp::ExitInstance();
    }
};

CZoomViewDemoApp theApp;

}  // namespace

int main(int argc, char** argv) { return qlafx::RunApp(argc, argv); }
