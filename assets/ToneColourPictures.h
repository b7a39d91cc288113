#pragma once

#include <string>

// The colour and exposure choosers' faces, the pick and spot-metering
// cursors and the pick-the-best dialog's icon. Returns the failures.
int WriteToneColourPictures(const std::string& res, const std::string& skin);
