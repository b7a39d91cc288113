// "Save with Size ..." of the 24-megapixel photo: the whole quality search
// (two rounds at a time, as the dialog runs it) against one encode at the
// quality it found, by TurboJPEG in-process and by cjpeg from the PPM.
// Both with full colour resolution, as the dialog's default. Bar: the
// search within 8.5 times one encode.
#include "bench/BenchSupport.h"

#include "editor/shell/JpegSizeSearch.h"
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <turbojpeg.h>

#include <cstdlib>
#include <string>

namespace {

constexpr int kColourOffset = 100;  // full colour resolution

bool Encode(int quality, DWORD* bytes)
{
    CQLImageCodec codec;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (!codec.SaveToJpegMem(&data, &length, &SyntheticPhoto(), quality + kColourOffset))
        return false;
    delete[] data;
    *bytes = length;
    return true;
}

// A wanted size just below the file at quality 85, so the search works
// through all its rounds and finds 84 or near it.
int WantedKB()
{
    static const int kb = [] {
        DWORD bytes = 0;
        if (!Encode(85, &bytes))
            std::abort();
        return static_cast<int>(bytes / 1024) - 1;
    }();
    return kb;
}

int FoundQuality()
{
    static const int q = JpegSizeSearch(WantedKB(), 0).Run(Encode, {});
    return q;
}

void SearchOurs(benchmark::State& state)
{
    int found = 0;
    for (auto _ : state) {
        found = JpegSizeSearch(WantedKB(), 0).Run(Encode, {});
        if (found <= 0)
            state.SkipWithError("search failed");
    }
    state.counters["quality"] = found;
}

void OneEncodePeer(benchmark::State& state)
{
    const int quality = FoundQuality();
    tjhandle tj = tjInitCompress();
    for (auto _ : state) {
        unsigned char* jpeg = nullptr;
        unsigned long size = 0;
        if (tjCompress2(tj, SyntheticPhoto().GetBuffer(0, 0), kPhotoWidth, 0, kPhotoHeight, TJPF_BGRX, &jpeg, &size,
                        TJSAMP_444, quality, 0)
            != 0)
            state.SkipWithError("tjCompress2 failed");
        tjFree(jpeg);
    }
    tjDestroy(tj);
    state.counters["quality"] = quality;
}

void OneCjpegPeer(benchmark::State& state)
{
    const std::string command = "cjpeg -quality " + std::to_string(FoundQuality()) +
                                " -sample 1x1 -outfile /dev/null " + PeerInputPpm();
    RunPeer(state, command);
}

}  // namespace

BENCHMARK(SearchOurs)->Name("SaveWithSize/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OneEncodePeer)->Name("SaveWithSize/peer")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(SearchOurs)->Name("SaveWithSizeCjpeg/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(OneCjpegPeer)->Name("SaveWithSizeCjpeg/peer")->Unit(benchmark::kMillisecond)->UseRealTime();
