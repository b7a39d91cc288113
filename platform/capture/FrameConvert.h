// Camera frames into 24-bit B, G, R rows as a bottom-up DIB holds them
// (bottom line first, rows padded to 4 bytes).
#pragma once

#include <cstddef>
#include <cstdint>

namespace qlcapture {

// Bytes of one padded 24-bit row.
inline std::size_t DibStride24(int width)
{
    return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

// Packed Y0 U Y1 V (YUYV 4:2:2, BT.601 limited range) of width x height,
// srcStride bytes a row, into out (DibStride24(width) x height bytes).
// False when the source is too short or the width is odd.
bool YuyvToDib24(const std::uint8_t* src, std::size_t srcSize, std::size_t srcStride, int width, int height,
                 std::uint8_t* out);

// One Motion-JPEG frame (a JPEG; the Huffman tables some cameras leave out
// are the standard ones the decoder assumes) into out. False when it does
// not decode to width x height.
bool MjpegToDib24(const std::uint8_t* src, std::size_t srcSize, int width, int height, std::uint8_t* out);

// Top-down R, G, B or B, G, R rows (srcStride bytes apart) into out.
bool Rgb24ToDib24(const std::uint8_t* src, std::size_t srcSize, std::size_t srcStride, int width, int height,
                  bool rgbOrder, std::uint8_t* out);

} // namespace qlcapture
