// qlafx_demo: shows the window layer at work. Run with QT_QPA_PLATFORM=xcb
// on a desktop.
#include "platform/afx/WinApp.h"
#include "platform/afx/demo/DemoDialog.h"

namespace {

class CDemoApp : public CWinApp {
public:
    CDemoApp() : CWinApp("qlafx demo") {}

    BOOL InitInstance() override
    {
        if (!m_dialog.Create(m_dialog.m_nIDTemplate))
            return FALSE;
        m_dialog.ShowWindow(SW_SHOW);
        m_pMainWnd = &m_dialog;
        return TRUE;
    }

private:
    CDemoDialog m_dialog;
};

CDemoApp theApp;

}  // namespace

int main(int argc, char** argv) { return qlafx::RunApp(argc, argv); }
