// quillo_skin_demo: the editor's skin on the window layer. Run with
// QT_QPA_PLATFORM=xcb on a desktop; the skin pictures come from the build's
// program folder.
#include "editor/ui/AppSettings.h"
#include "editor/ui/demo/SkinDemoDialog.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>

namespace {

class CSkinDemoApp : public CWinApp {
public:
    CSkinDemoApp() : CWinApp("Quillo skin demo") {}

    BOOL InitInstance() override
    {
        CQLImageCodec::Start();
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s",
                      QUILLO_PROGRAM_DIR "/");
        theAppSettings.LoadProfileAndSkin();
        // Keeps the user name given at the first start, so it is asked once.
        theAppSettings.SaveProfile();
        CSkinDemoDialog dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
        CQLImageCodec::Stop();
        return FALSE;
    }
};

CSkinDemoApp theApp;

}  // namespace

int main(int argc, char** argv) { return qlafx::RunApp(argc, argv); }
