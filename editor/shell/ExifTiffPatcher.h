// Appends an Exif IFD with the record's exposure values to a TIFF file and
// points IFD0's Exif IFD entry at it.
#pragma once

#include "editor/shell/ExifInfo.h"

class ExifTiffPatcher {
public:
    // 1 on success and when the record has no EXIF or no exposure value to
    // write; 0 (file unchanged) for a file that is not a TIFF we can patch:
    // bad header or offsets, more than 512 entries in IFD0, no Exif IFD entry.
    static int Apply(const char* path, const ExifFields& fields);
};
