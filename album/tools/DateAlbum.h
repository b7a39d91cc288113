// Virtual albums by month of shooting: a link to every photo with an EXIF
// date goes into "FolderSet/Virtual/Time/Y<year>-M<month>/" of the program
// folder.
#pragma once

#include "editor/shell/ExifInfo.h"

#include <string>

namespace shelf {

// Every failure ends it quietly.
void AddToVirtualDateAlbum(const char* photoPath, const ExifFields* fields);
// The same below another program folder (with its trailing '/').
void AddToVirtualDateAlbum(const std::string& programFolder, const char* photoPath, const ExifFields* fields);

} // namespace shelf
