#include "editor/retouch/PaintUndoStore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

void Pattern(CQLImage* image, int w, int h, int seed)
{
    ASSERT_EQ(image->Create(w, h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->PutPixel(x, y, CPixel{static_cast<BYTE>(x * 7 + seed), static_cast<BYTE>(y * 11 + seed),
                                         static_cast<BYTE>(x + y + seed), 255});
}

// A stroke: the rectangle (clipped) painted in one colour.
void Paint(CQLImage* image, RECT r, BYTE value)
{
    UINT w = 0, h = 0;
    image->GetSize(&w, &h);
    for (int y = std::max<int>(0, r.top); y < std::min<int>(h, r.bottom); ++y)
        for (int x = std::max<int>(0, r.left); x < std::min<int>(w, r.right); ++x)
            image->PutPixel(x, y, CPixel{value, value, value, 255});
}

bool SameColours(const CQLImage& a, const CQLImage& b)
{
    UINT w = 0, h = 0, bw = 0, bh = 0;
    a.GetSize(&w, &h);
    b.GetSize(&bw, &bh);
    if (w != bw || h != bh)
        return false;
    for (UINT y = 0; y < h; ++y)
        for (UINT x = 0; x < w; ++x)
            if (std::memcmp(a.GetBuffer(x, y), b.GetBuffer(x, y), 3) != 0)
                return false;
    return true;
}

class PaintUndoStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qlpaint-test-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_dir = pattern;
        m_store.SetPath(m_dir + "/strokes.sav");
        Pattern(&m_image, 40, 30, 3);
        m_store.Clear(&m_image, &m_reference);
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string m_dir;
    CPaintUndoStore m_store;
    CQLImage m_image, m_reference;
};

TEST(PaintUndoFileName, DayHourMinuteSecondUnpaddedAndTheProcess)
{
    EXPECT_EQ(CPaintUndoStore::FileName("/t/", 9, 10, 5, 3, 77), "/t/qlpaint91053-77.sav");
    EXPECT_EQ(CPaintUndoStore::FileName("/t/", 1, 0, 0, 0, 5), "/t/qlpaint1000-5.sav");
    EXPECT_EQ(CPaintUndoStore::FileName("/t/", 31, 23, 59, 59, 123456), "/t/qlpaint31235959-123456.sav");
}

TEST_F(PaintUndoStoreTest, ClearCopiesTheImageIntoTheReference)
{
    EXPECT_TRUE(SameColours(m_image, m_reference));
    EXPECT_FALSE(m_store.CanUndo());
}

TEST_F(PaintUndoStoreTest, ThreeStrokesUndoOneByOne)
{
    const RECT strokes[] = {{2, 3, 12, 9}, {30, 20, 45, 35}, {5, 5, 32, 25}};  // the second runs off the corner
    std::vector<std::unique_ptr<CQLImage>> before;
    for (int i = 0; i < 3; ++i) {
        before.push_back(std::make_unique<CQLImage>());
        before.back()->DuplicateFrom(&m_image);
        Paint(&m_image, strokes[i], static_cast<BYTE>(40 * (i + 1)));
        ASSERT_TRUE(m_store.Record(&m_image, &m_reference, strokes[i]));
        EXPECT_TRUE(SameColours(m_image, m_reference));
    }
    ASSERT_EQ(m_store.Records().size(), 3u);
    const StrokeUndoRecord& corner = m_store.Records()[1];
    EXPECT_EQ(corner.right, 40);
    EXPECT_EQ(corner.bottom, 30);
    EXPECT_EQ(corner.length, 10 * 10 * 3);
    EXPECT_EQ(corner.offset, 10 * 6 * 3);
    for (int i = 2; i >= 0; --i) {
        EXPECT_EQ(m_store.Undo(&m_image, &m_reference), CPaintUndoStore::UndoResult::Restored) << i;
        EXPECT_TRUE(SameColours(m_image, *before[i])) << "after undoing stroke " << i;
        // Undo gives restored pixels alpha 0.
        EXPECT_EQ(m_image.GetPixel2(strokes[i].left + 1, strokes[i].top + 1).a, 0) << i;
        EXPECT_EQ(m_store.WriteOffset(), i == 0 ? 0 : m_store.Records().back().offset + m_store.Records().back().length);
    }
    EXPECT_EQ(m_image.GetPixel2(39, 29).b, before[0]->GetPixel2(39, 29).b);  // the last row and column too
    EXPECT_FALSE(m_store.CanUndo());
    EXPECT_EQ(m_store.Undo(&m_image, &m_reference), CPaintUndoStore::UndoResult::Nothing);
}

TEST_F(PaintUndoStoreTest, AStrokeAfterAnUndoOverwritesItsBlock)
{
    Paint(&m_image, RECT{0, 0, 10, 10}, 10);
    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 10, 10}));
    Paint(&m_image, RECT{0, 0, 20, 20}, 20);
    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 20, 20}));
    ASSERT_EQ(m_store.Undo(&m_image, &m_reference), CPaintUndoStore::UndoResult::Restored);
    CQLImage afterFirst;
    afterFirst.DuplicateFrom(&m_image);
    Paint(&m_image, RECT{5, 5, 8, 8}, 30);
    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{5, 5, 8, 8}));
    EXPECT_EQ(m_store.Records().back().offset, 10 * 10 * 3);
    ASSERT_EQ(m_store.Undo(&m_image, &m_reference), CPaintUndoStore::UndoResult::Restored);
    EXPECT_TRUE(SameColours(m_image, afterFirst));
}

