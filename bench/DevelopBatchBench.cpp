// Batch RAW conversion: 1,000 names (hard links to 10 distinct mosaic DNGs of
// 1 to 3 megapixels) converted to JPEG by BatchConverter in a fresh process,
// and the first 100 names the same way: the peak resident memory of the two
// runs (it must not grow with the number of files) and the time per file,
// against LibRaw's dcraw_emu -q 3 piped into cjpeg -quality 99 -sample 1x1,
// one file at a time on the same files.
#include "BenchSupport.h"

#include "develop/BatchConverter.h"
#include "platform/raw/tests/RawTestFiles.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kDistinct = 10;
constexpr int kNames = 1000;

std::string NameOf(int i)
{
    char name[32];
    std::snprintf(name, sizeof name, "f%04d.dng", i);
    return name;
}

// The distinct files and their 1,000 names, made once.
const std::string& NamesFolder()
{
    static const std::string folder = [] {
        const std::string root = BenchFolder() + "/batch";
        fs::create_directories(root + "/src");
        fs::create_directories(root + "/names");
        std::vector<std::string> sources;
        for (int i = 0; i < kDistinct; ++i) {
            RawTestDng dng;
            dng.width = 1152 + i * 88; // 1.0 to 2.8 megapixels
            dng.height = dng.width * 3 / 4 & ~1;
            const std::string path = root + "/src/s" + std::to_string(i) + ".dng";
            if (!WriteRawTestDng(path, dng))
                std::abort();
            sources.push_back(path);
        }
        for (int i = 0; i < kNames; ++i)
            fs::create_hard_link(sources[i % kDistinct], root + "/names/" + NameOf(i));
        return root + "/names/";
    }();
    return folder;
}

struct ChildRun {
    bool ok = false;
    double seconds = 0;
    long peakKb = 0;
};

// This program again, converting the first count names into out.
ChildRun ConvertInFreshProcess(int count, const std::string& out)
{
    fs::remove_all(out);
    fs::create_directories(out);
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string n = std::to_string(count);
    const std::string folder = NamesFolder();
    char* argv[] = {const_cast<char*>(self.c_str()), const_cast<char*>("--batch-child"), const_cast<char*>(n.c_str()),
                    const_cast<char*>(folder.c_str()), const_cast<char*>(out.c_str()), nullptr};
    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = -1;
    if (::posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv, environ) != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (::wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakKb = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

class CountingReport : public develop::BatchReport {
public:
    void SelectRow(int) override {}
    void BatchPercent(int) override {}
    void FileStage(const std::string&, int) override {}
    void Status(int, const std::string& text) override
    {
        if (text.size() < 5 || text.compare(text.size() - 5, 5, " - OK") != 0)
            ++failed;
    }
    int failed = 0;
};

int ChildMain(int count, const std::string& folder, const std::string& out)
{
    develop::BatchSettings settings;
    for (int i = 0; i < count; ++i) {
        settings.entries.push_back({NameOf(i), folder + NameOf(i)});
        settings.order.push_back(i);
    }
    settings.folder = out + "/";
    CountingReport report;
    std::atomic<int> cancel{0};
    develop::BatchConverter(std::move(settings), report, cancel).Run();
    return report.failed == 0 ? 0 : 1;
}

void BM_BatchConverter(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::string out = BenchFolder() + "/batch/out" + std::to_string(count);
    ChildRun run;
    for (auto _ : state) {
        run = ConvertInFreshProcess(count, out);
        if (!run.ok) {
            state.SkipWithError("the batch failed");
            return;
        }
    }
    fs::remove_all(out);
    state.counters["peak_rss_kb"] = static_cast<double>(run.peakKb);
    state.counters["ms_per_file"] = run.seconds * 1000.0 / count;
    std::printf("BatchConverter, %d files: peak resident %ld kB, %.1f ms a file\n", count, run.peakKb,
                run.seconds * 1000.0 / count);
}
BENCHMARK(BM_BatchConverter)->Arg(100)->Arg(kNames)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// Peer: one file at a time, the first 100 names.
void BM_Peer_DcrawEmuCjpeg(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const std::string out = BenchFolder() + "/batch/peer";
    fs::create_directories(out);
    std::string script;
    for (int i = 0; i < count; ++i)
        script += "dcraw_emu -q 3 -Z - " + NamesFolder() + NameOf(i) + " | cjpeg -quality 99 -sample 1x1 > " + out +
                  "/" + std::to_string(i) + ".jpg || exit 1\n";
    const std::string file = BenchFolder() + "/batch/peer.sh";
    std::FILE* f = std::fopen(file.c_str(), "w");
    if (!f) {
        state.SkipWithError("cannot write the peer's script");
        return;
    }
    std::fputs(script.c_str(), f);
    std::fclose(f);
    if (std::system("command -v cjpeg >/dev/null 2>&1") != 0) {
        state.SkipWithError("cjpeg is not installed");
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    RunPeer(state, "dcraw_emu >/dev/null 2>&1; sh " + file);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["ms_per_file"] = seconds * 1000.0 / count / static_cast<double>(state.iterations());
    fs::remove_all(out);
}
BENCHMARK(BM_Peer_DcrawEmuCjpeg)->Arg(100)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--batch-child")
        return ChildMain(std::atoi(argv[2]), argv[3], argv[4]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
