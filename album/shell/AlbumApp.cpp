#include "album/shell/AlbumApp.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/MainFrame.h"
#include "album/tools/AlgorithmThread.h"
#include "editor/ui/AppSettings.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace shelf {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileName(nullptr, path, sizeof path);
    if (char* slash = std::strrchr(path, '/'))
        slash[1] = '\0';
    return path;
}

int InitPaths()
{
    const int result = theAlbum->InitPaths(ProgramFolder());
    // The owner-drawn menus highlight from the same strip.
    g_skinButtonImage = &theAlbum->m_skin;
    return result;
}

char* GetSkinPath(const char* name, char* buffer)
{
    std::snprintf(buffer, MAX_PATH, "%s", theAlbum->GetSkinPath(name).c_str());
    return buffer;
}

AlbumStartup::AlbumStartup() : m_globals(std::make_unique<AlbumGlobals>())
{
    theAlbum = m_globals.get();
}

AlbumStartup::~AlbumStartup()
{
    theAlbum = nullptr;
    g_skinButtonImage = nullptr;
}

// The OLE, control-container and 3-D control calls of a Windows start have
// nothing to do here; the album's algorithm thread starts with batch
// processing.
BOOL CAlbumApp::InitInstance()
{
    CQLImageCodec::Start();
    InitPaths(); // without the strip the frame refuses to be created
    std::free(const_cast<char*>(m_pszProfileName));
    theAlbum->m_profilePath = qlafx::DefaultProfilePath(theAlbum->m_programFolder.c_str()).GetString();
    m_pszProfileName = strdup(theAlbum->m_profilePath.c_str());
    auto* frame = new CMainFrame;
    m_pMainWnd = frame;
    if (!frame->LoadFrame(128, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE)) {
        m_pMainWnd = nullptr; // the frame deleted itself
        m_bStartFailed = 1;
        return FALSE;
    }
    frame->ShowWindow(SW_SHOW);
    frame->UpdateWindow();
    StartAlgorithmThread();
    return TRUE;
}

} // namespace shelf
