// The repair and lens-effect dialogs' pictures: the gradient band's marker
// (icon 293), the dark-corner demo "darkcornersample.jpg", the lens-blur
// apertures "lenblur.bmp" (red round, green hexagon, blue octagon) and the
// star-light stars "star.bmp" (red 4 beams, green 6, blue 8).
#pragma once

#include <string>

// Writes them under the resource and skin folders; the number that could not
// be written.
int WriteRepairPictures(const std::string& res, const std::string& skin);
