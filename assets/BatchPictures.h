// Batch Edit's button icons in the album's resource tree (shelf/): move up
// 151, move down 152, remove 153, add 154, load a batch file 220, save one 221.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteBatchPictures(const std::string& res);
