// The worker's job protocol, driven through a suspended thread so that each
// case sets up its queue before the worker sees anything.
#include "editor/ui/AlgorithmThread.h"

#include "algorithms/EffectAlgorithm.h"
#include "imagecore/QLImage.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using Notice = std::pair<WPARAM, LPARAM>;

class CNoticeWnd : public CWnd {
public:
    std::vector<Notice> got;

    bool Has(WPARAM kind, LPARAM value) const
    {
        return std::find(got.begin(), got.end(), Notice{kind, value}) != got.end();
    }

protected:
    LRESULT OnNotice(WPARAM w, LPARAM l)
    {
        got.emplace_back(w, l);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNoticeWnd, CWnd)
    ON_MESSAGE(WM_ALGORITHM_NOTIFY, OnNotice)
END_MESSAGE_MAP()

// Reports 50 % and returns what it is told; or waits for a cancel.
class CTestAlgorithm : public EffectAlgorithm {
public:
    HRESULT answer = 0;
    bool reportProgress = true;
    bool waitForCancel = false;
    std::atomic<int> applied{0};
    std::atomic<bool> entered{false};
    std::atomic<const void*> argument{nullptr};

    HRESULT Apply(const void* params) override
    {
        cancelRequested.store(0);
        ++applied;
        argument = params;
        entered = true;
        if (waitForCancel) {
            while (!TestCancel())
                std::this_thread::yield();
            return E_FAIL;
        }
        if (reportProgress)
            Progress(50);
        return answer;
    }
};

// The worker with the file decode replaced: counts calls and can hold a
// decode until released.
class CTestWorker : public CAlgorithmThread {
public:
    std::atomic<int> reads{0};
    bool useCodec = false;
    bool holdDecode = false;
    std::mutex m;
    std::condition_variable cv;
    bool inDecode = false, released = false;

    void Release()
    {
        std::lock_guard g(m);
        released = true;
        cv.notify_all();
    }
    void WaitInDecode()
    {
        std::unique_lock g(m);
        cv.wait(g, [this] { return inDecode; });
    }

protected:
    int ReadThumbnail(const char* path, CQLImage* image) override
    {
        ++reads;
        if (holdDecode) {
            std::unique_lock g(m);
            inDecode = true;
            cv.notify_all();
            cv.wait(g, [this] { return released; });
        }
        if (useCodec)
            return CAlgorithmThread::ReadThumbnail(path, image);
        if (image->Create(100, 60) != 0)
            return 0;
        std::memset(image->GetBuffer(0, 0), 0x80, image->GetAreaByteSize());
        return 1;
    }
};

constexpr int kSentinelTag = 999;

class AlgorithmThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        ASSERT_TRUE(worker.CreateThread(CREATE_SUSPENDED));
    }
    void TearDown() override
    {
        Start();
        worker.PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WaitForSingleObject(worker.m_hThread, 20000), WAIT_OBJECT_0);
        wnd.DestroyWindow();
    }
    void Start()
    {
        if (!started)
            worker.ResumeThread();
        started = true;
    }
    // Messages run in order: once this job's notice is in, everything
    // posted before it has been handled and its notices delivered.
    void Drain()
    {
        Start();
        sentinel.reportProgress = false;
        worker.SetNotifyWnd(wnd.m_hWnd);
        ASSERT_TRUE(worker.RunAlgorithm(&sentinel, nullptr, kSentinelTag, 0, 100));
        ASSERT_TRUE(PumpUntil([&] { return wnd.Has(1, kSentinelTag); }));
        wnd.got.pop_back();
    }
    std::vector<Notice> ThumbNotices() const
    {
        std::vector<Notice> out;
        for (const Notice& n : wnd.got)
            if (n.first >= 100)
                out.push_back(n);
        return out;
    }
    static ThumbJobEntry Entry(const char* name, CQLImage* image)
    {
        ThumbJobEntry e{};
        std::snprintf(e.name, sizeof e.name, "%s", name);
        e.thumbnail = image;
        return e;
    }
    static ThumbJob Job(std::vector<ThumbJobEntry>* list, int index, const char* path, const char* key)
    {
        ThumbJob j{};
        j.list = list;
        j.index = index;
        std::snprintf(j.path, sizeof j.path, "%s", path);
        std::snprintf(j.key, sizeof j.key, "%s", key);
        return j;
    }

    CNoticeWnd wnd;
    CTestWorker worker;
    CTestAlgorithm sentinel;
    bool started = false;
};

struct JobCase {
    const char* name;
    HRESULT answer;
    bool notifyWindow;
    bool stopBeforeStart;
    int low, high;
    std::vector<Notice> notices;
    int result;
    int applied;
};

