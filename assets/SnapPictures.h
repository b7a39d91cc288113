// QuilloSnap's pictures: the faces "screen.bmp" and "camera.bmp" of its two
// large buttons, and its own resource tree (snap/): icon 128, the capture
// menu's toolbar strip 133 and the skin's pattern bitmap 137.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteSnapPictures(const std::string& res, const std::string& skin);
