// The icon strips of toolbars 128, 134 and 365 (24 x 23 per icon, mask
// colour RGB(192,192,192)), written as res/bitmap/<id>.png.
#pragma once

#include <QImage>

#include <string>

// The strip of a toolbar id; a null image for other ids.
QImage MenuIconStrip(int toolbarId);
// Writes the three strips under res; the number of files that failed.
int WriteMenuIcons(const std::string& res);
