// The album's photo search over 5,000 small camera JPEGs, with and without
// the album's property files: files per second for a name search, a tone
// search and an EXIF search, against exiv2 reading the models and
// vipsthumbnail making the thumbnails (one process per core) of the same files.
#include "BenchSupport.h"
#include "PhotoTree.h"
#include "album/tools/PhotoSearch.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <thread>

namespace {

constexpr int kFiles = 5000;

const std::string& Tree(bool propertyFiles)
{
    PhotoTreeShape shape;
    shape.files = kFiles;
    shape.propertyFiles = propertyFiles;
    return PhotoTree(shape);
}

// Runs one whole search per iteration; reports files a second and the
// longest single step (how long the worker can keep a stop or a preview waiting).
void RunSearch(benchmark::State& state, bool propertyFiles, const std::function<void(shelf::SearchCriteria&)>& set)
{
    const std::string& root = Tree(propertyFiles);
    shelf::PhotoSearch search;
    double longest = 0;
    int hits = 0;
    for (auto _ : state) {
        shelf::SearchCriteria c;
        c.stopCount = 512;
        set(c);
        search.Start(std::move(c), {root});
        const auto notify = [](WPARAM, LPARAM) {};
        for (;;) {
            const auto t0 = std::chrono::steady_clock::now();
            const bool more = search.Step(notify);
            longest = std::max(longest, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
            if (!more)
                break;
        }
        hits = search.GetResultCount();
    }
    state.counters["files/s"] = benchmark::Counter(double(kFiles) * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["hits"] = hits;
    state.counters["longest_step_ms"] = longest;
}

void nameSearch(shelf::SearchCriteria& c) { c.nameKeywords = {"p0"}; }
void toneSearch(shelf::SearchCriteria& c) { c.tone = 2; }
void exifSearch(shelf::SearchCriteria& c)
{
    c.modelKeywords = {"canon"};
    c.apertureTest = 3;
    c.fNumber = 2.8f;
}

std::string Jpegs(bool propertyFiles) { return Tree(propertyFiles) + "d*/*.jpg"; }

void BM_NameSearch_ours(benchmark::State& s) { RunSearch(s, false, nameSearch); }
void BM_NameSearchPrp_ours(benchmark::State& s) { RunSearch(s, true, nameSearch); }
void BM_ToneSearch_ours(benchmark::State& s) { RunSearch(s, false, toneSearch); }
void BM_ToneSearchPrp_ours(benchmark::State& s) { RunSearch(s, true, toneSearch); }
void BM_ToneSearch_peer(benchmark::State& s)
{
    const std::string out = BenchFolder() + "/vipsthumbs";
    std::system(("mkdir -p " + out).c_str());
    RunPeer(s, "vipsthumbnail --version >/dev/null && ls " + Jpegs(false) + " | xargs -P " +
                   std::to_string(std::max(1u, std::thread::hardware_concurrency())) +
                   " -n 100 vipsthumbnail --size 100 -o " + out + "/%s.jpg");
    s.counters["files/s"] = benchmark::Counter(double(kFiles) * s.iterations(), benchmark::Counter::kIsRate);
}
void BM_ExifSearch_ours(benchmark::State& s) { RunSearch(s, false, exifSearch); }
void BM_ExifSearchPrp_ours(benchmark::State& s) { RunSearch(s, true, exifSearch); }
void BM_ExifSearch_peer(benchmark::State& s)
{
    RunPeer(s, "exiv2 -q -g Exif.Image.Model -Pv " + Jpegs(false) + " >/dev/null");
    s.counters["files/s"] = benchmark::Counter(double(kFiles) * s.iterations(), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_NameSearch_ours)->Name("NameSearch/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_NameSearchPrp_ours)->Name("NameSearchPrp/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToneSearch_ours)->Name("ToneSearch/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToneSearchPrp_ours)->Name("ToneSearchPrp/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ToneSearch_peer)->Name("ToneSearch/peer")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExifSearch_ours)->Name("ExifSearch/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExifSearchPrp_ours)->Name("ExifSearchPrp/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExifSearch_peer)->Name("ExifSearch/peer")->Unit(benchmark::kMillisecond)->UseRealTime();
