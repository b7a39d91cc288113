#include "glance/PhotoFolder.h"
#include "GlanceTempDir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>

using glance::PhotoFolder;

namespace {

// Decodes a 1 x 1 picture whose blue byte tells which file it came from, and
// counts the decodes of each name.
struct FakeDecoder {
    std::map<std::string, int> counts;
    std::map<std::string, int> ids;
    std::mutex lock;

    PhotoFolder::Decoder Make()
    {
        return [this](const std::string& path, CQLImage* image) {
            const std::string name = path.substr(path.rfind('/') + 1);
            std::lock_guard guard(lock);
            ++counts[name];
            if (!ids.count(name))
                ids[name] = static_cast<int>(ids.size()) + 1;
            if (image->Create(1, 1) != 0)
                return false;
            image->GetBuffer(0, 0)[0] = static_cast<BYTE>(ids[name]);
            return true;
        };
    }
};

class PhotoFolderTest : public testing::Test {
protected:
    void Make(std::initializer_list<const char*> names)
    {
        for (const char* n : names)
            dir.Write(n, "x");
    }
    std::string Shown(PhotoFolder& folder)
    {
        CQLImage copy;
        folder.CopyCurrent(&copy);
        UINT w, h;
        copy.GetSize(&w, &h);
        if (!w)
            return {};
        std::lock_guard guard(decoder.lock);
        for (const auto& [name, id] : decoder.ids)
            if (id == copy.GetBuffer(0, 0)[0])
                return name;
        return "?";
    }

    GlanceTempDir dir;
    FakeDecoder decoder;
    int notices = 0;
    PhotoFolder::Notify notify = [this] { ++notices; };
};

} // namespace

TEST_F(PhotoFolderTest, ListsPicturesInCaseInsensitiveOrderAndMatchesTheName)
{
    Make({"b.JPG", "A.png", "c.jpeg", "notes.txt", "D.Tif"});
    std::filesystem::create_directories(dir.Path() + "sub.jpg");
    PhotoFolder folder(decoder.Make());
    folder.Open(dir.Path() + "c.JPEG", notify);
    const auto records = folder.Records();
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].name, "A.png");
    EXPECT_EQ(records[1].name, "b.JPG");
    EXPECT_EQ(records[2].name, "c.jpeg");
    EXPECT_EQ(records[3].name, "D.Tif");
    EXPECT_EQ(folder.Index(), 2);
    EXPECT_EQ(folder.CurrentName(), "c.jpeg");
    EXPECT_EQ(folder.Folder(), dir.Path());
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(Shown(folder), "c.jpeg");
}

TEST_F(PhotoFolderTest, UnlistedOrMissingPathShowsTheFirstOrNothing)
{
    Make({"b.jpg", "a.jpg", "notes.txt"});
    PhotoFolder folder(decoder.Make());
    folder.Open(dir.Path() + "notes.txt", notify);
    EXPECT_EQ(folder.CurrentName(), "a.jpg");
    folder.Open(dir.Path() + "missing/x.jpg", notify);
    EXPECT_EQ(folder.CurrentName(), "");
    EXPECT_FALSE(folder.CanStep());
    EXPECT_EQ(Shown(folder), "");
    EXPECT_EQ(notices, 2);
}

TEST_F(PhotoFolderTest, SteppingWrapsAndUsesTheDecodedNeighbours)
{
    Make({"a.jpg", "b.jpg", "c.jpg"});
    PhotoFolder folder(decoder.Make());
    folder.Open(dir.Path() + "a.jpg", notify);
    EXPECT_EQ(Shown(folder), "a.jpg");
    folder.Previous(notify);
    EXPECT_EQ(folder.CurrentName(), "c.jpg");
    EXPECT_EQ(Shown(folder), "c.jpg");
    folder.Next(notify);
    folder.Next(notify);
    folder.Next(notify);
    EXPECT_EQ(folder.CurrentName(), "c.jpg");
    folder.Next(notify);
    EXPECT_EQ(Shown(folder), "a.jpg");

    // Next then previous shows the same photo without decoding it again.
    const int before = decoder.counts["a.jpg"];
    folder.Next(notify);
    folder.Previous(notify);
    EXPECT_EQ(Shown(folder), "a.jpg");
    EXPECT_EQ(decoder.counts["a.jpg"], before);
}

TEST_F(PhotoFolderTest, OnePhotoCannotStep)
{
    Make({"only.png"});
    PhotoFolder folder(decoder.Make());
    folder.Open(dir.Path() + "only.png", notify);
    EXPECT_FALSE(folder.CanStep());
    folder.Next(notify);
    folder.Previous(notify);
    EXPECT_EQ(notices, 1);
    EXPECT_EQ(Shown(folder), "only.png");
}

TEST_F(PhotoFolderTest, AFailedDecodeLeavesAnEmptySlotAndSteppingGoesOn)
{
    Make({"a.jpg", "bad.jpg", "c.jpg"});
    PhotoFolder::Decoder good = decoder.Make();
    PhotoFolder folder([&](const std::string& path, CQLImage* image) {
        return path.find("bad") == std::string::npos && good(path, image);
    });
    folder.Open(dir.Path() + "a.jpg", notify);
    folder.Next(notify);
    EXPECT_EQ(folder.CurrentName(), "bad.jpg");
    EXPECT_EQ(Shown(folder), "");
    folder.Next(notify);
    EXPECT_EQ(Shown(folder), "c.jpg");
}

// Run under ThreadSanitizer: the window copies while the thread steps.
TEST_F(PhotoFolderTest, CopyingWhileSteppingNeverTears)
{
    Make({"a.jpg", "b.jpg", "c.jpg", "d.jpg"});
    PhotoFolder folder(decoder.Make());
    folder.Open(dir.Path() + "a.jpg", notify);
    std::atomic<bool> done{false};
    std::thread stepper([&] {
        for (int i = 0; i < 200; ++i)
            (i % 3 ? folder.Next(notify) : folder.Previous(notify));
        done = true;
    });
    while (!done) {
        const std::string shown = Shown(folder);
        EXPECT_TRUE(shown == "a.jpg" || shown == "b.jpg" || shown == "c.jpg" || shown == "d.jpg") << shown;
        (void)folder.CurrentName();
    }
    stepper.join();
}
