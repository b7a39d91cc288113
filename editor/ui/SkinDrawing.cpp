#include "editor/ui/SkinDrawing.h"

#include "imagecore/ParallelFor.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

struct Ramp {
    BYTE b[257], g[257], r[257];
};

// Entry 256 is colourFrom, entry 0 colourTo; kept within 2..253 so the
// dither cannot wrap.
BYTE RampValue(int k, int c1, int c2)
{
    const int scaled = 256 * c2 + k * (c1 - c2);
    if (scaled >= 65024)
        return 253;
    return static_cast<BYTE>(std::max(scaled / 256, 2));
}

void BuildRamp(Ramp* ramp, COLORREF from, COLORREF to)
{
    for (int k = 0; k <= 256; ++k) {
        ramp->r[k] = RampValue(k, GetRValue(from), GetRValue(to));
        ramp->g[k] = RampValue(k, GetGValue(from), GetGValue(to));
        ramp->b[k] = RampValue(k, GetBValue(from), GetBValue(to));
    }
}

// The ramp entry at along = t / D, the position on the axis as a fraction of
// its length.
// The ramp entry from 256 - t x 256 in 16.16 fixed point: t <= 0 gives 255,
// which holding it below 256 does without a branch.
int LinearIndex(int64_t entryFixed)
{
    return static_cast<int>(std::clamp<int64_t>(entryFixed >> 16, 0, 255));
}

// The dither's numbers: one rand() seeds a generator of its own per fill,
// since rand() per pixel (it takes a lock) was most of a large fill's time;
// each of its numbers gives sixteen dithers.
class DitherNoise {
public:
    DitherNoise() : m_state(static_cast<uint32_t>(std::rand()) * 2654435761u | 1u) {}
    int Next()  // -2..1
    {
        if (m_left == 0) {
            m_state ^= m_state << 13;
            m_state ^= m_state >> 17;
            m_state ^= m_state << 5;
            m_bits = m_state;
            m_left = 16;
        }
        const int d = static_cast<int>(m_bits & 3) - 2;
        m_bits >>= 2;
        --m_left;
        return d;
    }

private:
    uint32_t m_state;
    uint32_t m_bits = 0;
    int m_left = 0;
};

int RadialIndex(double d1, double dist)
{
    return std::max(static_cast<int>(256 - std::sqrt(d1) * 256 / dist), 0);
}

}  // namespace

BITMAPINFO DibHeaderOf(const CQLImage& image, int rows)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(w);
    info.bmiHeader.biHeight = -rows;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void FillGradientRect(CDC* dc, RECT rect, POINT from, POINT to, BOOL linear, COLORREF colourFrom, COLORREF colourTo,
                      CQLImage* texture, int textureWeight)
{
    if (rect.left > rect.right)
        std::swap(rect.left, rect.right);
    if (rect.top > rect.bottom)
        std::swap(rect.top, rect.bottom);
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    CQLImage image;
    if (w <= 0 || h <= 0 || image.Create(w, h) != 0)
        return;
    const double fx = from.x - rect.left, fy = from.y - rect.top;
    const double tx = to.x - rect.left, ty = to.y - rect.top;
    const double dist = std::max(std::hypot(tx - fx, ty - fy), 0.00001);
    Ramp ramp;
    BuildRamp(&ramp, colourFrom, colourTo);

    UINT texW = 0, texH = 0;
    if (texture)
        texture->GetSize(&texW, &texH);
    const bool textured = texW > 0 && texH > 0;
    // Linear: t / D = (d1 - d2 + D^2) / 2D^2 with d1, d2 the squared
    // distances to the two points, which is x * ax + (a term of the row), so
    // coinciding points give exactly one half. The entry 256 - 256 t / D
    // then steps by a constant along a row (16.16 fixed point).
    const double dd = dist * dist;
    const int64_t entryStep = std::llround((tx - fx) / dd * 256 * 65536);
    DitherNoise noise;
    for (int y = 0; y < h; ++y) {
        const double rowAlong = (fx * fx - tx * tx + (y - fy) * (y - fy) - (y - ty) * (y - ty) + dd) / (2 * dd);
        int64_t entry = std::llround(std::clamp(256 - rowAlong * 256, -1e12, 1e12) * 65536);
        BYTE* p = image.GetBuffer(0, y);
        for (int x = 0; x < w; ++x, p += 4, entry -= entryStep) {
            int k;
            if (linear) {
                k = LinearIndex(entry);
            } else {
                const double d1 = (x - fx) * (x - fx) + (y - fy) * (y - fy);
                k = RadialIndex(d1, dist);
            }
            const int dither = noise.Next();
            int b = ramp.b[k] + dither, g = ramp.g[k] + dither, r = ramp.r[k] + dither;
            if (textured) {
                const CPixel t = texture->GetPixel2(static_cast<int>(x % texW), static_cast<int>(y % texH));
                b = (textureWeight * t.b + (256 - textureWeight) * b) / 256;
                g = (textureWeight * t.g + (256 - textureWeight) * g) / 256;
                r = (textureWeight * t.r + (256 - textureWeight) * r) / 256;
            }
            p[0] = static_cast<BYTE>(b);
            p[1] = static_cast<BYTE>(g);
            p[2] = static_cast<BYTE>(r);
            p[3] = 255;
        }
    }
    const BITMAPINFO info = DibHeaderOf(image, h);
    CopyDibRows(dc, rect.left, rect.top, w, h, 0, 0, image.GetBuffer(0, 0), info, h);
}

