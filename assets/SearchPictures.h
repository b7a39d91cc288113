// The photo search's and the EXIF bar's pictures in the album's resource
// tree (shelf/): the bar's twelve 16 x 16 line icons on a green mask (bitmap
// 145), the Search Photo icon 199 and the "Go to" picture 203.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteSearchPictures(const std::string& res);
