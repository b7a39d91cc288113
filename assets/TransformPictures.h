// The Transform dialog's icons: rotate right (159), rotate left (160),
// mirror (161), flip (162), crop (163), image size (317) and the dialog's
// window icon (167), 32 x 32; and the Perspective Crop dialog's sample.
#pragma once

#include <string>

// Writes res/icon/<id>.png for each; the number that could not be written.
int WriteTransformPictures(const std::string& res);

// Writes skin/perspectsample.bmp: a skewed rectangle with its four corner
// points marked; 1 when it could not be written.
int WritePerspectiveSample(const std::string& skin);
