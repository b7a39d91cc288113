#include "album/shell/AlbumGlobals.h"

#include "platform/win/FileOps.h"

namespace shelf {

AlbumGlobals* theAlbum = nullptr;

int AlbumGlobals::InitPaths(const std::string& programFolder)
{
    m_programFolder = programFolder;
    m_profilePath = programFolder + "Quillo.ini";
    m_folderSet = programFolder + "FolderSet/";
    m_frameFolder = programFolder;
    CreateDirectory(m_folderSet.c_str(), nullptr); // an existing folder is fine
    m_scanner.m_programFolder = programFolder;
    m_skin.Free();
    const LONG loaded = m_skin.LoadFromFile(GetSkinPath("btnsta.bmp").c_str());
    return loaded == 0 && m_skin.GetAreaByteSize() != 0 ? 0 : 1;
}

std::string AlbumGlobals::GetSkinPath(const std::string& name) const
{
    return m_programFolder + "skin/" + name;
}

} // namespace shelf
