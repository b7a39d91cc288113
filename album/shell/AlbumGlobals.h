// The album's program-wide state: projects, the scanner, the paths found at
// start-up, the skin strip and the interface options the main frame reads.
#pragma once

#include "album/shell/AlbumScanner.h"
#include "album/shell/FolderNode.h"
#include "imagecore/QLImage.h"
#include "platform/afx/GdiObjects.h"

#include <string>

namespace shelf {

class CHintWnd;

class AlbumGlobals {
public:
    // The scanner (declared after the projects, whose nodes it may hold)
    // goes first: it closes its folder, then stops and joins its threads.
    AlbumGlobals() = default;
    ~AlbumGlobals() = default;
    AlbumGlobals(const AlbumGlobals&) = delete;
    AlbumGlobals& operator=(const AlbumGlobals&) = delete;

    // Program folder (ending in '/'), profile, "FolderSet/" (made when
    // missing) and the skin strip "skin/btnsta.bmp"; 0 when the strip loaded.
    int InitPaths(const std::string& programFolder);
    // "<program folder>skin/<name>".
    std::string GetSkinPath(const std::string& name) const;

    ProjectList m_projects;
    AlbumScanner m_scanner;
    std::string m_programFolder;
    std::string m_profilePath;
    std::string m_folderSet;
    std::string m_frameFolder; // the batch frame loader's copy of the program folder
    std::string m_userName;
    CQLImage m_skin;
    int m_bFullScreen = 0;
    int m_bAnimateView = 1;
    int m_bPopBlur = 1;
    CHintWnd* m_pHint = nullptr;
    CBitmap m_patternBitmap;
    CBrush m_patternBrush;
    std::string m_titleSuffix;
};

// Made by the album's start-up before the application object runs and
// destroyed after it; null outside that time.
extern AlbumGlobals* theAlbum;

} // namespace shelf
