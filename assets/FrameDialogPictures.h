// The frame dialogs' pictures: a folder (icon 288) and a template still
// without its preview (289) in the grid, the frame button (315), the
// "repaint this picture" button (319), and the 16-pixel strip of drives and
// folders (bitmap 292, green mask) that the open dialog's "Look in" list
// shares.
#pragma once

#include <string>

// Writes them under the resource folder; the number that could not be written.
int WriteFrameDialogPictures(const std::string& res);
