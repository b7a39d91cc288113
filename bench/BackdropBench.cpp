// The backdrop behind the editor's dialogs: the 3 x 3 blur of a 1920 x 1080
// grab against libvips convolving the same pixels with the same integer mask
// (in-process, on the same threads), and the grab of a 1920 x 1080 main view
// holding the photo plus that blur, which must stay under 20 ms for a dialog
// to appear without a visible delay.
#include "bench/BenchSupport.h"

// glib's headers name members "signals", which Qt defines as a keyword.
#if defined(QUILLO_PEER_VIPS)
#include <vips/vips.h>
#endif

#include "editor/shell/BackdropWnd.h"
#include "editor/shell/MainView.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/ui/AppSettings.h"
#include "imagecore/ParallelFor.h"
#include "imagecore/QLImage.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

constexpr int kWidth = 1920, kHeight = 1080;

struct Setup {
    CWnd parent;
    CMainView view;
    CQLImage grab;
    bool ok = false;
};

Setup& Window()
{
    static int argc = 1;
    static char name[] = "bench_backdrop";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static Setup s;
    if (!s.ok) {
        const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      (exe.parent_path().parent_path() / "bin").c_str());
        thePhotoDocument.m_image.DuplicateFrom(&SyntheticPhoto());
        s.parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                          nullptr);
        s.ok = s.view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, kWidth, kHeight}, &s.parent,
                             0xE900) &&
               CBackdropWnd::GrabWindow(&s.parent, s.grab);
    }
    return s;
}

void BackdropBlurOurs(benchmark::State& state)
{
    Setup& s = Window();
    if (!s.ok) {
        state.SkipWithError("the main view could not be made (skin pictures missing?)");
        return;
    }
    CQLImage out;
    for (auto _ : state) {
        CBackdropWnd::Blur(s.grab, out);
        benchmark::DoNotOptimize(out.GetBuffer(0, 0));
    }
    state.counters["threads"] = static_cast<double>(imagecore::ThreadCount());
}
BENCHMARK(BackdropBlurOurs)->Name("BackdropBlur/ours")->Unit(benchmark::kMillisecond)->UseRealTime();

#if defined(QUILLO_PEER_VIPS)
void BackdropBlurPeer(benchmark::State& state)
{
    Setup& s = Window();
    if (!s.ok || VIPS_INIT("bench_backdrop") != 0) {
        state.SkipWithError("no grab or libvips did not start");
        return;
    }
    vips_concurrency_set(static_cast<int>(imagecore::ThreadCount()));
    vips_cache_set_max(0);
    VipsImage* mask = vips_image_new_matrixv(3, 3, 1.0, 2.0, 1.0, 2.0, 2.0, 2.0, 1.0, 2.0, 1.0);
    vips_image_set_double(mask, "scale", 16);
    for (auto _ : state) {
        VipsImage* in = vips_image_new_from_memory(s.grab.GetBuffer(0, 0), s.grab.GetAreaByteSize(), kWidth, kHeight,
                                                   4, VIPS_FORMAT_UCHAR);
        VipsImage* out = nullptr;
        size_t size = 0;
        void* pixels = vips_conv(in, &out, mask, "precision", VIPS_PRECISION_INTEGER, nullptr) == 0
                           ? vips_image_write_to_memory(out, &size)
                           : nullptr;
        if (!pixels)
            state.SkipWithError(vips_error_buffer());
        g_free(pixels);
        if (out)
            g_object_unref(out);
        g_object_unref(in);
    }
    g_object_unref(mask);
}
BENCHMARK(BackdropBlurPeer)->Name("BackdropBlur/peer")->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

// What a dialog waits for: the grab of the window with its children, then
// the blur. Bar: under 20 ms.
void BackdropGrabAndBlur(benchmark::State& state)
{
    Setup& s = Window();
    if (!s.ok) {
        state.SkipWithError("the main view could not be made (skin pictures missing?)");
        return;
    }
    CQLImage grab, out;
    for (auto _ : state) {
        CBackdropWnd::GrabWindow(&s.parent, grab);
        CBackdropWnd::Blur(grab, out);
        benchmark::DoNotOptimize(out.GetBuffer(0, 0));
    }
}
BENCHMARK(BackdropGrabAndBlur)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
