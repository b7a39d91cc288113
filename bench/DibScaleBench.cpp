// The window layer's scalers, as a zoomed-out view of a 24-megapixel photo
// uses them (6000 x 4000 into 1500 x 1000), against Qt's own scaling of the
// same buffer: averaging against smooth, nearest against fast. The other
// averaging shapes watch the paths the photo does not take: an uneven zoom
// (five taps a pixel), a 24-bit source, and a zoom-in on a corner.
#include "bench/BenchSupport.h"

#include "imagecore/QLImage.h"
#include "platform/afx/DibScale.h"

#include <QImage>

#include <vector>

namespace {

constexpr int kWidth = kPhotoWidth;
constexpr int kHeight = kPhotoHeight;
constexpr int kViewWidth = 1500;
constexpr int kViewHeight = 1000;


// The photo's pixels as 3 bytes each, rows padded to 4 bytes.
const std::vector<std::uint8_t>& Photo24()
{
    static std::vector<std::uint8_t> bits;
    if (bits.empty()) {
        const CQLImage& photo = SyntheticPhoto();
        const std::size_t stride = (kWidth * 3 + 3) & ~3;
        bits.resize(stride * kHeight);
        for (int y = 0; y < kHeight; ++y) {
            const std::uint8_t* from = photo.GetBuffer(0, y);
            std::uint8_t* to = bits.data() + stride * y;
            for (int x = 0; x < kWidth; ++x)
                for (int c = 0; c < 3; ++c)
                    to[x * 3 + c] = from[x * 4 + c];
        }
    }
    return bits;
}

struct Shape {
    int bpp;
    qlafx::ScaleRect srcRect;
    int dstWidth, dstHeight;
};

void RunScaler(benchmark::State& state, void (*scale)(const qlafx::ScaleJob&, const qlafx::DibOutput&),
               const Shape& shape = {4, {0, 0, kWidth, kHeight}, kViewWidth, kViewHeight})
{
    std::vector<std::uint8_t> view(std::size_t(shape.dstWidth) * shape.dstHeight * 4);
    qlafx::ScaleJob job;
    if (shape.bpp == 4)
        job.src = {SyntheticPhoto().GetBuffer(0, 0), std::ptrdiff_t(kWidth) * 4, kWidth, kHeight, 4};
    else
        job.src = {Photo24().data(), std::ptrdiff_t((kWidth * 3 + 3) & ~3), kWidth, kHeight, 3};
    job.srcRect = shape.srcRect;
    job.dstWidth = shape.dstWidth;
    job.dstHeight = shape.dstHeight;
    job.span = {0, 0, shape.dstWidth, shape.dstHeight};
    const qlafx::DibOutput out{view.data(), std::ptrdiff_t(shape.dstWidth) * 4, true};
    for (auto _ : state) {
        scale(job, out);
        benchmark::DoNotOptimize(view.data());
    }
}

void RunQt(benchmark::State& state, Qt::TransformationMode mode)
{
    const CQLImage& photo = SyntheticPhoto();
    const QImage source(photo.GetBuffer(0, 0), kWidth, kHeight, kWidth * 4, QImage::Format_RGB32);
    for (auto _ : state) {
        QImage view = source.scaled(kViewWidth, kViewHeight, Qt::IgnoreAspectRatio, mode);
        benchmark::DoNotOptimize(view.constBits());
    }
}

void Halftone(benchmark::State& state) { RunScaler(state, &qlafx::ScaleAverage); }
void Peer_QtSmooth(benchmark::State& state) { RunQt(state, Qt::SmoothTransformation); }
void Nearest(benchmark::State& state) { RunScaler(state, &qlafx::ScaleNearest); }
void Peer_QtFast(benchmark::State& state) { RunQt(state, Qt::FastTransformation); }

void HalftoneUneven(benchmark::State& state)
{
    RunScaler(state, &qlafx::ScaleAverage, {4, {0, 0, kWidth, kHeight}, 1713, 1142});
}
void Halftone24Bit(benchmark::State& state)
{
    RunScaler(state, &qlafx::ScaleAverage, {3, {0, 0, kWidth, kHeight}, kViewWidth, kViewHeight});
}
void HalftoneZoomIn(benchmark::State& state)
{
    RunScaler(state, &qlafx::ScaleAverage, {4, {0, 0, 640, 400}, 1920, 1200});
}

} // namespace

BENCHMARK(Halftone)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_QtSmooth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Nearest)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_QtFast)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HalftoneUneven)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Halftone24Bit)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(HalftoneZoomIn)->Unit(benchmark::kMillisecond)->UseRealTime();
