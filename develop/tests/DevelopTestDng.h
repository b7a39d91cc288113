// DNG files made from a photo for the wizard's tests: the photo's pixels as
// linear sensor data (an RGGB mosaic or three samples) and, when asked, the
// photo itself as the embedded preview.
#pragma once

#include "imagecore/QLImage.h"

#include <string>

bool WritePhotoDng(const std::string& path, const CQLImage& photo, bool mosaic, int previewWidth);