const JobCase kJobCases[] = {
    {"Succeeds", 0, true, false, 20, 60, {{0, 40}, {1, 7}}, 0, 1},
    {"FailsAndStillReportsDone", E_FAIL, true, false, 0, 100, {{0, 50}, {1, 7}}, E_FAIL, 1},
    {"StoppedBeforeTheWorkerTookIt", 0, true, true, 0, 100, {{1, 7}}, E_FAIL, 0},
    {"NoNotifyWindowRunsNothing", 0, false, false, 0, 100, {}, 0, 0},
};

} // namespace

class AlgorithmJobTest : public AlgorithmThreadTest, public ::testing::WithParamInterface<JobCase> {};

// Each case on a fresh worker that has not started yet.
TEST_P(AlgorithmJobTest, JobProtocol)
{
    const JobCase& c = GetParam();
    CTestAlgorithm alg;
    alg.answer = c.answer;
    int arg = 0;
    worker.SetNotifyWnd(c.notifyWindow ? wnd.m_hWnd : nullptr);
    ASSERT_TRUE(worker.RunAlgorithm(&alg, &arg, 7, c.low, c.high));
    EXPECT_EQ(worker.IsBusy(), 1) << "busy before the worker has taken the job";
    if (c.stopBeforeStart)
        worker.StopAlgorithm();
    Start();
    ASSERT_TRUE(PumpUntil([&] { return worker.IsBusy() == 0; }));
    EXPECT_EQ(worker.GetResult(), c.result);
    Drain();
    EXPECT_EQ(wnd.got, c.notices);
    EXPECT_EQ(alg.applied.load(), c.applied);
    if (c.applied) {
        EXPECT_EQ(alg.argument.load(), &arg);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AlgorithmJobTest, ::testing::ValuesIn(kJobCases),
                         [](const ::testing::TestParamInfo<JobCase>& info) { return std::string(info.param.name); });

TEST_F(AlgorithmThreadTest, StopCancelsTheRunningJobOnly)
{
    worker.StopAlgorithm(); // no job ever started: nothing to do
    EXPECT_EQ(worker.IsBusy(), 0);

    CTestAlgorithm alg;
    alg.waitForCancel = true;
    worker.SetNotifyWnd(wnd.m_hWnd);
    ASSERT_TRUE(worker.RunAlgorithm(&alg, nullptr, 3, 0, 100));
    Start();
    ASSERT_TRUE(PumpUntil([&] { return alg.entered.load(); }));
    worker.StopAlgorithm();
    ASSERT_TRUE(PumpUntil([&] { return wnd.Has(1, 3); }));
    EXPECT_EQ(worker.GetResult(), E_FAIL);
    EXPECT_EQ(worker.IsBusy(), 0);

    // The job is over: a late stop must not reach its algorithm any more.
    CTestAlgorithm done;
    ASSERT_TRUE(worker.RunAlgorithm(&done, nullptr, 4, 0, 100));
    ASSERT_TRUE(PumpUntil([&] { return wnd.Has(1, 4); }));
    ASSERT_TRUE(PumpUntil([&] { return worker.IsBusy() == 0; }));
    worker.StopAlgorithm();
    EXPECT_EQ(done.TestCancel(), 0);
}

TEST_F(AlgorithmThreadTest, QueueHoldsAtMost901Jobs)
{
    std::vector<ThumbJobEntry> list;
    for (int i = 0; i < 902; ++i)
        list.push_back(Entry(std::to_string(i).c_str(), nullptr));
    worker.SetNotifyWnd(wnd.m_hWnd);
    worker.BeginThumbnails();
    for (int i = 0; i < 902; ++i)
        worker.QueueThumbnail(Job(&list, i, "/nonexistent", list[static_cast<size_t>(i)].name));
    Drain();
    const std::vector<Notice> got = ThumbNotices();
    ASSERT_EQ(got.size(), 901u) << "the 901st job is accepted, the 902nd dropped";
    for (int i = 0; i < 901; ++i)
        EXPECT_EQ(got[static_cast<size_t>(i)], (Notice{101, i})) << "an entry without image fails unread";
    EXPECT_EQ(worker.reads.load(), 0);
}

struct ThumbCase {
    const char* name;
    void (*change)(std::vector<ThumbJobEntry>& list, CAlgorithmThread& worker);
    bool wanted;
};

const ThumbCase kThumbCases[] = {
    {"name equal but for case", [](std::vector<ThumbJobEntry>& l, CAlgorithmThread&) { std::strcpy(l[1].name, "B.JPG"); }, true},
    {"name changed", [](std::vector<ThumbJobEntry>& l, CAlgorithmThread&) { std::strcpy(l[1].name, "c.jpg"); }, false},
    {"marked done", [](std::vector<ThumbJobEntry>& l, CAlgorithmThread&) { l[1].done = 1; }, false},
    {"removed from the list", [](std::vector<ThumbJobEntry>& l, CAlgorithmThread&) { l.resize(1); }, false},
    {"thumbnails cancelled", [](std::vector<ThumbJobEntry>&, CAlgorithmThread& w) { w.CancelThumbnails(); }, false},
    {"queue restarted", [](std::vector<ThumbJobEntry>&, CAlgorithmThread& w) { w.BeginThumbnails(); }, false},
};

TEST_F(AlgorithmThreadTest, OnlyWantedJobsDecodeAndNotify)
{
    worker.SetNotifyWnd(wnd.m_hWnd);
    Start();
    for (const ThumbCase& c : kThumbCases) {
        SCOPED_TRACE(c.name);
        CQLImage image;
        std::vector<ThumbJobEntry> list = {Entry("a.jpg", nullptr), Entry("b.jpg", &image)};
        wnd.got.clear();
        worker.reads = 0;
        worker.BeginThumbnails();
        {
            // Holding the lock keeps the worker from taking the job meanwhile.
            CSingleLock hold(&worker.GetThumbnailLock(), TRUE);
            worker.QueueThumbnail(Job(&list, 1, "/x/b.jpg", "b.jpg"));
            c.change(list, worker);
        }
        Drain();
        if (c.wanted) {
            EXPECT_EQ(ThumbNotices(), (std::vector<Notice>{{100, 1}}));
            UINT w = 0, h = 0;
            image.GetSize(&w, &h);
            EXPECT_EQ(w, 100u);
            EXPECT_EQ(h, 60u);
        } else {
            EXPECT_TRUE(ThumbNotices().empty());
            EXPECT_EQ(worker.reads.load(), 0);
            EXPECT_EQ(image.GetAreaByteSize(), 0u) << "the entry's image is untouched";
        }
    }
}

TEST_F(AlgorithmThreadTest, JobQueuedBeforeBeginIsNeverDecoded)
{
    CQLImage image;
    std::vector<ThumbJobEntry> list = {Entry("a.jpg", &image)};
    worker.SetNotifyWnd(wnd.m_hWnd);
    worker.QueueThumbnail(Job(&list, 0, "/x/a.jpg", "a.jpg"));
    worker.BeginThumbnails();
    Drain();
    EXPECT_TRUE(ThumbNotices().empty());
    EXPECT_EQ(worker.reads.load(), 0);
}

TEST_F(AlgorithmThreadTest, CancelDuringADecodeDropsItsResultAndTheRest)
{
    CQLImage first, second;
    std::vector<ThumbJobEntry> list = {Entry("a.jpg", &first), Entry("b.jpg", &second)};
    worker.holdDecode = true;
    worker.SetNotifyWnd(wnd.m_hWnd);
    worker.BeginThumbnails();
    worker.QueueThumbnail(Job(&list, 0, "/x/a.jpg", "a.jpg"));
    worker.QueueThumbnail(Job(&list, 1, "/x/b.jpg", "b.jpg"));
    Start();
    worker.WaitInDecode();
    worker.CancelThumbnails(); // does not wait for the decode in progress
    worker.Release();
    Drain();
    EXPECT_TRUE(ThumbNotices().empty());
    EXPECT_EQ(worker.reads.load(), 1) << "the later job is gone";
    EXPECT_EQ(first.GetAreaByteSize(), 0u) << "a cancelled decode is not handed over";
    EXPECT_EQ(second.GetAreaByteSize(), 0u);
}

TEST_F(AlgorithmThreadTest, ThumbnailsOfRealFiles)
{
    char folder[] = "/tmp/quillo-worker-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string photo = std::string(folder) + "/wide.bmp";
    CQLImage source;
    ASSERT_EQ(source.Create(400, 200), 0);
    std::memset(source.GetBuffer(0, 0), 0x40, source.GetAreaByteSize());
    ASSERT_EQ(source.SaveToFile(photo.c_str()), 0);

    CQLImage made, blank;
    std::vector<ThumbJobEntry> list = {Entry("wide.bmp", &made), Entry("missing.jpg", &blank)};
    worker.useCodec = true;
    worker.SetNotifyWnd(wnd.m_hWnd);
    worker.BeginThumbnails();
    worker.QueueThumbnail(Job(&list, 0, photo.c_str(), "wide.bmp"));
    worker.QueueThumbnail(Job(&list, 1, (std::string(folder) + "/missing.jpg").c_str(), "missing.jpg"));
    Drain();
    std::filesystem::remove_all(folder);

    EXPECT_EQ(ThumbNotices(), (std::vector<Notice>{{100, 0}, {101, 1}}));
    UINT w = 0, h = 0;
    made.GetSize(&w, &h);
    EXPECT_EQ(w, 100u);
    EXPECT_EQ(h, 50u);
    blank.GetSize(&w, &h);
    ASSERT_EQ(w, 100u);
    ASSERT_EQ(h, 100u);
    EXPECT_EQ(blank.GetPixel(0, 0), 0xFFFFFFFFu) << "a failed read gives a blank white picture";
    EXPECT_EQ(blank.GetPixel(99, 99), 0xFFFFFFFFu);
}
