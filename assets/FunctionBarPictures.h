// The editor's function bar faces: the five group pictures and the community
// picture (56 x 56), their compact versions with the web button's (24 x 24),
// the menu strip (13 x 80), the more button (14 x 13) and the two mode
// switches (24 x 14 and 20 x 20); each picture over its grey mask.
#pragma once

#include <string>

// Writes them into the skin folder; the number that could not be written.
int WriteFunctionBarPictures(const std::string& skin);
