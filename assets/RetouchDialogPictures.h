// The barrel-distortion dialog's slider ends: a grid bowed outwards
// (bitmap 299) and one bowed inwards (bitmap 302); the descreening demo
// "patterndemo.bmp", a screened print whose dots beat into moire; Free
// Rotate's rotate cursor 252 and the horizontal guide's grip, icon 294; the
// click-edit dialog's Undo icon 213 and window icon 229.
#pragma once

#include <string>

// Writes them under the resource and skin folders; the number that could
// not be written.
int WriteRetouchDialogPictures(const std::string& res, const std::string& skin);
