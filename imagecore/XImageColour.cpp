// CxImage's colour spaces, channel planes, point operations, mixing and
// statistics.
#include "imagecore/XImage.h"
#include "imagecore/XImageOpsSupport.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

using namespace ximageops;

namespace {

constexpr int kHslMax = 255;
constexpr int kGreyHue = kHslMax * 2 / 3; // 170: the hue of a grey
constexpr int kSixth = kHslMax / 6;       // 42

using Convert = RGBQUAD (*)(RGBQUAD);

Convert ToRgb(LONG space)
{
    switch (space) {
    case 1: return CxImage::HSLtoRGB;
    case 2: return CxImage::YUVtoRGB;
    case 3: return CxImage::YIQtoRGB;
    case 4: return CxImage::XYZtoRGB;
    default: return nullptr;
    }
}

// A grey image of img's size holding one packed component of each pixel.
bool MakePlane(const CxImage& img, CxImage* plane, Convert fromRgb, int byte)
{
    if (!plane)
        return true;
    const LONG w = static_cast<LONG>(img.GetWidth()), h = static_cast<LONG>(img.GetHeight());
    CxImage tmp;
    if (!tmp.Create(img.GetWidth(), img.GetHeight(), 8))
        return false;
    tmp.SetGrayPalette();
    for (LONG y = 0; y < h; ++y) {
        BYTE* d = Row(tmp, y);
        for (LONG x = 0; x < w; ++x) {
            RGBQUAD c = img.GetPixelColor(x, y);
            if (fromRgb)
                c = fromRgb(c);
            d[x] = byte == 0 ? c.rgbRed : byte == 1 ? c.rgbGreen : c.rgbBlue;
        }
    }
    plane->Transfer(tmp);
    return true;
}

bool Split(CxImage& img, CxImage* c1, CxImage* c2, CxImage* c3, Convert fromRgb)
{
    if (!img.IsValid() || (!c1 && !c2 && !c3))
        return false;
    return MakePlane(img, c1, fromRgb, 0) && MakePlane(img, c2, fromRgb, 1) && MakePlane(img, c3, fromRgb, 2);
}

// The plane's level at (x, y): the index of a grey image, else the grey.
BYTE Level(const CxImage& plane, LONG x, LONG y) { return static_cast<BYTE>(GreyOf(plane.GetPixelColor(x, y))); }

} // namespace

// --- Colour spaces ------------------------------------------------------------------

RGBQUAD CxImage::RGBtoHSL(RGBQUAD rgb)
{
    const int R = rgb.rgbRed, G = rgb.rgbGreen, B = rgb.rgbBlue;
    const int cMax = std::max({R, G, B}), cMin = std::min({R, G, B});
    const int L = ((cMax + cMin) * kHslMax + kHslMax) / (2 * kHslMax);
    int H, S;
    if (cMax == cMin) {
        S = 0;
        H = kGreyHue;
    } else {
        const int sum = cMax + cMin;
        const int d = L <= kHslMax / 2 ? sum : 2 * kHslMax - sum;
        S = ((cMax - cMin) * kHslMax + d / 2) / d;
        const int diff = cMax - cMin;
        const int Rd = (kSixth * (cMax - R) + diff / 2) / diff;
        const int Gd = (kSixth * (cMax - G) + diff / 2) / diff;
        const int Bd = (kSixth * (cMax - B) + diff / 2) / diff;
        if (R == cMax)
            H = Bd - Gd;
        else if (G == cMax)
            H = kHslMax / 3 + Rd - Bd;
        else
            H = 2 * kHslMax / 3 + Gd - Rd;
    }
    return RGBQUAD{static_cast<BYTE>(L), static_cast<BYTE>(S), static_cast<BYTE>(H & 0xFF), 0};
}

float CxImage::HueToRGB(float p, float q, float hue)
{
    if (hue > 360)
        hue -= 360;
    else if (hue < 0)
        hue += 360;
    if (hue < 60)
        return p + (q - p) * hue / 60;
    if (hue < 180)
        return q;
    if (hue < 240)
        return p + (q - p) * (240 - hue) / 60;
    return p;
}

RGBQUAD CxImage::HSLtoRGB(RGBQUAD hsl)
{
    const float h = hsl.rgbRed * 1.4117647f; // degrees
    const float s = hsl.rgbGreen / 255.0f, l = hsl.rgbBlue / 255.0f;
    if (s == 0) {
        const BYTE v = static_cast<BYTE>(l * 255);
        return RGBQUAD{v, v, v, 0};
    }
    const float q = l <= 0.5f ? l * (1 + s) : l + s - l * s;
    const float p = 2 * l - q;
    return RGBQUAD{static_cast<BYTE>(HueToRGB(p, q, h - 120) * 255), static_cast<BYTE>(HueToRGB(p, q, h) * 255),
                   static_cast<BYTE>(HueToRGB(p, q, h + 120) * 255), 0};
}

