// Stateless RAW development for any thread: each call has its own LibRaw
// object. Files with a side over 65535 or over 500 megapixels are refused
// before their data are unpacked; LibRaw's errors and exceptions become
// failures.
#pragma once

#include "platform/win/WinTypes.h"

class C16BitBitmap;
class CQLImage;

// The size of the developed picture (after the camera's orientation), read
// without decoding. false when the file is not a RAW LibRaw knows.
bool RawFileShape(const char* path, int& width, int& height);

// Develops at the best quality (AHD) with the camera's white balance into a
// linear 16-bit bitmap, the camera's orientation applied; half develops at
// half size (quick). *mosaic (when given) tells whether the data needed
// interpolation; such results are brightened as CRawParser::UniformImage does.
bool DevelopRawFile(const char* path, bool half, C16BitBitmap& out, bool* mosaic = nullptr);

// DevelopRawFile, then ConvertRawTo8Bit (sharpened for mosaic data).
bool LoadRawAs8Bit(const char* path, bool half, CQLImage& image);

// CRawParser::LoadThumbnail's results: 0 thumbnail in image, 1 not a RAW
// format, 2 no thumbnail, 3 a thumbnail of an unsupported kind, 4 error.
int LoadRawThumbnail(const char* path, CQLImage& image);

// Brightens so that 1 % of the pixels reach full scale in their brightest
// channel; never darkens. On all cores.
void UniformRawImage(C16BitBitmap& bitmap);
