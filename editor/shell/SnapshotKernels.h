// The row loops of the snapshot codec, each with AVX2, SSE4.1 and scalar
// paths that give the same bytes; the level is chosen by the caller
// (imagecore::ActiveSimdLevel in the codec, every level in the tests).
#pragma once

#include "imagecore/Simd.h"
#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace snapshotkernels {

using imagecore::SimdLevel;

// n B, G, R, A pixels into four planes (a may be null).
void SplitPixels(const BYTE* pixels, std::size_t n, BYTE* b, BYTE* g, BYTE* r, BYTE* a, SimdLevel level);

// Four planes into n B, G, R, A pixels; without a (null) the pixels keep
// their alpha bytes.
void MergePixels(const BYTE* b, const BYTE* g, const BYTE* r, const BYTE* a, std::size_t n, BYTE* pixels,
                 SimdLevel level);

// Bit i of high (low) is set when the high (low) nibble of v[i] differs from
// that of v[i - 1]; bit 0 is clear. Each bitmap takes BitmapWords(n) words.
// Returns the number of set bits of each in *highCount and *lowCount.
inline std::size_t BitmapWords(std::size_t n)
{
    return n / 64 + 2;
}
void ChangeBits(const BYTE* v, std::size_t n, std::uint64_t* high, std::uint64_t* low, std::size_t* highCount,
                std::size_t* lowCount, SimdLevel level);

// The high (or low) nibbles of n values packed two a byte, the first in the
// upper four bits; an odd last nibble in the upper four bits over 0.
// Returns (n + 1) / 2.
std::size_t PackNibbles(const BYTE* v, std::size_t n, BYTE* out, bool high, SimdLevel level);

// A packed stream back into n values: each nibble into the upper four bits
// of its value (high) or ORed into the lower four (low, over values that
// hold their high nibble already).
void UnpackNibbles(const BYTE* packed, std::size_t n, BYTE* values, bool high, SimdLevel level);

// The run-length stream at p (reads stop before end) into n values, each
// nibble into the upper four bits of its value (high) or the lower four
// (the upper ones 0); runs are read while they start inside the row, and the
// last one may write up to 15 bytes past n. Returns the byte after the last
// run read. The stream must have been sized by RunStreamSize.
const BYTE* ExpandRuns(const BYTE* p, const BYTE* end, std::size_t n, BYTE* values, bool high, SimdLevel level);

// d[i] |= s[i] for n bytes.
void OrBytes(BYTE* d, const BYTE* s, std::size_t n, SimdLevel level);

// Bytes a run-length stream at p takes to cover n values: runs are read
// until they reach n. 0 with ok false when avail bytes do not suffice.
std::size_t RunStreamSize(const BYTE* p, std::size_t avail, std::size_t n, bool& ok, SimdLevel level);

// Size of the row of n coded values at p (mode byte and both streams); 0
// when its mode is unknown or avail bytes do not hold it.
std::size_t RowSize(const BYTE* p, std::size_t avail, std::size_t n, SimdLevel level);

// Where each of rows rows of n values starts in data[first, length), the
// first at first and each next one right after the one before, sized by
// RowSize; false when one does not fit. The bytes are cut into `segments`
// ranges scanned on all cores: each range is walked from the first place
// where a few rows parse in a row, and the walks are then joined in order
// from the true first row, which walks anew wherever a guess was wrong. The
// answer does not depend on segments.
bool FindRowStarts(const BYTE* data, std::size_t length, std::size_t first, std::size_t rows, std::size_t n,
                   std::size_t segments, std::vector<std::size_t>& rowStart, SimdLevel level);

} // namespace snapshotkernels
