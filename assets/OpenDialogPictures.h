// The open dialog's buttons: Up (icon 287), Back (290) and the view button
// (291), and the home cell of the "Look in" strip.
#pragma once

#include <string>

class QPainter;

// The home folder in a 16-unit box, for the "Look in" strip.
void DrawHomeCell(QPainter& p);

// Writes the icons under the resource folder; the number that could not be written.
int WriteOpenDialogPictures(const std::string& res);