TEST_F(PaintUndoStoreTest, AStrokeOutsideTheImageRecordsAnEmptyBlock)
{
    CQLImage original;
    original.DuplicateFrom(&m_image);
    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{50, 40, 60, 52}));
    ASSERT_EQ(m_store.Records().size(), 1u);
    EXPECT_EQ(m_store.Records()[0].length, 0);
    EXPECT_EQ(m_store.Undo(&m_image, &m_reference), CPaintUndoStore::UndoResult::Restored);
    EXPECT_EQ(std::memcmp(m_image.GetBuffer(0, 0), original.GetBuffer(0, 0), m_image.GetAreaByteSize()), 0);
}

TEST_F(PaintUndoStoreTest, AShortFileDropsTheRecordAndRenewsTheReference)
{
    Paint(&m_image, RECT{0, 0, 10, 10}, 200);
    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 10, 10}));
    fs::resize_file(m_store.Path(), 10 * 4 * 3 + 2);  // four rows and part of a pixel
    EXPECT_EQ(m_store.Undo(&m_image, &m_reference), CPaintUndoStore::UndoResult::ShortFile);
    EXPECT_FALSE(m_store.CanUndo());
    EXPECT_NE(m_image.GetPixel2(0, 0).b, 200);  // the rows that were there came back
    EXPECT_EQ(m_image.GetPixel2(0, 5).b, 200);
    EXPECT_TRUE(SameColours(m_image, m_reference));
}

TEST_F(PaintUndoStoreTest, ASizeChangeClearsTheStore)
{
    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 4, 4}));
    Pattern(&m_image, 20, 30, 9);
    EXPECT_EQ(m_store.Undo(&m_image, &m_reference), CPaintUndoStore::UndoResult::Nothing);
    EXPECT_FALSE(m_store.CanUndo());
    EXPECT_FALSE(fs::exists(m_store.Path()));
    EXPECT_TRUE(SameColours(m_image, m_reference));

    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 4, 4}));
    Pattern(&m_image, 20, 31, 9);
    EXPECT_FALSE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 4, 4}));
    EXPECT_FALSE(m_store.CanUndo());
}

TEST_F(PaintUndoStoreTest, AnUnwritableFileRecordsNothingAndKeepsTheReference)
{
    m_store.SetPath(m_dir + "/missing/strokes.sav");
    Paint(&m_image, RECT{0, 0, 10, 10}, 90);
    EXPECT_FALSE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 10, 10}));
    EXPECT_FALSE(m_store.CanUndo());
    EXPECT_NE(m_reference.GetPixel2(0, 0).b, 90);
}

TEST_F(PaintUndoStoreTest, CommitDeletesTheFileAndCountsTheStrokes)
{
    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 4, 4}));
    ASSERT_TRUE(m_store.Record(&m_image, &m_reference, RECT{0, 0, 4, 4}));
    ASSERT_TRUE(fs::exists(m_store.Path()));
    EXPECT_EQ(m_store.Commit(), 2u);
    EXPECT_FALSE(fs::exists(m_store.Path()));
    EXPECT_EQ(m_store.Commit(), 0u);
}

TEST_F(PaintUndoStoreTest, InitNamesAPrivateFileOfThisProcess)
{
    CPaintUndoStore store;
    store.Init(&m_image, &m_reference);
    const std::string name = fs::path(store.Path()).filename().string();
    EXPECT_EQ(name.rfind("qlpaint", 0), 0u) << name;
    EXPECT_NE(name.find("-" + std::to_string(::getpid()) + ".sav"), std::string::npos) << name;
}

}  // namespace
