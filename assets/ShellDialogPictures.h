// The pictures of the editor's small shell dialogs: the three faces of
// "Select the function" (100 x 100, picture over mask) and icon 147 of the
// image property dialog.
#pragma once

#include <QImage>

#include <string>

// The face's picture alone, by skin file name; a null image for others.
QImage FunctionFace(const std::string& file);
// Writes the faces into the skin folder and the icon under res/icon; the
// number of files that could not be written.
int WriteShellDialogPictures(const std::string& res, const std::string& skin);
