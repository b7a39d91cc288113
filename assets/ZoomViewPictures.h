// The zoom view's cursors (136 move, 137 zoom in, 138 zoom out) and the
// selection's icons (164 sizing grip, 165 lock, 166 accept, 170 text).
#pragma once

#include <string>

// Writes res/cursor/136..138.png and res/icon/164..166.png, 170.png under
// the resource folder; the number of files that could not be written.
int WriteZoomViewPictures(const std::string& res);
