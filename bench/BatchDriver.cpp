// One batch run in a process of its own, for bench_batch: the chain resize
// by long side 1600, auto level, sharpen 70/2 and JPEG 90 with EXIF over the
// photos named on the command line. Prints its wall and CPU time and its
// peak resident memory, so that runs of different lengths compare fairly.
//
//   batch_driver <output folder> <photo>...
#include "album/tools/BatchRunner.h"

#include <QGuiApplication>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sys/resource.h>

namespace {

double Seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <output folder> <photo>...\n", argv[0]);
        return 2;
    }
    // Text rendering needs a GUI application; none is shown.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    const auto t0 = std::chrono::steady_clock::now();
    shelf::ActionTable table;
    shelf::BatchResources resources;
    const std::string none = (std::filesystem::path(argv[1]) / "no-program/").string();
    shelf::BuildActionTable(none, table, resources);
    static_cast<shelf::IntParam*>(shelf::FindAction(table, shelf::kResizeByLongSide)->Find("Long side"))->number = 1600;
    auto* save = shelf::FindAction(table, shelf::kSave);
    static_cast<shelf::IntParam*>(save->Find("Quality if JPEG"))->number = 90;
    // Plain 4:2:0 JPEG, as mogrify writes it.
    static_cast<shelf::EnumParam*>(save->Find("High Quality Color(Large Size)"))->index = 0;
    std::vector<int> chain;
    for (int id : {shelf::kResizeByLongSide, shelf::kAutoLevel, shelf::kSharpen, shelf::kSave})
        for (size_t i = 0; i < table.size(); ++i)
            if (table[i].id == id)
                chain.push_back(static_cast<int>(i));

    shelf::BatchRunner runner(table, resources);
    runner.SetFiles(std::vector<std::string>(argv + 2, argv + argc));
    shelf::BatchOutput output;
    output.folder = argv[1];
    runner.SetOutput(output);
    runner.SetChain(chain);
    if (runner.Start([] { return true; }) != shelf::BatchCheck::Ok) {
        std::fprintf(stderr, "batch refused\n");
        return 1;
    }
    const shelf::BatchReport report = runner.Run();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("photos %d wall %.3f cpu %.3f peak_rss_kb %ld\n", report.filesDone, wall,
                Seconds(usage.ru_utime) + Seconds(usage.ru_stime), usage.ru_maxrss);
    if (!report.Clean()) {
        std::fprintf(stderr, "batch reported failures\n");
        return 1;
    }
    return 0;
}