void CopyDibRows(CDC* dc, int x, int y, int w, int h, int srcX, int srcY, const BYTE* bits, const BITMAPINFO& info,
                 int imageRows)
{
    if (w <= 0 || h <= 0)
        return;
    const int band = std::max<int>(1, static_cast<int>(imagecore::kParallelMinWork) / w - 1);
    for (int done = 0; done < h; done += band)
        ::SetDIBitsToDevice(dc->GetSafeHdc(), x, y + done, w, std::min(band, h - done), srcX, srcY + done, 0,
                            imageRows, bits, &info, DIB_RGB_COLORS);
}

RECT FitRectToAspect(RECT rect, int width, int height)
{
    if (width <= 0 || height <= 0)
        return rect;
    const long long rw = rect.right - rect.left, rh = rect.bottom - rect.top;
    if (static_cast<long long>(width) * rh < rw * height) {
        const long long fitted = rh * width / height;
        rect.left += static_cast<LONG>((rw - fitted) / 2);
        rect.right = rect.left + static_cast<LONG>(fitted);
    } else {
        const long long fitted = rw * height / width;
        rect.top += static_cast<LONG>((rh - fitted) / 2);
        rect.bottom = rect.top + static_cast<LONG>(fitted);
    }
    return rect;
}

int DrawImageFitted(CDC* dc, int left, int top, int right, int bottom, CQLImage* image, COLORREF margin,
                    BOOL fillMargins)
{
    UINT iw = 0, ih = 0;
    if (image)
        image->GetSize(&iw, &ih);
    if (iw == 0 || ih == 0)
        return 0;
    const RECT box{left, top, right, bottom};
    const RECT fit = FitRectToAspect(box, static_cast<int>(iw), static_cast<int>(ih));
    if (fillMargins) {
        if (fit.left > left || fit.right < right) {
            dc->FillSolidRect(left, top, fit.left - left, bottom - top, margin);
            dc->FillSolidRect(fit.right, top, right - fit.right, bottom - top, margin);
        } else {
            dc->FillSolidRect(left, top, right - left, fit.top - top, margin);
            dc->FillSolidRect(left, fit.bottom, right - left, bottom - fit.bottom, margin);
        }
    }
    const int fw = fit.right - fit.left, fh = fit.bottom - fit.top;
    const bool shrunk = fw < static_cast<int>(iw);
    const int oldMode = dc->SetStretchBltMode(shrunk || iw < 800 ? HALFTONE : COLORONCOLOR);
    const BITMAPINFO info = DibHeaderOf(*image, static_cast<int>(ih));
    const int result = ::StretchDIBits(dc->GetSafeHdc(), fit.left, fit.top, fw, fh, 0, 0, static_cast<int>(iw),
                                       static_cast<int>(ih), image->GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
    dc->SetStretchBltMode(oldMode);
    return result;
}

BOOL CreatePixelFont(CFont* font, const char* face, int height, BOOL underline)
{
    LOGFONT lf{};
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::snprintf(lf.lfFaceName, sizeof lf.lfFaceName, "%s", face);
    return font->CreateFontIndirect(&lf);
}
