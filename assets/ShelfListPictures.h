// The photo list's icons in the album's resource tree (shelf/): file 133,
// folder 157, photo overlay 188, folder sign 195, EXIF sign 197, link 225.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteShelfListPictures(const std::string& res, const std::string& skin);
