#include "album/shell/PhotoPreloadCache.h"

#include "ShelfTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

using shelf::PhotoPreloadCache;
using shelftest::ScratchFolder;

namespace {

// A codec whose pictures say which path they came from (width = the path's
// length), which fails for paths holding "bad", and which can be held up.
class FakeCodec {
public:
    PhotoPreloadCache::Decoder Decoder()
    {
        return [this](const char* path, CQLImage* image) {
            {
                std::unique_lock lock(m_lock);
                ++m_calls;
                m_gate.wait(lock, [&] { return m_open; });
            }
            if (std::string(path).find("bad") != std::string::npos)
                return 0;
            return image->Create(static_cast<UINT>(std::strlen(path)), 1) == 0 ? 1 : 0;
        };
    }
    void Hold()
    {
        std::lock_guard lock(m_lock);
        m_open = false;
    }
    void Release()
    {
        {
            std::lock_guard lock(m_lock);
            m_open = true;
        }
        m_gate.notify_all();
    }
    int Calls()
    {
        std::lock_guard lock(m_lock);
        return m_calls;
    }

private:
    std::mutex m_lock;
    std::condition_variable m_gate;
    bool m_open = true;
    int m_calls = 0;
};

UINT widthOf(const CQLImage& image)
{
    UINT w = 0, h = 0;
    image.GetSize(&w, &h);
    return w;
}

// The worker's progress is only visible through the state.
bool waitForState(const PhotoPreloadCache& cache, int state)
{
    for (int i = 0; i < 5000; ++i) {
        if (cache.GetState() == state)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace

TEST(PhotoPreloadCache, PreloadedPhotoComesBackAfterItsFileIsGone)
{
    ScratchFolder folder;
    const std::string path = folder.Path() + "next.bmp";
    CQLImage photo;
    ASSERT_EQ(photo.Create(3, 2), 0);
    std::memset(photo.GetBuffer(0, 0), 0x40, photo.GetAreaByteSize());
    ASSERT_EQ(photo.SaveToFile(path.c_str()), 0);

    PhotoPreloadCache cache;
    EXPECT_EQ(cache.Preload(path.c_str()), 1);
    EXPECT_EQ(cache.Preload(path.c_str()), 0);
    ASSERT_TRUE(waitForState(cache, PhotoPreloadCache::kDecoded));
    std::filesystem::remove(path);
    CQLImage out;
    ASSERT_TRUE(cache.GetImage(path.c_str(), &out));
    EXPECT_EQ(widthOf(out), 3u);
    EXPECT_EQ(out.GetBuffer(2, 1)[0], 0x40);
    // Another path is decoded now; the deleted file fails.
    EXPECT_FALSE(cache.GetImage((folder.Path() + "other.bmp").c_str(), &out));
}

TEST(PhotoPreloadCache, AnotherPathDecodesNowAndLeavesTheSlot)
{
    FakeCodec codec;
    PhotoPreloadCache cache(codec.Decoder());
    cache.Preload("/p/a.jpg");
    ASSERT_TRUE(waitForState(cache, PhotoPreloadCache::kDecoded));
    CQLImage out;
    ASSERT_TRUE(cache.GetImage("/p/longer.jpg", &out));
    EXPECT_EQ(widthOf(out), std::strlen("/p/longer.jpg"));
    EXPECT_EQ(codec.Calls(), 2);
    EXPECT_EQ(cache.GetState(), PhotoPreloadCache::kDecoded);
    ASSERT_TRUE(cache.GetImage("/p/a.jpg", &out));
    EXPECT_EQ(widthOf(out), std::strlen("/p/a.jpg"));
    EXPECT_EQ(codec.Calls(), 2); // from the slot
    // Handed over: the same path again is decoded anew, and may be preloaded again.
    ASSERT_TRUE(cache.GetImage("/p/a.jpg", &out));
    EXPECT_EQ(widthOf(out), std::strlen("/p/a.jpg"));
    EXPECT_EQ(codec.Calls(), 3);
    EXPECT_EQ(cache.Preload("/p/a.jpg"), 1);
    ASSERT_TRUE(waitForState(cache, PhotoPreloadCache::kDecoded));
    ASSERT_TRUE(cache.GetImage("/p/a.jpg", &out));
    EXPECT_EQ(codec.Calls(), 4);
    // Paths are file identities: another case is another file.
    EXPECT_EQ(cache.Preload("/p/A.jpg"), 1);
}

TEST(PhotoPreloadCache, FailedDecodeReturnsZero)
{
    FakeCodec codec;
    PhotoPreloadCache cache(codec.Decoder());
    cache.Preload("/p/bad.jpg");
    ASSERT_TRUE(waitForState(cache, PhotoPreloadCache::kFailed));
    CQLImage out;
    EXPECT_FALSE(cache.GetImage("/p/bad.jpg", &out));
    EXPECT_FALSE(cache.GetImage("/p/bad.jpg", &out));
}

TEST(PhotoPreloadCache, NeverHandsOutThePreviousPhoto)
{
    FakeCodec codec;
    PhotoPreloadCache cache(codec.Decoder());
    codec.Hold();
    cache.Preload("/p/first.jpg");
    ASSERT_TRUE(waitForState(cache, PhotoPreloadCache::kDecoding));
    cache.Preload("/p/second-photo.jpg");
    CQLImage out;
    // The first decode is still running: the slot has nothing for the second.
    EXPECT_FALSE(cache.GetImage("/p/second-photo.jpg", &out));
    codec.Release();
    ASSERT_TRUE(waitForState(cache, PhotoPreloadCache::kDecoded));
    ASSERT_TRUE(cache.GetImage("/p/second-photo.jpg", &out));
    EXPECT_EQ(widthOf(out), std::strlen("/p/second-photo.jpg"));
}

TEST(PhotoPreloadCache, GetImageWaitsWhileTheSlotDecodes)
{
    FakeCodec codec;
    PhotoPreloadCache cache(codec.Decoder());
    codec.Hold();
    cache.Preload("/p/slow.jpg");
    ASSERT_TRUE(waitForState(cache, PhotoPreloadCache::kDecoding));
    std::atomic<int> result{-1};
    CQLImage out;
    std::thread reader([&] { result = cache.GetImage("/p/slow.jpg", &out); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(result.load(), -1);
    codec.Release();
    reader.join();
    EXPECT_EQ(result.load(), TRUE);
    EXPECT_EQ(widthOf(out), std::strlen("/p/slow.jpg"));
}
