// QuilloShelf's application object: the codec, the paths, the profile and
// the skin strip, then the main frame.
#pragma once

#include "platform/afx/Afx.h"

#include <memory>

namespace shelf {

class AlbumGlobals;

class CAlbumApp : public CWinApp {
public:
    CAlbumApp() : CWinApp(nullptr) {}
    BOOL InitInstance() override;

    // Set when start-up ended without a main window: the process fails.
    int m_bStartFailed = 0;
};

// The running program's folder with its trailing '/'.
std::string ProgramFolder();
// The album's paths and its skin strip from the program folder; 0 when the
// strip "skin/btnsta.bmp" loaded.
int InitPaths();
// "<program folder>skin/<name>" into buffer (MAX_PATH bytes); returns buffer.
char* GetSkinPath(const char* name, char* buffer);

// What the static initialisers of the album built, made in this order by
// main before the application runs and undone in reverse after it: the
// global state with the scanner and its thumbnail thread.
class AlbumStartup {
public:
    AlbumStartup();
    ~AlbumStartup();
    AlbumStartup(const AlbumStartup&) = delete;
    AlbumStartup& operator=(const AlbumStartup&) = delete;

private:
    std::unique_ptr<AlbumGlobals> m_globals;
};

} // namespace shelf
