// The 16-to-8-bit step that the editor and the codec share for developed RAW
// photos: an optional 5 x 5 sharpening, then a BT.709 tone curve.
#pragma once

#include "platform/win/WinTypes.h"

class C16BitBitmap;
class CQLImage;

// 65,536 entries: min(255, truncate(256 y)) with y the BT.709 transfer of i / 65536.
const WORD* RawToneTable();

// Creates image at the bitmap's size and fills B, G, R through the tone table,
// alpha 255 (a fresh buffer's fourth byte would be undefined). With a
// non-zero amount, every pixel at least two from each border is first
// sharpened per channel, c + amount (c - blur) / 50 against a 5 x 5 blur
// (weights 4, 4, 2 and 1, summing to 32), and clamped; 50 is the editor's
// direct open. On all cores. 1, or 0 when the image cannot be created (the
// image is then untouched).
int ConvertRawTo8Bit(const C16BitBitmap& bitmap, CQLImage& image, int amount);
inline constexpr int kRawOpenSharpening = 50;
// A flag would silently become amount 1.
int ConvertRawTo8Bit(const C16BitBitmap& bitmap, CQLImage& image, bool sharpen) = delete;
