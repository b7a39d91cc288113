// Puts an EXIF record into a JPEG as a new APP1 segment, without touching
// the compressed picture.
#pragma once

#include "editor/shell/ExifInfo.h"

class ExifJpegWriter {
public:
    // The file must begin FF D8, then an APP0 or APP1 segment, then a
    // quantisation table; an old APP1 is replaced, an APP0 kept. 1 on
    // success and when the record has no EXIF; 0 leaves the file as it was.
    static int Apply(const char* path, const ExifFields& fields);
};
