// The album's print wizard pictures: the arrangement samples "paper0.bmp"
// (economical), "paper1.bmp" (normal) and "paper2.bmp" (one copy a page) in
// the skin folder, and the settings page's 32 x 32 button bitmaps in the
// album's resource tree: crop up 151 and down 152 (left 153 and right 154
// are the viewer's arrows), add 179, remove 180, reduce 181, enlarge 182.
#pragma once

#include <string>

// The number of files that could not be written.
int WritePrintPictures(const std::string& res, const std::string& skin);
