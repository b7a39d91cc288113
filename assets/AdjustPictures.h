// The tone dialogs' pictures: straight and smooth curve (icons 201, 202),
// the colour picker (203, cursor 204), the picked-value marker (205) and
// "Save as color theme" (257).
#pragma once

#include <string>

// Writes them under the resource folder; the number that could not be written.
int WriteAdjustPictures(const std::string& res);
