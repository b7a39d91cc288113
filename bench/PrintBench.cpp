// Typesetting one landscape A4 page of eight copies of the 24-megapixel
// photo into a JPEG file, against montage laying the same copies at the
// same cell size (750 x 1050, the tiles of a 3510 x 2490 page) at 300 dpi,
// saved at quality 98.
#include "BenchSupport.h"

#include "album/tools/PrintArrangement.h"
#include "platform/codec/QLImageCodec.h"

#include <cstdio>
#include <filesystem>

namespace {

constexpr int kCopies = 8;
// Eight of these fill the page's eighths: 750 x 1050 dots each.
constexpr float kCellWidth = 3.5f;
constexpr float kCellHeight = 2.5f;

const std::string& PhotoJpeg()
{
    static const std::string path = [] {
        const std::string p = BenchFolder() + "/print-photo.jpg";
        CQLImageCodec codec;
        codec.SaveJpegFile(p.c_str(), &SyntheticPhoto(), 95, 300);
        return p;
    }();
    return path;
}

void BM_TypesetPage(benchmark::State& state)
{
    const std::string photo = PhotoJpeg();
    const std::string folder = BenchFolder() + "/typeset";
    std::filesystem::create_directories(folder);
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        state.ResumeTiming();
        CImagePrinter printer;
        printer.SetVirtualPage(300, 11.7, 8.3);
        printer.m_highQuality = static_cast<int>(state.range(0));
        PrintJob job;
        std::snprintf(job.path, sizeof job.path, "%s", photo.c_str());
        for (int i = 0; i < kCopies; ++i) {
            job.copySizes.push_back({printer.InchesToUnits(kCellWidth), printer.InchesToUnits(kCellHeight)});
            job.copyCrops.push_back(RECT{});
        }
        printer.m_jobs.push_back(job);
        shelf::PrintArrangement run(&printer);
        run.m_mode = shelf::PrintArrangement::Normal;
        run.m_printToFile = 1;
        run.m_folder = folder;
        run.m_stamp = "bench-";
        if (!run.PreparePageImage()) {
            state.SkipWithError("no page image");
            return;
        }
        run.Run();
        if (run.Pages().size() != 1 || run.Pages()[0].size() != kCopies) {
            state.SkipWithError("the copies did not fill one page");
            return;
        }
    }
}
BENCHMARK(BM_TypesetPage)->Arg(1)->Arg(0)->ArgName("high_quality")->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TypesetPagePeerMontage(benchmark::State& state)
{
    // The photo is read once and laid eight times, as the typeset run reads
    // it once for its eight cells.
    RunPeer(state, "montage " + PhotoJpeg() + " -duplicate 7 -tile 4x2 -geometry 750x1050+63+97 -background white -density 300 " +
                       "-quality 98 " + BenchFolder() + "/montage-page.jpg");
}
BENCHMARK(BM_TypesetPagePeerMontage)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
