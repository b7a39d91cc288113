#include "platform/capture/FrameConvert.h"

#include <turbojpeg.h>

#include <algorithm>

namespace qlcapture {

namespace {

inline std::uint8_t Clamp(int v)
{
    return static_cast<std::uint8_t>(std::clamp(v, 0, 255));
}

// BT.601 limited range in 8.8 fixed point.
inline void YuvToBgr(int y, int u, int v, std::uint8_t* bgr)
{
    const int c = (y - 16) * 298;
    const int d = u - 128, e = v - 128;
    bgr[0] = Clamp((c + 516 * d + 128) >> 8);
    bgr[1] = Clamp((c - 100 * d - 208 * e + 128) >> 8);
    bgr[2] = Clamp((c + 409 * e + 128) >> 8);
}

bool Fits(std::size_t size, std::size_t stride, std::size_t rowBytes, int height)
{
    return stride >= rowBytes && height > 0 && size >= stride * static_cast<std::size_t>(height - 1) + rowBytes;
}

} // namespace

bool YuyvToDib24(const std::uint8_t* src, std::size_t srcSize, std::size_t srcStride, int width, int height,
                 std::uint8_t* out)
{
    if (!src || !out || width <= 0 || (width & 1) || !Fits(srcSize, srcStride, static_cast<std::size_t>(width) * 2, height))
        return false;
    const std::size_t stride = DibStride24(width);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = src + static_cast<std::size_t>(y) * srcStride;
        std::uint8_t* d = out + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; x += 2, s += 4, d += 6) {
            YuvToBgr(s[0], s[1], s[3], d);
            YuvToBgr(s[2], s[1], s[3], d + 3);
        }
    }
    return true;
}

bool MjpegToDib24(const std::uint8_t* src, std::size_t srcSize, int width, int height, std::uint8_t* out)
{
    if (!src || !out || srcSize < 4 || width <= 0 || height <= 0)
        return false;
    tjhandle tj = tjInitDecompress();
    if (!tj)
        return false;
    int w = 0, h = 0, sub = 0, space = 0;
    bool ok = tjDecompressHeader3(tj, src, static_cast<unsigned long>(srcSize), &w, &h, &sub, &space) == 0 &&
              w == width && h == height &&
              tjDecompress2(tj, src, static_cast<unsigned long>(srcSize), out, width,
                            static_cast<int>(DibStride24(width)), height, TJPF_BGR, TJFLAG_BOTTOMUP) == 0;
    tjDestroy(tj);
    return ok;
}

bool Rgb24ToDib24(const std::uint8_t* src, std::size_t srcSize, std::size_t srcStride, int width, int height,
                  bool rgbOrder, std::uint8_t* out)
{
    if (!src || !out || width <= 0 || !Fits(srcSize, srcStride, static_cast<std::size_t>(width) * 3, height))
        return false;
    const std::size_t stride = DibStride24(width);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = src + static_cast<std::size_t>(y) * srcStride;
        std::uint8_t* d = out + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x, s += 3, d += 3) {
            d[0] = rgbOrder ? s[2] : s[0];
            d[1] = s[1];
            d[2] = rgbOrder ? s[0] : s[2];
        }
    }
    return true;
}

} // namespace qlcapture
