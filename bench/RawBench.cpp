// Direct RAW opening of a 24-megapixel DNG: our development and conversion
// (the editor's OpenRawDirect steps) against LibRaw's own dcraw_emu at the
// same quality on the same file, and the 16-to-8-bit conversion alone.
#include "BenchSupport.h"

#include "imagecore/16BitBitmap.h"
#include "imagecore/QLImage.h"
#include "platform/raw/RawParser.h"
#include "platform/raw/RawTone.h"
#include "platform/raw/tests/RawTestFiles.h"

#include <cstdlib>

namespace {

const std::string& Dng()
{
    static const std::string path = [] {
        RawTestDng dng;
        dng.width = 6000;
        dng.height = 4000;
        const std::string file = BenchFolder() + "/photo24.dng";
        if (!WriteRawTestDng(file, dng))
            std::abort();
        return file;
    }();
    return path;
}

// The steps of OpenRawDirect for a mosaic file.
bool Develop(C16BitBitmap& developed, CQLImage& image)
{
    CRawParser parser;
    if (parser.LoadCCDDataOnly(Dng().c_str(), nullptr) != 1 || !parser.Interpolate(3) || !parser.FinalConvert() ||
        !parser.ImageToBitmap(&developed))
        return false;
    parser.UniformImage(&developed);
    parser.Close();
    return ConvertRawTo8Bit(developed, image, kRawOpenSharpening) != 0;
}

void BM_OpenRawDirect(benchmark::State& state)
{
    for (auto _ : state) {
        C16BitBitmap developed;
        CQLImage image;
        if (!Develop(developed, image))
            state.SkipWithError("development failed");
    }
}
BENCHMARK(BM_OpenRawDirect)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ConvertWithSharpening(benchmark::State& state)
{
    C16BitBitmap developed;
    CQLImage image;
    if (!Develop(developed, image)) {
        state.SkipWithError("development failed");
        return;
    }
    for (auto _ : state)
        ConvertRawTo8Bit(developed, image, kRawOpenSharpening);
}
BENCHMARK(BM_ConvertWithSharpening)->Unit(benchmark::kMillisecond)->UseRealTime();

// Peer: libraw-bin's dcraw_emu, AHD, 16-bit linear TIFF out.
void BM_Peer_DcrawEmu(benchmark::State& state)
{
    RunPeer(state, "dcraw_emu -q 3 -6 -W -T " + Dng());
}
BENCHMARK(BM_Peer_DcrawEmu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace
