// QuilloShelf: the photo album.
#include "album/shell/AlbumApp.h"

int main(int argc, char** argv)
{
    // C++ gives no order to static objects across files: the album's
    // start-up objects are made here, before the application, and undone
    // after it in reverse.
    shelf::AlbumStartup startup;
    shelf::CAlbumApp app;
    const int code = qlafx::RunApp(argc, argv);
    return app.m_bStartFailed ? 1 : code;
}
