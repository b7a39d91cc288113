// The geometry dialogs' full-size work on a 24 MP photo, each beside vips on
// the same photo: Transform's quarter turn beside `vips rot d90`, and Image
// Size's bilinear half with the four-neighbour sharpen beside `vips resize
// 0.5` then `vips sharpen`. The peer reads and writes its own .v format (a
// plain copy of the pixels), made once before timing. Modify Shape's brush:
// a 500-pixel stroke on a 24 MP photo's grid (radius 100), beside the same
// deposits visiting every node.
#include "BenchSupport.h"

#include "algorithms/RotateFlipAlgorithm.h"
#include "editor/adjust/ImageSizeDlg.h"
#include "editor/adjust/ModifyShapeDlg.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The photo in vips' own format; empty when vips is not installed.
std::string VipsInput()
{
    static const std::string input = [] {
        const std::string path = BenchFolder() + "/geometry-in.v";
        return std::system(("vips copy " + PeerInputPpm() + " " + path + " >/dev/null 2>&1").c_str()) == 0
                   ? path
                   : std::string();
    }();
    return input;
}

void TransformRotate(benchmark::State& state)
{
    CQLImage source;
    source.DuplicateFrom(&SyntheticPhoto());
    CQLImage target;
    const DWORD mode = RotateFlipAlgorithm::RotateRight;
    for (auto _ : state) {
        RotateFlipAlgorithm rotate;
        rotate.SetImages(&source, &target);
        if (rotate.Apply(&mode) != 0) {
            state.SkipWithError("rotate failed");
            return;
        }
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

void Peer_VipsRotate(benchmark::State& state)
{
    const std::string input = VipsInput();
    if (input.empty()) {
        state.SkipWithError("vips is not installed");
        return;
    }
    RunPeer(state, "vips rot " + input + " " + BenchFolder() + "/geometry-rot.v d90");
}

void ImageSizeBilinear(benchmark::State& state)
{
    const CQLImage& photo = SyntheticPhoto();
    CQLImageCodec codec;
    for (auto _ : state) {
        CQLImage half;
        if (!codec.Resample(&photo, &half, kPhotoWidth / 2, kPhotoHeight / 2, 1)) {
            state.SkipWithError("resample failed");
            return;
        }
        imagesize::SharpenFourNeighbour(&half);
        benchmark::DoNotOptimize(half.GetBuffer(0, 0));
    }
}

void Peer_VipsResizeSharpen(benchmark::State& state)
{
    const std::string folder = BenchFolder();
    const std::string input = VipsInput();
    if (input.empty()) {
        state.SkipWithError("vips is not installed");
        return;
    }
    RunPeer(state, "vips resize " + input + " " + folder + "/imagesize-half.v 0.5 && vips sharpen " + folder +
                       "/imagesize-half.v " + folder + "/imagesize-sharp.v");
}

constexpr int kBrush = 100;
const modifyshape::PreviewMap kMap{RECT{0, 0, 6000, 4000}, RECT{0, 0, 6000, 4000}, 1.0};

void ModifyShapeStroke(benchmark::State& state)
{
    const std::vector<int> falloff = modifyshape::FalloffTable(kBrush);
    modifyshape::WarpGrid grid;
    grid.Allocate(kPhotoWidth, kPhotoHeight, modifyshape::CellSize(kBrush));
    for (auto _ : state) {
        modifyshape::Stroke(grid, falloff, kBrush, POINT{2500, 2000}, POINT{3000, 2000}, kMap);
        benchmark::DoNotOptimize(grid.pairs.data());
    }
}

// The reference: every node of the grid for each of the 500 deposits.
void Reference_AllNodeStroke(benchmark::State& state)
{
    const std::vector<int> falloff = modifyshape::FalloffTable(kBrush);
    modifyshape::WarpGrid grid;
    grid.Allocate(kPhotoWidth, kPhotoHeight, modifyshape::CellSize(kBrush));
    for (auto _ : state) {
        for (int k = 0; k < 500; ++k) {
            const int x = 2500 + k, y = 2000;
            for (int i = 0; i < grid.rows; ++i)
                for (int j = 0; j < grid.columns; ++j) {
                    const double ry = i * grid.cellSize - y, rx = j * grid.cellSize - x;
                    const long l = std::lround(std::sqrt(ry * ry + rx * rx));
                    if (l >= 2 * kBrush)
                        continue;
                    const int w = falloff[static_cast<size_t>(l)] / 2;
                    grid.Node(j, i)[0] -= static_cast<float>(1.0 * w / 256);
                }
        }
        benchmark::DoNotOptimize(grid.pairs.data());
    }
}

}  // namespace

BENCHMARK(ModifyShapeStroke)->Unit(benchmark::kMillisecond);
BENCHMARK(Reference_AllNodeStroke)->Unit(benchmark::kMillisecond);
BENCHMARK(TransformRotate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_VipsRotate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(ImageSizeBilinear)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Peer_VipsResizeSharpen)->Unit(benchmark::kMillisecond)->UseRealTime();
