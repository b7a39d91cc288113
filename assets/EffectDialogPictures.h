// The effect dialogs' pictures: the view-mode strip (bitmap 350), the
// dialogs' window icon (227) and the mark shown while a mask is set (343).
#pragma once

#include <string>

// Writes res/bitmap/350.png, res/icon/227.png and res/icon/343.png under the
// resource folder; the number of files that could not be written.
int WriteEffectDialogPictures(const std::string& res);