RGBQUAD CxImage::HSLtoRGB(COLORREF hsl) { return HSLtoRGB(RGBtoRGBQUAD(hsl)); }

RGBQUAD CxImage::RGBtoYUV(RGBQUAD rgb)
{
    const float R = rgb.rgbRed, G = rgb.rgbGreen, B = rgb.rgbBlue;
    const float Y = 0.299f * R + 0.587f * G + 0.114f * B;
    const float U = (B - Y) * 0.565f + 128;
    const float V = (R - Y) * 0.713f + 128;
    return RGBQUAD{ClampF(V), ClampF(U), ClampF(Y), 0};
}

RGBQUAD CxImage::YUVtoRGB(RGBQUAD yuv)
{
    const float Y = yuv.rgbRed, U = yuv.rgbGreen - 128.0f, V = yuv.rgbBlue - 128.0f;
    const float R = Y + 1.403f * V;
    const float G = Y - 0.344f * U - 0.714f * V;
    const float B = Y + 1.770f * U;
    return RGBQUAD{ClampF(B), ClampF(G), ClampF(R), 0};
}

RGBQUAD CxImage::RGBtoYIQ(RGBQUAD rgb)
{
    const float R = rgb.rgbRed, G = rgb.rgbGreen, B = rgb.rgbBlue;
    const float Y = 0.2992f * R + 0.5868f * G + 0.114f * B;
    const float I = 0.596f * R - 0.2742f * G - 0.3219f * B + 128;
    const float Q = 0.2109f * R - 0.5229f * G + 0.312f * B + 128;
    return RGBQUAD{ClampF(Q), ClampF(I), ClampF(Y), 0};
}

RGBQUAD CxImage::YIQtoRGB(RGBQUAD yiq)
{
    const float Y = yiq.rgbRed, I = yiq.rgbGreen - 128.0f, Q = yiq.rgbBlue - 128.0f;
    const float R = Y + 0.956f * I + 0.621f * Q;
    const float G = Y - 0.273f * I - 0.647f * Q;
    const float B = Y - 1.104f * I + 1.701f * Q;
    return RGBQUAD{ClampF(B), ClampF(G), ClampF(R), 0};
}

RGBQUAD CxImage::RGBtoXYZ(RGBQUAD rgb)
{
    const float R = rgb.rgbRed, G = rgb.rgbGreen, B = rgb.rgbBlue;
    const float X = 0.412453f * R + 0.35758f * G + 0.180423f * B;
    const float Y = 0.212671f * R + 0.71516f * G + 0.072169f * B;
    const float Z = (0.019334f * R + 0.119193f * G + 0.950227f * B) * 0.918483657f;
    // The weights keep every component within 0..255.
    return RGBQUAD{static_cast<BYTE>(Z), static_cast<BYTE>(Y), static_cast<BYTE>(X), 0};
}

RGBQUAD CxImage::XYZtoRGB(RGBQUAD xyz)
{
    const float X = xyz.rgbRed, Y = xyz.rgbGreen, Z = xyz.rgbBlue * 1.088751f;
    const float R = 3.240479f * X - 1.53715f * Y - 0.498535f * Z;
    const float G = -0.969256f * X + 1.875992f * Y + 0.041556f * Z;
    const float B = 0.055648f * X - 0.204043f * Y + 1.057311f * Z;
    return RGBQUAD{ClampF(B), ClampF(G), ClampF(R), 0};
}

// --- Planes --------------------------------------------------------------------------

bool CxImage::SplitRGB(CxImage* r, CxImage* g, CxImage* b) { return Split(*this, r, g, b, nullptr); }
bool CxImage::SplitYUV(CxImage* y, CxImage* u, CxImage* v) { return Split(*this, y, u, v, RGBtoYUV); }
bool CxImage::SplitYIQ(CxImage* y, CxImage* i, CxImage* q) { return Split(*this, y, i, q, RGBtoYIQ); }
bool CxImage::SplitXYZ(CxImage* x, CxImage* y, CxImage* z) { return Split(*this, x, y, z, RGBtoXYZ); }
bool CxImage::SplitHSL(CxImage* h, CxImage* s, CxImage* l) { return Split(*this, h, s, l, RGBtoHSL); }

