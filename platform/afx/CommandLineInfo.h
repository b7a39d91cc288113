// CCommandLineInfo and CWinApp::ParseCommandLine's work: the program's
// arguments read as flags ("-x") and one file name.
#pragma once

#include "platform/afx/AfxString.h"

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };

    CCommandLineInfo() = default;
    virtual ~CCommandLineInfo() = default;

    // Called once per argument, flags without their leading '-'.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
};

namespace qlafx {
// Splits a command line as the C runtime does (blanks separate, double
// quotes group, a quote left open runs to the end) and feeds info.
void ParseCommandLine(const char* commandLine, CCommandLineInfo& info);
}  // namespace qlafx
