// The editor frame's pictures: toolbar 140's strips (bitmaps 140 and 145
// normal, 144 disabled, 143 hot; nine 40 x 40 pictures on RGB(192,192,192)),
// the program icon 128 and the splash picture "start.lgb".
#pragma once

#include <QImage>

#include <string>

// The strip of one bitmap id (140, 143, 144 or 145); a null image otherwise.
QImage ToolbarStrip(int bitmapId);
QImage SplashPicture();
// Writes them under res (bitmap/, icon/) and skin; the number that failed.
int WriteEditorFramePictures(const std::string& res, const std::string& skin);
