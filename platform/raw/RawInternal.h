// What CRawParser and the stateless development share: opening with the
// size limits, the development settings and the copy of LibRaw's result.
#pragma once

#include <libraw/libraw.h>

class C16BitBitmap;

namespace rawlib {

// open_file with the limits checked before anything is unpacked; the flash
// value (0 unknown) is read from the EXIF data on the way. true on success.
bool OpenChecked(LibRaw& raw, const char* path, int* flash = nullptr);
// Linear 16-bit sRGB output; quality 1..3 (linear, PPG, AHD), half size for quick work.
void SetDevelopParams(LibRaw& raw, int quality, bool autoBalance, bool half);
// Whether the unpacked data are a colour-filter mosaic.
bool IsMosaic(const LibRaw& raw);
// dcraw_make_mem_image into out as B, G, R words. true on success.
bool CopyDeveloped(LibRaw& raw, C16BitBitmap& out);

} // namespace rawlib
