#include "album/tools/DateAlbum.h"

#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileOps.h"
#include "platform/win/Folders.h"

#include <cstdio>
#include <cstring>

namespace shelf {
namespace {

bool ensureFolder(const std::string& path)
{
    return GetFileAttributes(path.c_str()) != INVALID_FILE_ATTRIBUTES || CreateDirectory(path.c_str(), nullptr);
}

std::string programFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileName(nullptr, path, MAX_PATH);
    if (char* slash = std::strrchr(path, '/'))
        slash[1] = '\0';
    return path;
}

} // namespace

void AddToVirtualDateAlbum(const char* photoPath, const ExifFields* fields)
{
    AddToVirtualDateAlbum(programFolder(), photoPath, fields);
}

void AddToVirtualDateAlbum(const std::string& programFolder, const char* photoPath, const ExifFields* fields)
{
    if (!photoPath || !fields)
        return;
    const std::string virtualRoot = programFolder + "FolderSet/Virtual/";
    if (!ensureFolder(virtualRoot))
        return;
    if (!fields->dateTime[0])
        return;
    const SYSTEMTIME date = ParseExifDateTime(fields->dateTime);
    char month[32];
    std::snprintf(month, sizeof month, "Y%d-M%02d/", date.wYear, date.wMonth);
    const std::string timeFolder = virtualRoot + "Time/";
    if (!ensureFolder(timeFolder) || !ensureFolder(timeFolder + month))
        return;
    CQLLinkFile link;
    link.Create(photoPath, (timeFolder + month).c_str());
}

} // namespace shelf
