// The multi-shot tool window's three faces (96 x 96, picture over mask):
// stacked frames for noise reduction, a steadied hand for the anti-shake
// merge, three bracketed exposures for HDR.
#pragma once

#include <string>

// Writes multinr.bmp, multias.bmp and multihdr.bmp into the skin folder;
// the number of files not written.
int WriteMultiShotPictures(const std::string& skin);
