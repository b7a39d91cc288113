// QuilloGlance's pictures: the skin's bar and button faces, and its own
// resource tree (glance/): icons 128 and 138, size grip 137, cursors 129 and
// 130, pattern bitmap 136.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteGlancePictures(const std::string& res, const std::string& skin);
