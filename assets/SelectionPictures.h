// "Select an Area"'s tool strip icons (3410 to 3416: polygon, add, subtract,
// clear, invert, colour range, show mask) and its cursors over the image
// (3420 to 3423: polygon, add, subtract, close polygon).
#pragma once

#include <string>

// Writes them under the resource folder; the number that could not be written.
int WriteSelectionPictures(const std::string& res, const std::string& skin);
