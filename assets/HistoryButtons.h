// The history bar's Undo and Redo faces (20 x 20, picture over mask).
#pragma once

#include <string>

// Writes undo.bmp and redo.bmp into the skin folder; the number of files
// that could not be written.
int WriteHistoryButtonPictures(const std::string& skin);
