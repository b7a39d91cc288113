// The paint window's pictures: the zoom and move tools (normal, active), the
// pick, swap and reset buttons (3430-3436), the colour field's marker (3437)
// and the colour-picker cursor (cursor 3440).
#pragma once

#include <string>

// Writes them under the resource folder; the number that could not be written.
int WritePaintPictures(const std::string& res);
