// A 600 dpi colour page of SANE's test device: through our source manager
// (its source dialog, the reading thread, the DIB handed over) against
// scanimage writing the same page as PNM. The window's timer ticks counted
// while the page is read show that it keeps painting.
#include "platform/afx/Afx.h"
#include "platform/twain/SourceDialogs.h"
#include "platform/twain/SourceManager.h"
#include "platform/twain/tests/SaneTestDevice.h"

#include <QApplication>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {

bool Setup()
{
    static int argc = 1;
    static char name[] = "bench_shelfscan";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static const bool ok = qltwain::sanetest::HaveTestBackend() &&
                           qltwain::sanetest::WriteTestConfig(
                               {"mode Color", "test-picture \"Color pattern\"", "resolution 600.0"});
    return ok;
}

TW_UINT16 Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    static TW_IDENTITY app{};
    return qltwain::DsmEntry(&app, dest, dg, dat, msg, data);
}

void BM_SourceManagerToDib(benchmark::State& state)
{
    if (!Setup()) {
        state.SkipWithError("SANE's test backend or scanimage is missing");
        return;
    }
    CWnd parent;
    parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP, CRect(0, 0, 200, 100), nullptr, 0);
    HWND hwnd = parent.m_hWnd;
    long ticks = 0, bytes = 0;
    double scanSeconds = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    qlafx::SetModalHook([](CWnd* dialog, const char*, const char*, UINT) {
        if (!dialog)
            return IDOK;
        dialog->SendMessage(WM_COMMAND, IDOK);
        return qlafx::kModalRun;
    });
    for (auto _ : state) {
        Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &hwnd);
        TW_IDENTITY source{};
        Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &source);
        Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source);
        TW_USERINTERFACE ui{1, 0, hwnd};
        timer.start(10);
        const auto t0 = std::chrono::steady_clock::now();
        Call(&source, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
        scanSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        timer.stop();
        MSG msg{hwnd, ::RegisterWindowMessage("QuilloSourceEvent"), 0, 0, 0, {0, 0}};
        TW_EVENT event{&msg, 0};
        Call(&source, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event);
        HGLOBAL dib = nullptr;
        if (Call(&source, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib) == TWRC_XFERDONE) {
            bytes += static_cast<long>(GlobalSize(dib));
            GlobalFree(dib);
        }
        TW_PENDINGXFERS pending{};
        Call(&source, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        Call(&source, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
        Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &source);
        Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &hwnd);
    }
    qlafx::SetModalHook({});
    state.counters["timer_ticks_per_scan"] = static_cast<double>(ticks) / static_cast<double>(state.iterations());
    state.counters["scan_ms"] = 1000.0 * scanSeconds / static_cast<double>(state.iterations());
    state.SetBytesProcessed(bytes);
    parent.DestroyWindow();
}
BENCHMARK(BM_SourceManagerToDib)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_ScanimagePnm(benchmark::State& state)
{
    if (!Setup()) {
        state.SkipWithError("SANE's test backend or scanimage is missing");
        return;
    }
    const std::string out = (std::filesystem::temp_directory_path() / "bench-shelfscan.pnm").string();
    const std::string cmd = "SANE_CONFIG_DIR='" + qltwain::sanetest::SaneConfigDir() +
                            "' scanimage -d test:0 --format=pnm > '" + out + "' 2>/dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("scanimage failed");
    state.SetBytesProcessed(static_cast<long>(std::filesystem::file_size(out)) * state.iterations());
    std::filesystem::remove(out);
}
BENCHMARK(BM_ScanimagePnm)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

} // namespace
