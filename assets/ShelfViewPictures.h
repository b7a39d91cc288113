// The album viewer's pictures in its resource tree (shelf/): the View Photo
// and slideshow buttons, the full-screen icon and the panel's cursors.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteShelfViewPictures(const std::string& res);
