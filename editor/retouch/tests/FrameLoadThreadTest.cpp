// The preview loader's protocol, on a fake entry list whose previews are
// made by a test double that can hold an attempt until released: a stop
// while busy waits for the one attempt, a pass posted before a refill reads
// nothing, the stop flag counts attempts only, and the real previews fit in
// 100 x 100 without the user's name.
#include "editor/retouch/FrameLoadThread.h"

#include "editor/retouch/FrameRenderer.h"
#include "imagecore/QLImage.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class CNoticeWnd : public CWnd {
public:
    std::vector<std::pair<WPARAM, LPARAM>> got;

protected:
    LRESULT OnNotice(WPARAM w, LPARAM l)
    {
        got.emplace_back(w, l);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNoticeWnd, CWnd)
    ON_MESSAGE(WM_FRAME_PREVIEW_READY, OnNotice)
END_MESSAGE_MAP()

// Makes a 4 x 4 preview of each template entry, or fails those named
// "fail"; with hold set each attempt waits until released.
class CFakeLoader : public CFrameLoadThread {
public:
    std::atomic<bool> hold{false};
    std::mutex m;
    std::condition_variable cv;
    int inside = 0;   // attempts that have begun
    int released = 0; // attempts allowed to finish
    std::vector<std::string> made;

    void WaitInside(int n)
    {
        std::unique_lock g(m);
        cv.wait(g, [&] { return inside >= n; });
    }
    void Release()
    {
        std::lock_guard g(m);
        ++released;
        cv.notify_all();
    }

protected:
    int MakePreview(const FrameLoadTarget&, const FrameListEntry& entry, CQLImage* preview) override
    {
        std::unique_lock g(m);
        ++inside;
        cv.notify_all();
        if (hold)
            cv.wait(g, [&] { return released >= inside; });
        made.emplace_back(entry.text);
        if (std::string(entry.text) == "fail")
            return 0;
        return preview->Create(4, 4) == 0;
    }
    void Pause() override {}
};

class FrameLoadThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        ASSERT_TRUE(loader.CreateThread());
        target = {&entries, nullptr, nullptr, wnd.m_hWnd};
    }
    void TearDown() override
    {
        loader.hold = false;
        for (int i = 0; i < 16; ++i)
            loader.Release();
        loader.PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WaitForSingleObject(loader.m_hThread, 20000), WAIT_OBJECT_0);
        wnd.DestroyWindow();
    }
    // Entries named by texts: "/x" is a folder, "+x" a template that
    // already has its preview, anything else a template without one.
    void Fill(std::initializer_list<const char*> texts)
    {
        entries.clear();
        entries.resize(texts.size());
        size_t i = 0;
        for (const char* text : texts) {
            FrameListEntry& e = entries[i++];
            std::snprintf(e.text, sizeof e.text, "%s", text);
            e.item.kind = text[0] == '/' ? FrameItemKind::Folder : FrameItemKind::Template;
            if (text[0] == '+')
                e.preview.Create(2, 2);
        }
    }
    void RunPass()
    {
        loader.SetTarget(&target);
        ASSERT_TRUE(loader.PostPass());
    }
    bool Idle()
    {
        // A pass that was posted last ends with its notices; a sentinel
        // thread message would need a handler, so poll the busy flag and the
        // queue through a second, empty pass's effect.
        return PumpUntil([&] { return !loader.IsBusy(); });
    }
    std::vector<std::string> Made()
    {
        std::lock_guard g(loader.m);
        return loader.made;
    }

    CNoticeWnd wnd;
    CFakeLoader loader;
    std::vector<FrameListEntry> entries;
    FrameLoadTarget target;
};

} // namespace

