// The save-mode dialog's five faces (64 x 64, picture over mask): save back,
// for the web, for print, for editing and custom saving.
#pragma once

#include <string>

// Writes saveback.bmp, internet.bmp, saveforprint.bmp, saveforedit.bmp and
// savecustom.bmp into the skin folder; the number of files not written.
int WriteSaveModePictures(const std::string& skin);
