// Draws the sample photo that the editor opens when started without one: a
// lake landscape (sky, sun, textured hills, water with reflections) of
// 4000 x 2667 pixels, saved as a JPEG of quality 92 with camera EXIF.
//   quillo_samplegen <output.jpg>
#include "editor/shell/ExifInfo.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/gdiplus/GdiPlus.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 2667;
constexpr int kWaterLine = kHeight * 64 / 100;
constexpr double kSunX = kWidth * 0.70, kSunY = kHeight * 0.40, kSunRadius = 70;

struct Rgb {
    double r, g, b;
};

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

double Hash(int x, int y)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return ((h ^ (h >> 16)) & 0xFFFFFF) / double(0xFFFFFF);
}

double Smooth(double t) { return t * t * (3 - 2 * t); }

// Value noise on the integer lattice, 0..1.
double Noise(double x, double y)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const double tx = Smooth(x - fx), ty = Smooth(y - fy);
    const double top = Hash(ix, iy) + (Hash(ix + 1, iy) - Hash(ix, iy)) * tx;
    const double bottom = Hash(ix, iy + 1) + (Hash(ix + 1, iy + 1) - Hash(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

double Fbm(double x, double y, int octaves)
{
    double sum = 0, amplitude = 0.5, total = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * Noise(x, y);
        total += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / total;
}

// Top of the far and the near ridge at column x.
double FarRidge(int x) { return kWaterLine - 230 - 330 * Fbm(x / 700.0, 3.5, 5); }
double NearRidge(int x) { return kWaterLine - 50 - 440 * Fbm(x / 520.0 + 40, 9.25, 6) * (0.3 + 0.7 * x / kWidth); }

Rgb Sky(int x, int y)
{
    const double t = static_cast<double>(y) / kWaterLine;
    Rgb c = Mix({38, 82, 160}, {246, 196, 150}, std::pow(t, 1.6));
    const double dx = x - kSunX, dy = y - kSunY;
    const double d = std::sqrt(dx * dx + dy * dy);
    const double glow = 0.75 * std::exp(-d / 260.0) + 0.25 * std::exp(-d / 900.0);
    c = Mix(c, {255, 226, 170}, std::min(1.0, glow));
    // Thin clouds in the upper sky, lit from the sun's side.
    const double cloud = Fbm(x / 650.0, y / 180.0, 5);
    const double cover = std::clamp((cloud - 0.55) * 3.0, 0.0, 1.0) * (1 - t) * 0.8;
    c = Mix(c, {250, 242, 236}, cover);
    if (d < kSunRadius)
        c = Mix(c, {255, 250, 232}, std::min(1.0, (kSunRadius - d) / 3.0));
    return c;
}

Rgb FarHill(int x, int y, double ridge)
{
    const double shade = Fbm(x / 90.0, y / 60.0, 4);
    const double depth = std::clamp((y - ridge) / 300.0, 0.0, 1.0);
    Rgb c = Mix({122, 138, 168}, {88, 108, 132}, depth);
    return Mix(c, {70, 86, 104}, shade * 0.35);
}

Rgb NearHill(int x, int y, double ridge)
{
    // Meadow and forest patches with fine grass texture, darker toward the shore.
    const double patch = Fbm(x / 260.0 + 11, y / 140.0, 4);
    const double grain = Fbm(x / 7.0, y / 5.0, 3);
    const double depth = std::clamp((y - ridge) / 260.0, 0.0, 1.0);
    Rgb c = Mix({104, 138, 62}, {38, 74, 40}, std::clamp((patch - 0.35) * 2.5, 0.0, 1.0));
    c = Mix(c, {28, 46, 30}, depth * 0.55);
    const double light = 0.82 + 0.36 * grain;
    return {c.r * light, c.g * light, c.b * light};
}

Rgb Land(int x, int y)
{
    const double near = NearRidge(x);
    if (y >= near)
        return NearHill(x, y, near);
    const double far = FarRidge(x);
    if (y >= far)
        return FarHill(x, y, far);
    return Sky(x, y);
}

void Put(CQLImage& image, int x, int y, Rgb c)
{
    auto byte = [](double v) { return static_cast<BYTE>(std::clamp(v + 0.5, 0.0, 255.0)); };
    BYTE* p = image.GetBuffer(x, y);
    p[0] = byte(c.b);
    p[1] = byte(c.g);
    p[2] = byte(c.r);
    p[3] = 255;
}

Rgb Get(const CQLImage& image, int x, int y)
{
    const BYTE* p = image.GetBuffer(std::clamp(x, 0, kWidth - 1), y);
    return {double(p[2]), double(p[1]), double(p[0])};
}

// The land mirrored in the water, broken by waves that grow toward the viewer,
// with a glitter path under the sun.
Rgb Water(const CQLImage& image, int x, int y)
{
    const double depth = static_cast<double>(y - kWaterLine) / (kHeight - kWaterLine);
    const double wave = std::sin(y * 0.9 / (1 + 6 * depth) + 6 * Fbm(x / 300.0, y / 40.0, 3));
    const int shift = static_cast<int>(std::lround(wave * (2 + 14 * depth)));
    const int mirrored = std::max(0, 2 * kWaterLine - 1 - y);
    Rgb c = Mix(Get(image, x + shift, mirrored), {20, 54, 84}, 0.25 + 0.45 * depth);
    const double path = std::exp(-std::pow((x - kSunX) / (60 + 420 * depth), 2));
    const double sparkle = std::pow(Fbm(x / 6.0, y / 2.0, 2), 6) * 9;
    return Mix(c, {255, 236, 196}, std::min(1.0, path * sparkle));
}

void Draw(CQLImage& image)
{
    imagecore::ParallelFor(0, kWaterLine, kWidth, [&](int from, int to) {
        for (int y = from; y < to; ++y)
            for (int x = 0; x < kWidth; ++x)
                Put(image, x, y, Land(x, y));
    });
    // The water reads the finished land above it.
    imagecore::ParallelFor(kWaterLine, kHeight, kWidth, [&](int from, int to) {
        for (int y = from; y < to; ++y)
            for (int x = 0; x < kWidth; ++x)
                Put(image, x, y, Water(image, x, y));
    });
}

bool WriteCameraExif(const char* path)
{
    ExifInfo exif;
    ExifFields& f = exif.GetFields();
    f.hasExif = 1;
    f.width = kWidth;
    f.height = kHeight;
    f.xResolution = f.yResolution = 72;
    std::snprintf(f.make, sizeof f.make, "Quillo");
    std::snprintf(f.model, sizeof f.model, "Sample");
    std::snprintf(f.dateTime, sizeof f.dateTime, "2026:06:21 19:42:00");
    f.exposureTime = 1.0 / 125;
    f.shutterSpeed = 1.0 / 125;
    f.fNumber = 8;
    f.aperture = 8;
    f.isoSpeed = 100;
    f.focalLength = 35;
    f.flash = 0;
    f.colorSpace = 1;
    exif.SetWriteSoftware(FALSE);
    if (!exif.WriteToFile(FALSE, path, TRUE))
        return false;

    // The record's save leaves the orientation out; the sample states it.
    WCHAR wide[1024];
    GpImage* image = nullptr;
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, 1024) <= 0 || GdipLoadImageFromFile(wide, &image) != Ok)
        return false;
    WORD orientation = 1;
    PropertyItem item{274, sizeof orientation, 3 /* SHORT */, &orientation};
    CLSID clsid{};
    const bool ok = GdipSetPropertyItem(image, &item) == Ok && FindEncoder("image/jpeg", &clsid) >= 0 &&
                    GdipSaveImageToFile(image, wide, &clsid, nullptr) == Ok;
    GdipDisposeImage(image);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output.jpg>\n", argv[0]);
        return 2;
    }
    CQLImage image;
    if (image.Create(kWidth, kHeight) != 0) {
        std::fprintf(stderr, "no memory for the sample photo\n");
        return 1;
    }
    Draw(image);
    CQLImageCodec codec;
    CQLImageCodec::Start();
    if (!codec.SaveJpegFile(argv[1], &image, 92, 72) || !WriteCameraExif(argv[1])) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
