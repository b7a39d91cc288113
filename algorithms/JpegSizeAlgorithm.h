// Encodes the source as a JPEG in memory at a given quality, optionally with
// a custom quantisation table, keeps the byte size and can decode the JPEG
// back into the target.
#pragma once

#include "algorithms/EffectAlgorithm.h"

#include <memory>

class JpegSizeAlgorithm : public EffectAlgorithm {
public:
    // params: one INT quality (codec meaning: above 100 is full colour
    // resolution). 0, E_FAIL, or 8 when the target copy cannot be made.
    HRESULT Apply(const void* params) override;

    DWORD GetJpegSize() const { return jpegSize; }
    // Non-zero: only measure; the target is not touched.
    void SetSizeOnly(int on) { decodeBack = on ? 0 : 1; }
    // Non-zero: the encoded bytes stay for TakeBytes, so a caller that saves
    // what it measured writes them instead of encoding again.
    void SetKeepBytes(int on) { keepBytes = on != 0; }
    std::unique_ptr<BYTE[]> TakeBytes() { return std::move(kept); }

    INT quality = 0;
    DWORD jpegSize = 0;
    const unsigned int* qTable = nullptr; // 64 entries in zigzag order, not owned
    BOOL decodeBack = 1;

private:
    bool keepBytes = false;
    std::unique_ptr<BYTE[]> kept; // the last JPEG, with keepBytes
};
