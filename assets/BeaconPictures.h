// QuilloBeacon's pictures in its own resource tree (beacon/): the program
// icon 128 and bitmap 134, the list's seven 16 x 16 item-type icons on a
// green RGB(0,255,0) key.
#pragma once

#include <string>

// The number of files that could not be written.
int WriteBeaconPictures(const std::string& res);
