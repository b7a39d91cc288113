// Digital Beauty's skin-tone step on a 24-megapixel photo: the five jobs as
// the dialog chains them, and its brightening and pinking routines each
// beside the copy floor (the same rows copied on all cores).
#include "BenchSupport.h"

#include "algorithms/SkinMaskAlgorithm.h"
#include "algorithms/SmoothAlgorithm.h"
#include "editor/adjust/DigitalBeautyDlg.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <cstring>

namespace {

// The photo with a skin mask in its alpha, as the jobs find it.
const CQLImage& MaskedPhoto()
{
    static CQLImage* photo = [] {
        auto* image = new CQLImage;
        image->DuplicateFrom(&SyntheticPhoto());
        SkinMaskAlgorithm mask;
        mask.SetImages(image, image);
        mask.Apply(nullptr);
        return image;
    }();
    return *photo;
}

// from into the same-sized to, in place, so that no page is new to the routine.
void CopyRows(const CQLImage& from, CQLImage* to)
{
    UINT w = 0, h = 0;
    from.GetSize(&w, &h);
    const std::size_t row = static_cast<std::size_t>(w) * 4;
    imagecore::ParallelFor(0, static_cast<int>(h), row, [&](int r0, int r1) {
        for (int r = r0; r < r1; ++r)
            std::memcpy(to->GetBuffer(0, r), from.GetBuffer(0, r), row);
    });
}

void BM_DigitalBeautyStep2(benchmark::State& state)
{
    CQLImage* photo = const_cast<CQLImage*>(&SyntheticPhoto());
    CQLImage bright, pink, brightPink;
    for (auto _ : state) {
        SkinMaskAlgorithm mask;
        SmoothAlgorithm smooth;
        FilterHost host;
        const SmoothParams sp{CDigitalBeautyDlg::kMaskRadius};
        bool ok = bright.DuplicateFrom(photo) != 0;
        mask.SetImages(&bright, &bright);
        ok = ok && mask.Apply(nullptr) == 0;
        smooth.SetAlphaOnly(1);
        smooth.SetImages(&bright, &pink);
        ok = ok && smooth.Apply(&sp) == 0;
        ok = ok && bright.DuplicateFrom(&pink) && brightPink.DuplicateFrom(&pink);
        host.SetImages(photo, &bright);
        ok = ok && host.Apply(reinterpret_cast<void*>(&digitalbeauty::Brighten)) == 0;
        host.SetImages(&pink, &pink);
        ok = ok && host.Apply(reinterpret_cast<void*>(&digitalbeauty::Pink)) == 0;
        host.SetImages(&pink, &brightPink);
        ok = ok && host.Apply(reinterpret_cast<void*>(&digitalbeauty::Brighten)) == 0;
        if (!ok)
            state.SkipWithError("chain failed");
    }
}

void BM_Brighten(benchmark::State& state)
{
    CQLImage* photo = const_cast<CQLImage*>(&SyntheticPhoto());
    CQLImage target;
    target.DuplicateFrom(&MaskedPhoto());
    FilterHost host;
    host.SetImages(photo, &target);
    for (auto _ : state) {
        // The routine hands the photo's alpha on: each run starts from the mask.
        state.PauseTiming();
        CopyRows(MaskedPhoto(), &target);
        state.ResumeTiming();
        if (host.Apply(reinterpret_cast<void*>(&digitalbeauty::Brighten)) != 0)
            state.SkipWithError("brighten failed");
    }
}

void BM_Pink(benchmark::State& state)
{
    CQLImage target;
    target.DuplicateFrom(&MaskedPhoto());
    FilterHost host;
    host.SetImages(&target, &target);
    for (auto _ : state) {
        // In place: each run starts from the same pixels.
        state.PauseTiming();
        CopyRows(MaskedPhoto(), &target);
        state.ResumeTiming();
        if (host.Apply(reinterpret_cast<void*>(&digitalbeauty::Pink)) != 0)
            state.SkipWithError("pink failed");
    }
}

// The floor: every row of the photo copied into a target on all cores.
void BM_CopyFloor(benchmark::State& state)
{
    CQLImage target;
    target.DuplicateFrom(&MaskedPhoto());
    for (auto _ : state) {
        CopyRows(MaskedPhoto(), &target);
        benchmark::DoNotOptimize(target.GetBuffer(0, 0));
    }
}

}  // namespace

BENCHMARK(BM_DigitalBeautyStep2)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Brighten)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Pink)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CopyFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
