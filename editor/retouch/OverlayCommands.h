// The three uses of the overlay sheet: a picture from a file, a text, and a
// picture from the clipboard. Each returns the sheet's modal result.
#pragma once

#include "imagecore/QLImage.h"

class CWnd;

// "Add image into photo": caption and undo step "Insert Image".
int RunInsertImageSheet(CWnd* parent);
// "Add text into photo": caption and undo step "Insert Text".
int RunInsertTextSheet(CWnd* parent);
// Paste with a photo open: the picture is the object, placed at once;
// caption "Paste Image", undo step "Paste".
int RunPasteSheet(CWnd* parent, CQLImage&& picture);
