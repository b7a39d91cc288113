// The album's pictures: its button strip "btnsta.bmp", and its own resource
// tree (shelf/): the dialogs' pattern 228, the menu icons of toolbar 128,
// the program icon 128 and the hand cursor 138.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteShelfPictures(const std::string& res, const std::string& skin);
