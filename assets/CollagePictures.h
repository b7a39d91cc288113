// QuilloCollage's pictures in its own resource tree (collage/): icon 128, the
// corner and rotation cursors 129 and 130, the centre, handle and
// first-corner icons 131 to 133; and the starter templates of Frame/.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteCollagePictures(const std::string& res, const std::string& programFolder);
