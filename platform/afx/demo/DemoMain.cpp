// qlafx_demo: shows the window layer at work. Run with QT_QPA_PLATFORM=xcb
// on a desktop.
#include "platform/afx/WinApp.h"
#include "platform/afx/demo/DemoFrame.h"

namespace {

class CDemoApp : public CWinApp {
public:
    CDemoApp() : CWinApp("qlafx demo") {}

    BOOL InitInstance() override
    {
        // The frame deletes itself when its window goes.
        auto* frame = new CDemoFrame;
        m_pMainWnd = frame;
        if (!frame->LoadFrame(IDR_DEMO_FRAME)) {
            m_pMainWnd = nullptr;
            return FALSE;
        }
        frame->MoveWindow(100, 100, 640, 480);
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
        return TRUE;
    }
};

CDemoApp theApp;

}  // namespace

int main(int argc, char** argv) { return qlafx::RunApp(argc, argv); }
