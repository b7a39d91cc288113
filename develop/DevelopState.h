// The program-wide development state shared by the wizard pages and the
// worker. The wizard moves on only after a job's completion message, so one
// side at a time touches it.
#pragma once

#include "develop/CommandLine.h"
#include "imagecore/16BitBitmap.h"
#include "platform/win/WinTypes.h"

#include <string>

class CQLImage;

namespace develop {

struct DevelopState {
    std::string rawPath;     // empty while no file is chosen
    C16BitBitmap developed;  // written by Step 1 or 2, read by Step 3 and the save
    C16BitBitmap sensor;     // handed to the RAW library's load; nothing reads it
    CommandLineValues commandLine;
};

DevelopState& State();

// The developed image into out at 8 bits: each channel sharpened first by
// amount (0 none, 50 as the editor's direct RAW open) at least two pixels
// inside the borders, then through RawToneTable. FALSE when out cannot be
// created or the image is empty (nothing converted).
BOOL ConvertTo8Bit(const C16BitBitmap& image, CQLImage* out, int amount);
// The same for the program's developed image.
BOOL ConvertTo8Bit(CQLImage* out, int amount);

} // namespace develop