bool CxImage::Combine(CxImage* c1, CxImage* c2, CxImage* c3, CxImage* alpha, LONG colorspace)
{
    if (!c1 || !c2 || !c3 || !c1->IsValid() || !c2->IsValid() || !c3->IsValid())
        return false;
    const LONG w = static_cast<LONG>(c1->GetWidth()), h = static_cast<LONG>(c1->GetHeight());
    // Resampled copies: the caller's planes stay as they are.
    CxImage p2(*c2), p3(*c3), pa;
    if (!p2.Resample(w, h) || !p3.Resample(w, h))
        return false;
    const bool withAlpha = alpha && alpha->IsValid();
    if (withAlpha && (!pa.Copy(*alpha) || !pa.Resample(w, h)))
        return false;
    CxImage tmp;
    if (!tmp.Create(static_cast<DWORD>(w), static_cast<DWORD>(h), 24, GetType()))
        return false;
    if (withAlpha && !tmp.AlphaCreate())
        return false;
    const Convert toRgb = ToRgb(colorspace);
    for (LONG y = 0; y < h; ++y) {
        BYTE* d = Row(tmp, y);
        for (LONG x = 0; x < w; ++x, d += 3) {
            RGBQUAD c{Level(p3, x, y), Level(p2, x, y), Level(*c1, x, y), 0};
            if (toRgb)
                c = toRgb(c);
            d[0] = c.rgbBlue;
            d[1] = c.rgbGreen;
            d[2] = c.rgbRed;
            if (withAlpha)
                tmp.AlphaSet(x, y, Level(pa, x, y));
        }
    }
    tmp.SetXDPI(GetXDPI());
    tmp.SetYDPI(GetYDPI());
    Transfer(tmp);
    return true;
}

// --- Point operations ----------------------------------------------------------------

bool CxImage::Threshold(BYTE level)
{
    if (!m_pDib)
        return false;
    if (GetBpp() == 1)
        return true;
    CxImage grey(*this, true, false, true);
    if (!grey.IsValid() || !grey.GrayScale())
        return false;
    CxImage tmp;
    if (!MakeTarget(tmp, GetWidth(), GetHeight(), 1))
        return false;
    tmp.SetPaletteIndex(0, 0, 0, 0);
    tmp.SetPaletteIndex(1, 255, 255, 255);
    tmp.SetTransIndex(-1);
    const LONG w = static_cast<LONG>(GetWidth()), h = static_cast<LONG>(GetHeight());
    for (LONG y = 0; y < h; ++y) {
        if (Escaped())
            return false;
        const BYTE* s = grey.RowPtr(y);
        for (LONG x = 0; x < w; ++x)
            tmp.SetPixelIndexUnchecked(x, y, s[x] > level ? 1 : 0);
        SetProgress((y + 1) * 100 / h);
    }
    CopyPlanesTo(tmp);
    Transfer(tmp);
    return true;
}

bool CxImage::Colorize(BYTE hue, BYTE sat)
{
    return MapColours(*this, [=](RGBQUAD c) {
        RGBQUAD hsl = RGBtoHSL(c);
        hsl.rgbRed = hue;
        hsl.rgbGreen = sat;
        return HSLtoRGB(hsl);
    });
}

void CxImage::HuePalette(float correction)
{
    if (!m_pDib || !IsIndexed())
        return;
    const DWORD n = GetNumColors();
    const int step = n > 1 ? 255 / static_cast<int>(n - 1) : 0; // one entry: hue 0
    for (DWORD i = 0; i < n; ++i) {
        const BYTE hue = static_cast<BYTE>(static_cast<int>(step * static_cast<float>(i) * correction));
        SetPaletteIndex(static_cast<BYTE>(i), HSLtoRGB(RGBQUAD{120, 240, hue, 0}));
    }
}

bool CxImage::Light(LONG brightness, LONG contrast)
{
    const float c = contrast / 100.0f;
    BYTE lut[256];
    for (int v = 0; v < 256; ++v)
        lut[v] = ClampF(std::floor(brightness + c * (v - 128) + 128));
    return MapColours(*this, [&](RGBQUAD q) { return RGBQUAD{lut[q.rgbBlue], lut[q.rgbGreen], lut[q.rgbRed], 0}; });
}

bool CxImage::Gamma(float gamma)
{
    if (!(gamma > 0))
        return false;
    const double inv = 1.0 / gamma;
    const double norm = std::pow(255.0, inv) / 255;
    BYTE lut[256];
    for (int v = 0; v < 256; ++v)
        lut[v] = ClampF(std::pow(static_cast<double>(v), inv) / norm);
    return MapColours(*this, [&](RGBQUAD q) { return RGBQUAD{lut[q.rgbBlue], lut[q.rgbGreen], lut[q.rgbRed], 0}; });
}

bool CxImage::ShiftRGB(LONG r, LONG g, LONG b)
{
    return MapColours(*this, [=](RGBQUAD q) {
        return RGBQUAD{Clamp(long{q.rgbBlue} + b), Clamp(long{q.rgbGreen} + g), Clamp(long{q.rgbRed} + r), 0};
    });
}

