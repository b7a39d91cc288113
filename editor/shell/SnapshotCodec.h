// Lossless snapshot of an image for the undo history: every colour channel
// split into its high and low nibbles, each half of each row packed two to a
// byte or run-length coded.
//
// Block: width (4, LE), height (4, LE), alpha flag (1), "Reserved" (8), then
// the planes alpha (only with the flag), red, green, blue, each height rows
// of: mode byte, high-nibble stream, low-nibble stream. Mode bit 1 selects
// run-length coding of the high nibbles, bit 0 of the low ones. A run byte is
// run * 16 + nibble (run 1..15). With the alpha flag, colour rows hold only
// the pixels whose alpha is not 0.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

class SnapshotCodec {
public:
    static constexpr DWORD kHeaderSize = 17;

    // 1, or 0 when memory runs out or the block would pass 2 GB (the history
    // file's offsets are 32-bit). *block comes from new BYTE[]; free it with
    // delete[]. withAlpha stores the alpha plane and masks the colour planes
    // by it.
    static int Encode(const CQLImage* image, BYTE** block, DWORD* length, BOOL withAlpha = FALSE);

    // 1, or 0 for a truncated or malformed block or a failed Create. The
    // whole block is checked before the image is touched, so a failure leaves
    // the image as it was; an image of another size gets a new buffer, put in
    // place only when it is filled. Without the alpha flag the alpha bytes
    // are not restored (a new buffer gets 255); with it, colour bytes of
    // pixels of alpha 0 keep what the image held.
    static int Decode(CQLImage* image, const BYTE* block, DWORD length);
};
