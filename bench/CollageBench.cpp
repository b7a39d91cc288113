// QuilloCollage: composing eight photos into a 4000 x 3000 frame, against
// ImageMagick's perspective distortion of the same photos into the same boxes
// with the frame laid over (one command); writing and reading the template
// against gzip -6 and gzip -d of the same two planes.
#include "BenchSupport.h"
#include "collage/Compose.h"
#include "imagecore/QLImage.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

using namespace collage;

constexpr int kFrameWidth = 4000;
constexpr int kFrameHeight = 3000;

FrameBox Turned(double cx, double cy, double w, double h, double degrees)
{
    const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
    const double dx[4] = {-w / 2, w / 2, w / 2, -w / 2}, dy[4] = {-h / 2, -h / 2, h / 2, h / 2};
    FrameBox box;
    for (int i = 0; i < 4; ++i)
        box.p[i] = BoxPoint{static_cast<int32_t>(cx + c * dx[i] - s * dy[i]), static_cast<int32_t>(cy + s * dx[i] + c * dy[i])};
    return box;
}

struct Scene {
    CollageTemplate tpl;
    BoxPhoto photos[kMaxBoxes];
};

// Paper with grain and eight windows in two rows, two of them turned; a
// different photo for each.
Scene& TheScene()
{
    static Scene* scene = [] {
        auto* s = new Scene;
        for (int i = 0; i < 8; ++i) {
            const double cx = 500 + (i % 4) * 1000, cy = 780 + (i / 4) * 1440;
            s->tpl.boxes.push_back(Turned(cx, cy, 820, 1200, i == 1 ? 6 : i == 6 ? -8 : 0));
        }
        s->tpl.frame.Create(kFrameWidth, kFrameHeight);
        for (int y = 0; y < kFrameHeight; ++y)
            for (int x = 0; x < kFrameWidth; ++x) {
                unsigned h = static_cast<unsigned>(x) * 374761393u + static_cast<unsigned>(y) * 668265263u;
                h = (h ^ (h >> 13)) * 1274126177u;
                const int g = static_cast<int>((h >> 16) % 7) - 3;
                BYTE a = 255;
                for (const FrameBox& b : s->tpl.boxes)
                    if (PointInFrameBox(x, y, b))
                        a = 0;
                s->tpl.frame.PutPixel(x, y, CPixel{BYTE(214 + g), BYTE(226 + g), BYTE(236 + g), a});
            }
        BuildBoxMap(s->tpl, [] { return true; });
        for (int i = 0; i < 8; ++i) {
            MakeSyntheticPhoto(s->photos[i].photo, 1600 + 40 * i, 1200 + 30 * i);
            UINT w, h;
            s->photos[i].photo.GetSize(&w, &h);
            s->photos[i].range = RECT{0, 0, LONG(w), LONG(h)};
            std::snprintf(s->photos[i].path, sizeof s->photos[i].path, "photo%d", i);
        }
        return s;
    }();
    return *scene;
}