bool CxImage::Noise(LONG level)
{
    auto jitter = [level](BYTE v) {
        const double n = ((std::rand() & 0x7FFF) / 32767.0 - 0.5) * level;
        return ClampF(std::floor(v + n));
    };
    // One sequence of rand(): one thread, red, green, blue per pixel.
    return MapColours(*this, [&](RGBQUAD q) {
        const BYTE r = jitter(q.rgbRed), g = jitter(q.rgbGreen), b = jitter(q.rgbBlue);
        return RGBQUAD{b, g, r, 0};
    }, false);
}

// --- Mixing and statistics --------------------------------------------------------

void CxImage::Mix(CxImage& other, ImageOpType op, LONG xoffset, LONG yoffset)
{
    if (!m_pDib || !other.IsValid() || op < OpAdd || op > OpBlend)
        return;
    const Box box = VisitBox(*this);
    const LONG ow = static_cast<LONG>(other.GetWidth()), oh = static_cast<LONG>(other.GetHeight());
    const LONG x0 = std::max(box.left, xoffset), x1 = std::min(box.right, xoffset + ow);
    const LONG y0 = std::max(box.bottom, yoffset), y1 = std::min(box.top, yoffset + oh);
    const LONG h = static_cast<LONG>(GetHeight());
    for (LONG y = y0; y < y1; ++y) {
        if (Escaped())
            return;
        for (LONG x = x0; x < x1; ++x) {
            if (!IsInsideSelection(x, y) || !other.IsInsideSelection(x - xoffset, y - yoffset))
                continue;
            const RGBQUAD a = GetPixelColor(x, y), b = other.GetPixelColor(x - xoffset, y - yoffset);
            const BYTE ab[3] = {a.rgbBlue, a.rgbGreen, a.rgbRed}, bb[3] = {b.rgbBlue, b.rgbGreen, b.rgbRed};
            BYTE out[3];
            const int distance = std::abs(ab[0] - bb[0]) + std::abs(ab[1] - bb[1]) + std::abs(ab[2] - bb[2]);
            for (int k = 0; k < 3; ++k) {
                switch (op) {
                case OpAdd: out[k] = Clamp(ab[k] + bb[k]); break;
                case OpAnd: out[k] = ab[k] & bb[k]; break;
                case OpXor: out[k] = ab[k] ^ bb[k]; break;
                case OpOr: out[k] = ab[k] | bb[k]; break;
                case OpDarker: out[k] = CompareColors(&a, &b) <= 0 ? ab[k] : bb[k]; break;
                case OpLighter: out[k] = CompareColors(&a, &b) >= 0 ? ab[k] : bb[k]; break;
                case OpChanged: out[k] = distance ? bb[k] : ab[k]; break;
                case OpSub: out[k] = Clamp(ab[k] - bb[k]); break;
                case OpBlend: out[k] = static_cast<BYTE>((bb[k] * distance + ab[k] * (765 - distance)) / 765); break;
                }
            }
            Put(*this, x, y, out[0], out[1], out[2]);
        }
        SetProgress((y + 1) * 100 / h);
    }
}

float CxImage::Mean()
{
    if (!m_pDib)
        return 0;
    const Box box = VisitBox(*this);
    double sum = 0;
    long long count = 0;
    for (LONG y = box.bottom; y < box.top; ++y) {
        for (LONG x = box.left; x < box.right; ++x) {
            if (!IsInsideSelection(x, y))
                continue;
            sum += GreyOf(GetPixelColor(x, y));
            ++count;
        }
    }
    return count ? static_cast<float>(sum / count) : 0.0f;
}

LONG CxImage::Histogram(LONG* red, LONG* green, LONG* blue, LONG* grey, LONG colorspace)
{
    if (!m_pDib || (!red && !green && !blue && !grey))
        return 0;
    for (LONG* table : {red, green, blue, grey}) {
        if (table)
            std::memset(table, 0, 256 * sizeof(LONG));
    }
    const Convert toRgb = ToRgb(colorspace);
    const Box box = VisitBox(*this);
    const LONG h = static_cast<LONG>(GetHeight());
    for (LONG y = box.bottom; y < box.top; ++y) {
        for (LONG x = box.left; x < box.right; ++x) {
            if (!IsInsideSelection(x, y))
                continue;
            RGBQUAD c = GetPixelColor(x, y);
            if (toRgb)
                c = toRgb(c);
            if (red)
                ++red[c.rgbRed];
            if (green)
                ++green[c.rgbGreen];
            if (blue)
                ++blue[c.rgbBlue];
            if (grey)
                ++grey[GreyOf(c)];
        }
        SetProgress((y + 1) * 100 / h);
    }
    LONG most = 0;
    for (LONG* table : {red, green, blue, grey}) {
        if (table)
            most = std::max(most, *std::max_element(table, table + 256));
    }
    return most;
}