TEST_F(FrameLoadThreadTest, APassMakesEveryMissingPreviewAndReportsEachMadeOne)
{
    Fill({"/Sub", "a", "+done", "fail", "b"});
    RunPass();
    ASSERT_TRUE(PumpUntil([&] { return Made().size() == 3 && wnd.got.size() == 2; }));
    EXPECT_EQ(Made(), (std::vector<std::string>{"a", "fail", "b"}));
    const LPARAM generation = static_cast<LPARAM>(loader.Generation());
    EXPECT_EQ(wnd.got, (std::vector<std::pair<WPARAM, LPARAM>>{{1, generation}, {4, generation}}));
    EXPECT_NE(entries[1].preview.GetAreaByteSize(), 0u);
    EXPECT_EQ(entries[3].preview.GetAreaByteSize(), 0u) << "a failed preview keeps the icon";
    EXPECT_EQ(entries[0].preview.GetAreaByteSize(), 0u) << "folders get no preview";
}

TEST_F(FrameLoadThreadTest, StopWhileBusyWaitsForTheCurrentAttemptAndEndsThePass)
{
    Fill({"a", "b", "c"});
    loader.hold = true;
    RunPass();
    loader.WaitInside(1);
    ASSERT_TRUE(loader.IsBusy());
    std::atomic<bool> stopped{false};
    std::thread stopper([&] {
        loader.Stop(1);
        stopped = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(stopped) << "the stop returns only after the attempt";
    loader.Release();
    stopper.join();
    EXPECT_FALSE(loader.IsBusy());
    EXPECT_EQ(Made(), (std::vector<std::string>{"a"}));
    EXPECT_EQ(loader.attempts.load(), 1);
}

TEST_F(FrameLoadThreadTest, APassPostedBeforeARefillReadsNothingOfTheNewEntries)
{
    Fill({"old1", "old2"});
    loader.hold = true;
    // The loader is held in a first pass while a second one is posted.
    RunPass();
    loader.WaitInside(1);
    ASSERT_TRUE(loader.PostPass());
    // The refill: stop, rebuild, post a pass of its own.
    std::thread stopper([&] { loader.Stop(1); });
    // The stop is under way before the held attempt ends.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    loader.Release();
    stopper.join();
    Fill({"new1", "new2"});
    loader.hold = false;
    RunPass();
    ASSERT_TRUE(PumpUntil([&] { return Made().size() == 3; }));
    Idle();
    EXPECT_EQ(Made(), (std::vector<std::string>{"old1", "new1", "new2"}))
        << "the stale pass made nothing and the new pass made each preview once";
}

TEST_F(FrameLoadThreadTest, TheStopFlagCountsAttemptsOnlyNotSkippedEntries)
{
    Fill({"/Sub", "+done", "+done", "first", "second"});
    loader.RequestStop();
    RunPass();
    ASSERT_TRUE(PumpUntil([&] { return loader.attempts.load() == 1 && !loader.IsBusy(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Made(), (std::vector<std::string>{"first"}));
    // The loader cleared the flag: the next pass runs to the end.
    RunPass();
    ASSERT_TRUE(PumpUntil([&] { return Made().size() == 2; }));
    EXPECT_EQ(Made().back(), "second");
}

TEST_F(FrameLoadThreadTest, NoTargetMeansAPassReadsNothing)
{
    Fill({"a"});
    loader.SetTarget(nullptr);
    ASSERT_TRUE(loader.PostPass());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    Idle();
    EXPECT_TRUE(Made().empty());
}

// The real preview: a drawn template on a 200 x 100 photo copy fits 100 wide.
TEST(FrameLoadPreviewTest, RealPreviewsFitTheCellKeepingTheirShape)
{
    class CProbe : public CFrameLoadThread {
    public:
        using CFrameLoadThread::MakePreview;
    } probe;
    CQLImage photo;
    ASSERT_EQ(photo.Create(200, 100), 0);
    FrameTemplate frame;
    frame.ResetToDefaults();
    frame.m_canvas.left = frame.m_canvas.right = frame.m_canvas.top = frame.m_canvas.bottom = {0, 10};
    std::vector<FrameListEntry> list(1);
    list[0].item = {FrameItemKind::Template, nullptr, &frame};
    const FrameLoadTarget target{&list, &photo, nullptr, nullptr};
    CQLImage preview;
    ASSERT_TRUE(probe.MakePreview(target, list[0], &preview));
    UINT w = 0, h = 0;
    preview.GetSize(&w, &h);
    EXPECT_EQ(w, 100u);
    EXPECT_EQ(h, 100u * 120 / 240);
}
