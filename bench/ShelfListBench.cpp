// The album's photo list on the offscreen platform: a 1600 x 1000 list of
// 5,000 items with 100 x 100 thumbnails. No peer paints this control; the
// bars are a full page under 8 ms (thumbnails, HALFTONE) and 4 ms (details),
// select-all with its redraw under 10 ms, either sort under 5 ms and a
// worker's repaint under 0.5 ms of the UI thread.
#include "album/shell/PhotoListView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>

using namespace shelf;

namespace {

constexpr int kWidth = 1600, kHeight = 1000, kItems = 5000;

struct Setup {
    FolderEntries model;
    CWnd parent;
    CPhotoListView list;
    bool ok = false;
};

Setup& List()
{
    static int argc = 1;
    static char name[] = "bench_shelflist";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        return new QApplication(argc, argv);
    }();
    (void)app;
    static Setup s;
    if (!s.ok) {
        std::mt19937 random(46);
        for (int i = 0; i < kItems; ++i) {
            auto entry = std::make_unique<PhotoEntry>();
            std::snprintf(entry->m_info.szFileName, sizeof entry->m_info.szFileName, "IMG_%05u.jpg",
                          static_cast<unsigned>(random() % 100000));
            entry->m_bPresent = 1;
            entry->m_thumb.Create(100, 100);
            for (int y = 0; y < 100; ++y)
                for (int x = 0; x < 100; ++x)
                    entry->m_thumb.PutPixel(x, y, CPixel{static_cast<BYTE>(x * 2), static_cast<BYTE>(y * 2),
                                                         static_cast<BYTE>(i), 255});
            PhotoFileInfo& info = entry->m_info;
            info.nWidth = 4000;
            info.nHeight = 3000;
            info.nFileSize = 3000000 + i;
            info.fFNumber = 2.8f;
            info.fExposureTime = 1.0f / 125;
            info.wISO = 200;
            info.stDateTaken = SYSTEMTIME{static_cast<WORD>(2000 + random() % 20), 1, 0, 1, 12, 0,
                                          static_cast<WORD>(random() % 60), 0};
            info.nThumbState = kThumbDone;
            s.model.m_entries.push_back(std::move(entry));
        }
        s.parent.CreateEx(0, AfxRegisterWndClass(0), "bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr,
                          nullptr);
        s.ok = s.list.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, kWidth, kHeight}, &s.parent, 4100);
        s.list.SetHalftone(TRUE);
        s.list.Fill(s.model, 0);
    }
    return s;
}

void Redraw(CWnd& wnd) { wnd.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW); }

void ThumbnailPage(benchmark::State& state)
{
    Setup& s = List();
    s.list.SetViewMode(0);
    for (auto _ : state)
        Redraw(s.list);
}
BENCHMARK(ThumbnailPage)->Unit(benchmark::kMillisecond);

void DetailPage(benchmark::State& state)
{
    Setup& s = List();
    s.list.SetViewMode(1);
    for (auto _ : state)
        Redraw(s.list);
    s.list.SetViewMode(0);
}
BENCHMARK(DetailPage)->Unit(benchmark::kMillisecond);

void SelectAllAndRedraw(benchmark::State& state)
{
    Setup& s = List();
    for (auto _ : state) {
        state.PauseTiming();
        s.list.SelectItem(0, 0);
        state.ResumeTiming();
        s.list.SelectItem(0, -2);
    }
}
BENCHMARK(SelectAllAndRedraw)->Unit(benchmark::kMillisecond);

template <bool byTime>
void Sort(benchmark::State& state)
{
    Setup& s = List();
    for (auto _ : state) {
        state.PauseTiming();
        s.list.Fill(s.model, 2); // the model's order, unsorted
        state.ResumeTiming();
        if (byTime)
            s.list.SortByTime();
        else
            s.list.SortItems();
    }
}
BENCHMARK(Sort<false>)->Name("SortItems")->Unit(benchmark::kMillisecond);
BENCHMARK(Sort<true>)->Name("SortByTime")->Unit(benchmark::kMillisecond);

// What a finished thumbnail costs the UI thread: the posted message's
// lookup and the cell's repaint.
void WorkerRepaint(benchmark::State& state)
{
    Setup& s = List();
    PhotoEntry* entry = EntryOf(s.list.GetItem(7));
    for (auto _ : state)
        s.list.SendMessage(WM_LIST_REPAINT_ENTRY, reinterpret_cast<WPARAM>(entry),
                           static_cast<LPARAM>(s.model.m_generation));
}
BENCHMARK(WorkerRepaint)->Unit(benchmark::kMicrosecond);

} // namespace
