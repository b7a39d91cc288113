// QuilloDevelop's pictures: its skin folder raw/ (button faces, check
// boxes, logo, interpolation demo) and its own resource tree (develop/):
// icons 128, 129, 131-135, 138-149, cursors 130 and 137.
#pragma once

#include <string>

// The number of files that could not be written; rawFolder ends in '/'.
int WriteDevelopPictures(const std::string& res, const std::string& rawFolder);
