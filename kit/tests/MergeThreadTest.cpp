// The merge thread: one request, one composition with the document mask's
// alpha and one notice to the window; stop and join; the target let go.
#include "KitTestSupport.h"

#include "kit/KitFile.h"
#include "kit/LayeredImage.h"
#include "kit/MergeThread.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/Wnd.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>

namespace {

using kit::CMergeThread;

class CMergedWnd : public CWnd {
public:
    std::atomic<int> notices{0};
    WPARAM lastW = 99;
    LPARAM lastL = 99;

protected:
    LRESULT OnMerged(WPARAM w, LPARAM l)
    {
        lastW = w;
        lastL = l;
        ++notices;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMergedWnd, CWnd)
    ON_MESSAGE(kit::WM_KIT_MERGED, OnMerged)
END_MESSAGE_MAP()

// Lets posted messages arrive for a while.
void PumpFor(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

class MergeThread : public testing::Test {
protected:
    void SetUp() override
    {
        kit::LayeredDocument doc;
        doc.canvasWidth = 3;
        doc.canvasHeight = 2;
        doc.layers.push_back(kittest::SolidLayer(3, 2, {10, 20, 30, 255}));
        doc.layers.push_back(kittest::SolidLayer(1, 2, {90, 90, 90, 255}, 2, 0));
        doc.activeLayer = 1;
        doc.documentMask.Create(3, 2);
        doc.documentMask.data = {1, 2, 3, 4, 5, 6};
        const kittest::Bytes bytes = kittest::WriteFile(doc);
        kit::MemoryFile file(bytes.data(), bytes.size());
        ASSERT_EQ(m_source.FromKitFile(file), 1);
        ASSERT_TRUE(m_wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    }
    void TearDown() override
    {
        if (m_wnd.m_hWnd)
            m_wnd.DestroyWindow();
    }

    kit::CComplexImageUtils m_source;
    CMergedWnd m_wnd;
    CQLImage m_target;
};

TEST_F(MergeThread, StartsEmptyAndIsCreatedByItsRunTimeClass)
{
    CRuntimeClass* runtime = RUNTIME_CLASS(CMergeThread);
    ASSERT_TRUE(runtime->IsDerivedFrom(RUNTIME_CLASS(CWinThread)));
    auto* thread = static_cast<kit::CMergeThread*>(runtime->CreateObject());
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(thread->m_mergeRequested.load(), 0);
    EXPECT_EQ(thread->m_hNotifyWnd.load(), nullptr);
    EXPECT_EQ(thread->m_target.load(), nullptr);
    EXPECT_EQ(thread->m_source.load(), nullptr);
    delete thread;
}

TEST_F(MergeThread, OneRequestGivesOneMergeAndOneNotice)
{
    auto* thread = static_cast<kit::CMergeThread*>(
        AfxBeginThread(RUNTIME_CLASS(CMergeThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(thread, nullptr);
    thread->ResumeThread();
    thread->SetJob(m_wnd.m_hWnd, &m_target, &m_source);

    PumpFor(120);
    EXPECT_EQ(m_wnd.notices.load(), 0) << "nothing without a request";
    thread->RequestMerge();
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.notices.load() >= 1; }));
    PumpFor(150);
    EXPECT_EQ(m_wnd.notices.load(), 1);
    EXPECT_EQ(m_wnd.lastW, 0u);
    EXPECT_EQ(m_wnd.lastL, 0);
    {
        CSingleLock lock(&thread->m_section, TRUE);
        UINT w = 0, h = 0;
        m_target.GetSize(&w, &h);
        ASSERT_EQ(w, 3u);
        EXPECT_EQ(m_target.GetPixel(0, 0), 0x011E140Au) << "alpha from the document mask";
        EXPECT_EQ(m_target.GetPixel(2, 1), 0x065A5A5Au);
    }

    // A change under the section and a second request: a second merge.
    {
        CSingleLock lock(&thread->m_section, TRUE);
        std::memset(m_source.Document()->layers[0]->image.GetBuffer(0, 0), 0, 4);
    }
    thread->RequestMerge();
    ASSERT_TRUE(PumpUntil([&] { return m_wnd.notices.load() >= 2; }));
    {
        CSingleLock lock(&thread->m_section, TRUE);
        EXPECT_EQ(m_target.GetPixel(0, 0), 0x01000000u);
    }

    thread->StopAndJoin();
    EXPECT_EQ(thread->m_target.load(), nullptr) << "let go when it ends";
    delete thread;
    PumpFor(50);
    EXPECT_EQ(m_wnd.notices.load(), 2);
}

// Without a window the merge still happens; stopping an idle thread ends it.
TEST_F(MergeThread, MergesWithoutAWindowAndStopsWhenIdle)
{
    auto* thread = static_cast<kit::CMergeThread*>(AfxBeginThread(RUNTIME_CLASS(CMergeThread)));
    ASSERT_NE(thread, nullptr);
    thread->StopAndJoin();
    delete thread;

    thread = static_cast<kit::CMergeThread*>(
        AfxBeginThread(RUNTIME_CLASS(CMergeThread), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED));
    ASSERT_NE(thread, nullptr);
    thread->m_target = &m_target;
    thread->m_source = &m_source;
    thread->m_mergeRequested = 1;
    thread->ResumeThread();
    ASSERT_TRUE(PumpUntil([&] {
        CSingleLock lock(&thread->m_section, TRUE);
        UINT w = 0, h = 0;
        m_target.GetSize(&w, &h);
        return w == 3;
    }));
    thread->StopAndJoin();
    delete thread;
}

}  // namespace
