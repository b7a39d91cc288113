// A batch run over camera-size JPEGs (resize by long side 1600, auto level,
// sharpen 70/2, JPEG 90 with EXIF) against ImageMagick's mogrify on the same
// files with the same steps. Both run as processes of their own, so the
// numbers include start-up alike, and their CPU time and peak resident
// memory come from the kernel's accounting of the child. The 10-photo rows
// show that memory does not grow with the length of the run.
#include "BenchSupport.h"
#include "CameraJpegs.h"


#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr int kPhotos = kCameraJpegCount;

const std::vector<std::string>& Inputs() { return CameraJpegs("batch-in"); }

struct ChildRun {
    bool ok = false;
    double wall = 0, cpu = 0;
    long peakKb = 0;
};

double Seconds(const timeval& t)
{
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

// Runs args (args[0] found on PATH or given as a path) with its output
// discarded, and takes its times and peak memory from wait4.
ChildRun Spawn(const std::vector<std::string>& args)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    ChildRun run;
    pid_t pid = 0;
    const auto t0 = std::chrono::steady_clock::now();
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return run;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    run.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    run.peakKb = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

std::string DriverPath()
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "batch_driver").string();
}

// Peak memory of the last 10-photo run of each program, for the growth of
// the 100-photo run over it.
long g_quillo10Kb = 0, g_mogrify10Kb = 0;

void TimeChild(benchmark::State& state, const std::vector<std::string>& command, const std::string& out,
               long& tenPhotosKb)
{
    const int photos = static_cast<int>(state.range(0));
    ChildRun last;
    for (auto _ : state) {
        std::filesystem::remove_all(out);
        std::filesystem::create_directories(out);
        last = Spawn(command);
        if (!last.ok) {
            state.SkipWithError(("failed: " + command.front()).c_str());
            return;
        }
        state.SetIterationTime(last.wall);
    }
    state.counters["cpu_over_wall"] = last.cpu / last.wall;
    state.counters["peak_rss_mb"] = static_cast<double>(last.peakKb) / 1024.0;
    if (photos == 10)
        tenPhotosKb = last.peakKb;
    else if (tenPhotosKb > 0)
        state.counters["rss_over_10_photos"] = static_cast<double>(last.peakKb) / static_cast<double>(tenPhotosKb);
}

std::vector<std::string> FirstInputs(int n)
{
    const auto& files = Inputs();
    return {files.begin(), files.begin() + std::min<std::ptrdiff_t>(n, static_cast<std::ptrdiff_t>(files.size()))};
}

void BM_QuilloBatch(benchmark::State& state)
{
    const std::string out = BenchFolder() + "/batch-out-quillo/";
    std::vector<std::string> command = {DriverPath(), out};
    for (const std::string& f : FirstInputs(static_cast<int>(state.range(0))))
        command.push_back(f);
    TimeChild(state, command, out, g_quillo10Kb);
}

void BM_Mogrify(benchmark::State& state)
{
    if (std::system("command -v mogrify >/dev/null 2>&1") != 0) {
        state.SkipWithError("mogrify is not installed (bench/run installs the peers)");
        return;
    }
    const std::string out = BenchFolder() + "/batch-out-mogrify/";
    std::vector<std::string> command = {"mogrify", "-path", out, "-resize", "1600x1600", "-auto-level",
                                        "-unsharp", "0x2+0.7", "-quality", "90"};
    for (const std::string& f : FirstInputs(static_cast<int>(state.range(0))))
        command.push_back(f);
    TimeChild(state, command, out, g_mogrify10Kb);
}

} // namespace

BENCHMARK(BM_QuilloBatch)->Arg(10)->Arg(kPhotos)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();
BENCHMARK(BM_Mogrify)->Arg(10)->Arg(kPhotos)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();
