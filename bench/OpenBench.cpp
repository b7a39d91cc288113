// Opening a 24-megapixel JPEG as the command line does, up to the first
// painted main view: decode, EXIF, folder list, the first undo step and the
// paint. Peer: djpeg decoding the same file.
#include "bench/BenchSupport.h"

#include "editor/shell/EditorApp.h"
#include "editor/shell/MainFrame.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "imagecore/QLImage.h"
#include "platform/afx/WinApp.h"
#include "platform/codec/QLImageCodec.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

const std::string& PhotoJpeg()
{
    static const std::string path = [] {
        const std::string file = BenchFolder() + "/open.jpg";
        CQLImageCodec codec;
        codec.SaveJpegFile(file.c_str(), &SyntheticPhoto(), 92, 72);
        return file;
    }();
    return path;
}

CMainFrame* Frame()
{
    static int argc = 1;
    static char name[] = "bench_open";
    static char* argv[] = {name, nullptr};
    static QApplication* qt = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        setenv("TMPDIR", BenchFolder().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (BenchFolder() + "/config").c_str(), 1);
        return new QApplication(argc, argv);
    }();
    (void)qt;
    static CWinApp app{"Quillo"};
    static CMainFrame* frame = [] {
        const std::string profile = BenchFolder() + "/Quillo.ini";
        std::ofstream(profile) << "[General]\nUserName=Bench\n";
        app.m_pszProfileName = strdup(profile.c_str());
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
        const std::string bin = (exe.parent_path().parent_path() / "bin").string() + "/";
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s", bin.c_str());
        std::snprintf(g_programFolder, sizeof g_programFolder, "%s", bin.c_str());
        CQLImageCodec::Start();
        theAppSettings.LoadProfileAndSkin();
        auto* f = new CMainFrame;
        app.m_pMainWnd = f;
        if (!f->LoadFrame(128, 0xCF8000))
            return static_cast<CMainFrame*>(nullptr);
        f->MoveWindow(0, 0, 1600, 1000);
        f->ShowWindow(SW_SHOW);
        return f;
    }();
    return frame;
}

void OpenPhotoOurs(benchmark::State& state)
{
    CMainFrame* frame = Frame();
    if (!frame) {
        state.SkipWithError("the frame needs its pictures in the program folder");
        return;
    }
    const std::string& path = PhotoJpeg();
    for (auto _ : state) {
        if (!frame->OpenImageFile(path.c_str(), 1)) {
            state.SkipWithError("the photo did not open");
            return;
        }
        // The undo file is written in the background after the first paint;
        // the next open must not find the last one still writing.
        state.PauseTiming();
        thePhotoDocument.m_history.Reset();
        state.ResumeTiming();
    }
}
BENCHMARK(OpenPhotoOurs)->Name("OpenPhoto/ours")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

void OpenPhotoPeer(benchmark::State& state)
{
    RunPeer(state, "djpeg -outfile /dev/null " + PhotoJpeg());
}
BENCHMARK(OpenPhotoPeer)->Name("OpenPhoto/peer")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

}  // namespace
