#include "develop/DevelopApp.h"

#include "develop/DevelopState.h"
#include "develop/DevelopTexts.h"
#include "develop/DevelopWizardDlg.h"
#include "develop/ProcessThread.h"
#include "develop/SingleInstanceGuard.h"
#include "platform/afx/MessageBox.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/raw/RawParser.h"

#include <cstdio>

namespace develop {

DevelopApp::DevelopApp() : CWinApp("QuilloDevelop") {}

BOOL DevelopApp::InitInstance()
{
    State().commandLine = ParseCommandLine(m_lpCmdLine ? m_lpCmdLine : "");
    const CommandLineValues& options = State().commandLine;
    // The editor and the album wait for their own copy's result; only a
    // plain start hands over to a running one.
    SingleInstanceGuard guard;
    const bool plain = options.input.empty() && options.output.empty() && options.folder.empty();
    if (plain && !guard.Acquire(kInstanceMutexName, Texts().GetText("tittle")))
        return FALSE;
    CQLImageCodec::Start();
    {
        DevelopWizardDlg dlg;
        m_pMainWnd = &dlg;
        const int result = dlg.DoModal();
        m_pMainWnd = nullptr;
        if (result == -1) {
            m_exitCode = 1;
        } else if (!options.output.empty() && !dlg.m_savePage.m_outputWritten) {
            if (!dlg.m_savePage.m_outputTried) {
                std::fprintf(stderr, "QuilloDevelop: %s was not written\n", options.output.c_str());
            }
            m_exitCode = 1;
        }
    }
    CRawParser::Stop();
    // The worker ends with the program.
    ProcessThread().PostThreadMessage(WM_QUIT, 0, 0);
    CQLImageCodec::Stop();
    return FALSE;
}

} // namespace develop