void WriteRaw(const std::string& path, const BYTE* bytes, size_t size)
{
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

// The frame with its alpha as a PAM file, which ImageMagick reads as it is.
std::string WriteFramePam()
{
    const CQLImage& frame = TheScene().tpl.frame;
    const std::string path = BenchFolder() + "/frame.pam";
    std::ofstream out(path, std::ios::binary);
    out << "P7\nWIDTH " << kFrameWidth << "\nHEIGHT " << kFrameHeight << "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    std::string row(kFrameWidth * 4, '\0');
    for (int y = 0; y < kFrameHeight; ++y) {
        const BYTE* p = frame.GetBuffer(0, y);
        for (int x = 0; x < kFrameWidth; ++x) {
            row[x * 4] = static_cast<char>(p[x * 4 + 2]);
            row[x * 4 + 1] = static_cast<char>(p[x * 4 + 1]);
            row[x * 4 + 2] = static_cast<char>(p[x * 4]);
            row[x * 4 + 3] = static_cast<char>(p[x * 4 + 3]);
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return path;
}

void BM_ComposeCollage(benchmark::State& state)
{
    Scene& s = TheScene();
    CQLImage result;
    for (auto _ : state) {
        ComposeCollage(s.tpl, s.photos, &result);
        benchmark::DoNotOptimize(result.GetBuffer(0, 0));
    }
}
BENCHMARK(BM_ComposeCollage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ComposeCollage_ImageMagick(benchmark::State& state)
{
    Scene& s = TheScene();
    std::string command = "convert -size " + std::to_string(kFrameWidth) + "x" + std::to_string(kFrameHeight) + " xc:black";
    for (int i = 0; i < 8; ++i) {
        const FrameBox& b = s.tpl.boxes[i];
        UINT w, h;
        s.photos[i].photo.GetSize(&w, &h);
        int l = b.p[0].x, t = b.p[0].y, r = l, btm = t;
        for (const BoxPoint& p : b.p) {
            l = std::min(l, p.x);
            t = std::min(t, p.y);
            r = std::max(r, p.x);
            btm = std::max(btm, p.y);
        }
        char distort[256];
        std::snprintf(distort, sizeof distort, "'0,0 %d,%d %u,0 %d,%d %u,%u %d,%d 0,%u %d,%d'", b.p[0].x, b.p[0].y, w, b.p[1].x,
                      b.p[1].y, w, h, b.p[2].x, b.p[2].y, h, b.p[3].x, b.p[3].y);
        command += " \\( " + WritePpm(s.photos[i].photo, "photo" + std::to_string(i) + ".ppm") +
                   " -alpha set -virtual-pixel transparent -define distort:viewport=" + std::to_string(r - l) + "x" +
                   std::to_string(btm - t) + "+" + std::to_string(l) + "+" + std::to_string(t) + " -distort Perspective " +
                   distort + " \\)";
    }
    static const std::string frame = WriteFramePam();
    command += " " + frame + " -layers flatten " + BenchFolder() + "/magick-collage.ppm";
    RunPeer(state, command);
}
BENCHMARK(BM_ComposeCollage_ImageMagick)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_WriteTemplate(benchmark::State& state)
{
    Scene& s = TheScene();
    const std::string path = BenchFolder() + "/bench.mfm";
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteTemplateFile(s.tpl, path));
}
BENCHMARK(BM_WriteTemplate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WriteTemplate_Gzip(benchmark::State& state)
{
    Scene& s = TheScene();
    const std::string map = BenchFolder() + "/map.raw", frame = BenchFolder() + "/frame.raw";
    WriteRaw(map, s.tpl.boxMap.GetBuffer(0, 0), s.tpl.boxMap.GetAreaByteSize());
    WriteRaw(frame, s.tpl.frame.GetBuffer(0, 0), s.tpl.frame.GetAreaByteSize());
    RunPeer(state, "gzip -6 -c " + map + " > " + map + ".gz && gzip -6 -c " + frame + " > " + frame + ".gz");
}
BENCHMARK(BM_WriteTemplate_Gzip)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadTemplate(benchmark::State& state)
{
    Scene& s = TheScene();
    const std::string path = BenchFolder() + "/read.mfm";
    WriteTemplateFile(s.tpl, path);
    CollageTemplate read;
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadTemplate(path, &read));
}
BENCHMARK(BM_ReadTemplate)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadTemplate_Gzip(benchmark::State& state)
{
    Scene& s = TheScene();
    const std::string map = BenchFolder() + "/rmap.raw", frame = BenchFolder() + "/rframe.raw";
    WriteRaw(map, s.tpl.boxMap.GetBuffer(0, 0), s.tpl.boxMap.GetAreaByteSize());
    WriteRaw(frame, s.tpl.frame.GetBuffer(0, 0), s.tpl.frame.GetAreaByteSize());
    std::system(("gzip -6 -f " + map + " " + frame).c_str());
    RunPeer(state, "gzip -d -c " + map + ".gz > /dev/null && gzip -d -c " + frame + ".gz > /dev/null");
}
BENCHMARK(BM_ReadTemplate_Gzip)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
