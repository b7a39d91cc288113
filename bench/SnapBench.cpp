// The capture program on the X screen (run under Xvfb at 1920 x 1080 and
// 3840 x 2160): the overlay's snapshot of the whole screen against
// ImageMagick's import and xwd reading the root window; the overlay's paint
// of a 1:1 snapshot; a 640 x 480 camera frame converted and fitted into the
// camera dialog's preview.
#include "bench/BenchSupport.h"
#include "imagecore/QLImage.h"
#include "platform/afx/DC.h"
#include "platform/capture/FrameConvert.h"
#include "platform/capture/ScreenGrab.h"
#include "snap/CaptureOverlayDlg.h"
#include "snap/SnapFrames.h"

#include <QApplication>

#include <cstdlib>
#include <vector>

namespace {

bool HaveScreen(benchmark::State& state)
{
    int w = 0, h = 0;
    if (!std::getenv("DISPLAY") || !qlcapture::ScreenSize(&w, &h)) {
        state.SkipWithError("needs an X display (run under xvfb-run)");
        return false;
    }
    static int argc = 1;
    static char name[] = "bench_snap";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);  // the screen's metrics
    (void)app;
    state.SetLabel(std::to_string(w) + " x " + std::to_string(h));
    return true;
}

void BM_TakeSnapshot_ours(benchmark::State& state)
{
    if (!HaveScreen(state))
        return;
    snap::CCaptureOverlayDlg overlay(0);
    overlay.TakeSnapshot();  // the connection and the shared segment, made once
    for (auto _ : state) {
        overlay.TakeSnapshot();
        benchmark::DoNotOptimize(overlay.m_snapshot.GetBuffer(0, 0));
    }
}

void BM_TakeSnapshot_peer_import(benchmark::State& state)
{
    if (HaveScreen(state))
        RunPeer(state, "import -silent -window root ppm:/dev/null");
}

void BM_TakeSnapshot_peer_xwd(benchmark::State& state)
{
    if (HaveScreen(state))
        RunPeer(state, "xwd -root -silent -out /dev/null");
}

// The overlay's background at 1:1: the snapshot copied onto a screen-sized
// surface, as DrawSnapshot does.
void BM_OverlayPaint(benchmark::State& state)
{
    if (!HaveScreen(state))
        return;
    int w = 0, h = 0;
    qlcapture::ScreenSize(&w, &h);
    CQLImage shot;
    shot.Create(static_cast<UINT>(w), static_cast<UINT>(h));
    HDC mem = ::CreateCompatibleDC(nullptr);
    HBITMAP surface = ::CreateCompatibleBitmap(mem, w, h);
    ::SelectObject(mem, surface);
    ::SetStretchBltMode(mem, COLORONCOLOR);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    for (auto _ : state)
        ::StretchDIBits(mem, 0, 0, w, h, 0, 0, w, h, shot.GetBuffer(0, 0), &bi, DIB_RGB_COLORS, SRCCOPY);
    ::DeleteDC(mem);
    ::DeleteObject(surface);
}

// A YUYV camera frame to its fitted picture in a 420 x 364 preview.
void BM_CameraFrame(benchmark::State& state)
{
    const int w = 640, h = 480;
    std::vector<std::uint8_t> yuyv(static_cast<size_t>(w) * h * 2);
    for (size_t i = 0; i < yuyv.size(); ++i)
        yuyv[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<std::uint8_t> dib(qlcapture::DibStride24(w) * h);
    HDC mem = ::CreateCompatibleDC(nullptr);
    HBITMAP surface = ::CreateCompatibleBitmap(mem, 424, 368);
    ::SelectObject(mem, surface);
    ::SetStretchBltMode(mem, HALFTONE);
    BITMAPINFOHEADER format{};
    format.biSize = sizeof format;
    format.biWidth = w;
    format.biHeight = h;
    format.biPlanes = 1;
    format.biBitCount = 24;
    CQLImage frame;
    for (auto _ : state) {
        qlcapture::YuyvToDib24(yuyv.data(), yuyv.size(), static_cast<size_t>(w) * 2, w, h, dib.data());
        snap::FrameToImage(format, dib.data(), dib.size(), &frame);
        const RECT t = snap::FitFrame(RECT{2, 2, 422, 366}, w, h);
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        ::StretchDIBits(mem, t.left, t.top, t.right - t.left, t.bottom - t.top, 0, 0, w, h, frame.GetBuffer(0, 0), &bi,
                        DIB_RGB_COLORS, SRCCOPY);
    }
    ::DeleteDC(mem);
    ::DeleteObject(surface);
}

} // namespace

BENCHMARK(BM_TakeSnapshot_ours)->Name("TakeSnapshot/ours")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TakeSnapshot_peer_import)->Name("TakeSnapshot/peer")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TakeSnapshot_peer_xwd)->Name("TakeSnapshotXwd/peer")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OverlayPaint)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CameraFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
