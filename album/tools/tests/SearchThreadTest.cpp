// The search worker's protocol: a whole search by posted steps, a stop, the
// preview jobs and a reply for an old request dropped. Also run in a
// QUILLO_TSAN tree (see the top CMakeLists.txt).
#include "album/tools/SearchThread.h"

#include "album/shell/tests/ShelfTestSupport.h"
#include "editor/shell/tests/ExifTestSupport.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Notice = std::pair<WPARAM, LPARAM>;

class CNoticeWnd : public CWnd {
public:
    std::vector<Notice> got;

protected:
    LRESULT OnNotice(WPARAM w, LPARAM l)
    {
        got.emplace_back(w, l);
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNoticeWnd, CWnd)
    ON_MESSAGE(shelf::WM_SEARCH_PHOTO, OnNotice)
END_MESSAGE_MAP()

class SearchThreadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
        ASSERT_TRUE(worker.CreateThread(0));
        worker.SetNotifyWindow(wnd.m_hWnd);
        for (int i = 0; i < 6; ++i)
            exiftest::SavePhoto(folder.Path() + "photo" + std::to_string(i) + ".jpg");
    }
    void TearDown() override
    {
        worker.StopSearch();
        worker.PostThreadMessage(WM_QUIT, 0, 0);
        EXPECT_EQ(WaitForSingleObject(worker.m_hThread, 20000), WAIT_OBJECT_0);
        wnd.DestroyWindow();
    }
    bool Got(Notice n) const { return std::find(wnd.got.begin(), wnd.got.end(), n) != wnd.got.end(); }

    shelftest::ScratchFolder folder;
    CNoticeWnd wnd;
    shelf::CSearchThread worker;
};

TEST_F(SearchThreadTest, SearchRunsToItsEnd)
{
    worker.StartSearch(shelf::SearchCriteria{}, {folder.Path()});
    ASSERT_TRUE(PumpUntil([&] { return Got({2, 0}); }));
    EXPECT_EQ(worker.Search().GetResultCount(), 6);
    EXPECT_TRUE(Got({1, 5}));
    EXPECT_TRUE(Got({0, 0}));
    worker.StopSearch();
    EXPECT_FALSE(worker.IsRunning());
}

TEST_F(SearchThreadTest, StopEndsTheWalk)
{
    shelf::SearchCriteria c;
    worker.StartSearch(std::move(c), {folder.Path()});
    ASSERT_TRUE(PumpUntil([&] { return Got({1, 0}); }));
    worker.StopSearch();
    const int hits = worker.Search().GetResultCount();
    // Nothing more arrives once the stop is taken.
    ASSERT_TRUE(PumpUntil([&] { return !worker.IsBusy(); }));
    PumpUntil([] { return false; }, 100);
    EXPECT_LE(worker.Search().GetResultCount(), hits + 1);
    EXPECT_LT(worker.Search().GetResultCount(), 6 + 1);
}

TEST_F(SearchThreadTest, PreviewLoadAndOldRequestDropped)
{
    CQLImage target;
    std::atomic<LPARAM> current{7};
    shelf::PreviewRequest request;
    request.id = 7;
    request.path = folder.Path() + "photo0.jpg";
    request.wnd = wnd.m_hWnd;
    request.target = &target;
    request.current = &current;
    worker.RequestPreview(request, 2);
    ASSERT_TRUE(PumpUntil([&] { return Got({2, 7}); }));
    worker.LockPreview();
    EXPECT_GT(target.GetAreaByteSize(), 0u);
    worker.UnlockPreview();

    // The bar moved on before the thread took the request: no reply.
    request.id = 8;
    worker.RequestPreview(request, 2);
    PumpUntil([&] { return Got({2, 8}); }, 300);
    EXPECT_FALSE(Got({2, 8}));

    // A folder without a property file gives no sheet.
    current = 9;
    request.id = 9;
    request.path = folder.Path();
    worker.RequestPreview(request, 3);
    PumpUntil([&] { return Got({2, 9}); }, 300);
    EXPECT_FALSE(Got({2, 9}));
}

} // namespace
