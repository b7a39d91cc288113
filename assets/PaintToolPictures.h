// The paint-tool plug-ins' icons, 24 x 24 for the tool panel's cells: the
// colour brush (1001, Ctrl: 1000 decolour), the smudging finger and the pen
// (101 each, 102 their second state), under <res>/plugins/<library>/icon/.
#pragma once

#include <string>

// The number of pictures that could not be written.
int WritePaintToolPictures(const std::string& res);
