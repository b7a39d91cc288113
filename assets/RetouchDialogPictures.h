// The barrel-distortion dialog's slider ends: a grid bowed outwards
// (bitmap 299) and one bowed inwards (bitmap 302).
#pragma once

#include <string>

// Writes them under the resource folder; the number that could not be written.
int WriteRetouchDialogPictures(const std::string& res);
