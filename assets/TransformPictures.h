// The Transform dialog's icons: rotate right (159), rotate left (160),
// mirror (161), flip (162), crop (163), image size (317) and the dialog's
// window icon (167), 32 x 32.
#pragma once

#include <string>

// Writes res/icon/<id>.png for each; the number that could not be written.
int WriteTransformPictures(const std::string& res);
