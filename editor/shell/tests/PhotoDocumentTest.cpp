#include "editor/shell/FolderPhotoList.h"
#include "editor/shell/PhotoDocument.h"
#include "kit/ComplexImageUtils.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class Folder {
public:
    Folder()
    {
        char pattern[] = "/tmp/qlfolder-XXXXXX";
        if (mkdtemp(pattern))
            m_path = std::string(pattern) + "/";
    }
    ~Folder() { std::filesystem::remove_all(m_path); }
    std::string Touch(const std::string& name) const
    {
        std::ofstream(m_path + name) << "x";
        return m_path + name;
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

TEST(FolderPhotoListTest, BrowsesPhotosInNameOrder)
{
    Folder dir;
    for (const char* name : {"c.Tif", "b.JPG", "A.jpg", "d.png", "e.gif", "f.txt", "g.tga", "h.jpeg"})
        dir.Touch(name);
    std::filesystem::create_directory(dir.Path() + "dir.jpg");
    FolderPhotoList list;
    list.SetCurrent((dir.Path() + "b.JPG").c_str());
    ASSERT_EQ(list.GetCount(), 5);
    const char* order[] = {"A.jpg", "b.JPG", "c.Tif", "g.tga", "h.jpeg"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(list.GetEntry(i), order[i]);
    EXPECT_EQ(list.GetIndex(), 1);
    EXPECT_TRUE(list.HasNext());
    EXPECT_TRUE(list.HasPrev());
    EXPECT_STREQ(list.CurrentPath(), (dir.Path() + "b.JPG").c_str());
    EXPECT_EQ(list.Next(), 1);
    EXPECT_STREQ(list.CurrentPath(), (dir.Path() + "c.Tif").c_str());

    list.SetCurrent((dir.Path() + "h.jpeg").c_str());
    EXPECT_FALSE(list.HasNext());
    EXPECT_EQ(list.Next(), 0);
    EXPECT_TRUE(list.HasPrev());
    list.SetCurrent((dir.Path() + "A.jpg").c_str());
    EXPECT_FALSE(list.HasPrev());
    EXPECT_EQ(list.Prev(), 0);
}

TEST(FolderPhotoListTest, PhotoOutsideTheListDisablesBrowsing)
{
    Folder dir;
    dir.Touch("a.jpg");
    dir.Touch("b.jpg");
    FolderPhotoList list;
    list.SetCurrent((dir.Path() + "x.png").c_str());
    EXPECT_EQ(list.GetIndex(), -1);
    EXPECT_FALSE(list.HasNext());
    EXPECT_FALSE(list.HasPrev());
    EXPECT_STREQ(list.CurrentPath(), "");
    EXPECT_STREQ(list.GetFolder(), "");
}

TEST(FolderPhotoListTest, LonePhotoHasNeitherNeighbour)
{
    Folder dir;
    dir.Touch("only.bmp");
    FolderPhotoList list;
    list.SetCurrent((dir.Path() + "only.bmp").c_str());
    EXPECT_EQ(list.GetIndex(), 0);
    EXPECT_FALSE(list.HasNext());
    EXPECT_FALSE(list.HasPrev());
}

TEST(FolderPhotoListTest, FoldersDifferingByCaseAreDifferentFolders)
{
    Folder root;
    std::filesystem::create_directory(root.Path() + "Trip");
    std::filesystem::create_directory(root.Path() + "trip");
    std::ofstream(root.Path() + "Trip/a.jpg") << "x";
    std::ofstream(root.Path() + "Trip/b.jpg") << "x";
    std::ofstream(root.Path() + "trip/a.jpg") << "x";
    FolderPhotoList list;
    list.SetCurrent((root.Path() + "Trip/a.jpg").c_str());
    EXPECT_TRUE(list.HasNext());
    list.SetCurrent((root.Path() + "trip/a.jpg").c_str());
    EXPECT_EQ(list.GetCount(), 1);
    EXPECT_FALSE(list.HasNext());
}

TEST(PhotoDocumentTest, FileTitleStopsAtTheFirstFullStop)
{
    struct Case {
        const char* path;
        const char* title;
        const char* rest;
    } const cases[] = {
        {"/photos/b.c.jpg", "b", ".c.jpg"},
        {"/photos/.hidden", "", ".hidden"},
        {"/photos/plain", "plain", ""},
        {"bare.jpg", "bare", ".jpg"},
        {"", "", ""},
    };
    CPhotoDocument doc;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::strcpy(doc.m_path, c.path);
        char title[512];
        const char* rest = doc.GetFileTitle(title);
        EXPECT_STREQ(title, c.title);
        EXPECT_STREQ(rest, c.rest);
        EXPECT_GE(rest, doc.m_path);
    }
}

class PhotoDocumentFiles : public ::testing::Test {
protected:
    void SetUp() override { setenv("TMPDIR", m_dir.Path().c_str(), 1); }
    void TearDown() override { unsetenv("TMPDIR"); }
    Folder m_dir;
};

TEST_F(PhotoDocumentFiles, ClearForgetsImagePathAndHistory)
{
    CPhotoDocument doc;
    doc.m_history.Reset();
    ASSERT_EQ(doc.m_image.Create(4, 4), 0);
    std::strcpy(doc.m_path, "/photos/a.jpg");
    doc.m_fileSize = 1234;
    doc.m_state = 3;
    ASSERT_EQ(doc.m_history.Push(&doc.m_image, "Open"), 1);
    EXPECT_TRUE(doc.IsLoaded());
    EXPECT_FALSE(doc.IsModified());
    doc.Clear();
    EXPECT_FALSE(doc.IsLoaded());
    EXPECT_STREQ(doc.m_path, "");
    EXPECT_EQ(doc.m_fileSize, 0);
    EXPECT_EQ(doc.m_state, 0);
    EXPECT_EQ(doc.m_history.GetCount(), 0);
    EXPECT_EQ(doc.m_kit, nullptr);
}

TEST_F(PhotoDocumentFiles, ImageWithoutFileCountsAsModified)
{
    CPhotoDocument doc;
    ASSERT_EQ(doc.m_image.Create(4, 4), 0);
    doc.m_history.Reset();
    ASSERT_EQ(doc.m_history.Push(&doc.m_image, "Paste"), 1);
    EXPECT_TRUE(doc.IsModified());
    std::strcpy(doc.m_path, "/photos/a.jpg");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(PhotoDocumentFiles, HistoryWritesInTheBackgroundAndUndoes)
{
    CPhotoDocument doc;
    doc.m_history.Reset();
    for (BYTE v : {10, 20, 30}) {
        ASSERT_EQ(doc.m_image.Create(500, 300), 0);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 500; ++x)
                doc.m_image.PutPixel(x, y, CPixel{BYTE(v + x % 7), BYTE(v + y % 5), v, 255});
        ASSERT_EQ(doc.m_history.Push(&doc.m_image, "Step"), 1);
    }
    EXPECT_TRUE(doc.m_history.GetWriter().IsStarted() || doc.m_history.GetWriter().IsBusy() ||
                doc.m_history.GetWriter().IsCreated());
    ASSERT_EQ(doc.m_history.Undo(&doc.m_image), 1);
    EXPECT_EQ(doc.m_image.GetPixel2(499, 299), (CPixel{BYTE(20 + 499 % 7), BYTE(20 + 299 % 5), 20, 255}));
    ASSERT_EQ(doc.m_history.Undo(&doc.m_image), 1);
    EXPECT_EQ(doc.m_image.GetPixel2(3, 2), (CPixel{13, 12, 10, 255}));
    ASSERT_EQ(doc.m_history.Redo(&doc.m_image), 1);
    ASSERT_EQ(doc.m_history.Redo(&doc.m_image), 1);
    EXPECT_EQ(doc.m_image.GetPixel2(0, 0), (CPixel{30, 30, 30, 255}));
    EXPECT_TRUE(doc.m_history.GetWriter().IsOk());
}

} // namespace

// The -i mode's kit object belongs to the document until it is cleared.
TEST(PhotoDocumentTest, ClearDeletesTheKitObject)
{
    struct Kit : CComplexImageUtils {
        explicit Kit(int* deleted) : m_deleted(deleted) {}
        ~Kit() override { ++*m_deleted; }
        INTERNAL_IMAGE MaybeChanged(INTERNAL_IMAGE image) override { return image; }
        INTERNAL_IMAGE GetImageForEdit() override { return {0, 0, nullptr}; }
        int FromFile(const char*) override { return 0; }
        int* m_deleted;
    };
    int deleted = 0;
    CPhotoDocument doc;
    doc.m_kit = new Kit(&deleted);
    doc.Clear();
    EXPECT_EQ(deleted, 1);
    EXPECT_EQ(doc.m_kit, nullptr);
    doc.Clear();
    EXPECT_EQ(deleted, 1);
}
