#include "platform/afx/CommandLineInfo.h"

#include <cstring>
#include <string>
#include <vector>

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL)
{
    if (bFlag) {
        if (!std::strcmp(pszParam, "pt") || !std::strcmp(pszParam, "PT"))
            m_nShellCommand = FilePrintTo;
        else if (!std::strcmp(pszParam, "p") || !std::strcmp(pszParam, "P"))
            m_nShellCommand = FilePrint;
        else if (!std::strcmp(pszParam, "Embedding") || !std::strcmp(pszParam, "Automation")) {
            m_bRunEmbedded = pszParam[0] == 'E';
            m_bRunAutomated = !m_bRunEmbedded;
            m_bShowSplash = FALSE;
        }
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
        // A program opened with a document shows no splash.
        m_bShowSplash = FALSE;
    }
}

namespace qlafx {

void ParseCommandLine(const char* commandLine, CCommandLineInfo& info)
{
    std::vector<std::string> args;
    const char* p = commandLine ? commandLine : "";
    while (*p) {
        while (*p == ' ' || *p == '\t')
            ++p;
        if (!*p)
            break;
        std::string arg;
        bool quoted = false;
        for (; *p && (quoted || (*p != ' ' && *p != '\t')); ++p) {
            if (*p == '"')
                quoted = !quoted;
            else
                arg += *p;
        }
        args.push_back(arg);
    }
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // Only '-' marks a flag: '/' begins every absolute path here.
        const bool flag = a.size() > 1 && a[0] == '-';
        info.ParseParam(flag ? a.c_str() + 1 : a.c_str(), flag, i + 1 == args.size());
    }
}

}  // namespace qlafx
