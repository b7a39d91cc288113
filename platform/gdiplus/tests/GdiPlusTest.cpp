#include "platform/gdiplus/GdiPlus.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::u16string Wide(const std::string& s)
{
    std::u16string w(s.size() + 1, u'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
    w.resize(n > 0 ? n - 1 : 0);
    return w;
}

std::vector<BYTE> FileBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(f), {});
}

class GdiPlusFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qlgdip-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    std::string MakePhoto(const char* name)
    {
        CQLImage image;
        EXPECT_EQ(image.Create(13, 7), 0);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 13; ++x)
                image.PutPixel(x, y, CPixel{BYTE(x * 19), BYTE(y * 31), BYTE(x * y * 3), 255});
        const std::string path = m_dir + "/" + name;
        CQLImageCodec codec;
        EXPECT_NE(codec.SaveFile(path.c_str(), &image), 0);
        return path;
    }

    std::string m_dir;
};

CLSID EncoderFor(const char* mime)
{
    UINT count = 0, size = 0;
    EXPECT_EQ(GdipGetImageEncodersSize(&count, &size), Ok);
    std::vector<BYTE> buffer(size);
    auto* infos = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    EXPECT_EQ(GdipGetImageEncoders(count, size, infos), Ok);
    const std::u16string want = Wide(mime);
    for (UINT i = 0; i < count; ++i)
        if (want == infos[i].MimeType)
            return infos[i].Clsid;
    ADD_FAILURE() << "no encoder " << mime;
    return {};
}

struct Items {
    std::vector<BYTE> buffer;
    UINT count = 0;
    const PropertyItem* Find(PROPID id) const
    {
        const auto* items = reinterpret_cast<const PropertyItem*>(buffer.data());
        for (UINT i = 0; i < count; ++i)
            if (items[i].id == id)
                return &items[i];
        return nullptr;
    }
};

Items ReadItems(const std::string& path)
{
    Items out;
    GpImage* image = nullptr;
    const std::u16string w = Wide(path);
    if (GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(w.c_str()), &image) != Ok)
        return out;
    UINT size = 0;
    EXPECT_EQ(GdipGetPropertySize(image, &size, &out.count), Ok);
    out.buffer.resize(size);
    EXPECT_EQ(GdipGetAllPropertyItems(image, size, out.count, reinterpret_cast<PropertyItem*>(out.buffer.data())), Ok);
    GdipDisposeImage(image);
    return out;
}

TEST(MultiByteToWideChar, ConvertsUtf8AndRefusesBadInput)
{
    WCHAR out[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "a\xC3\xA9", -1, out, 8), 3); // a, e-acute, NUL
    EXPECT_EQ(out[0], u'a');
    EXPECT_EQ(out[1], u'\u00E9');
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xF0\x9F\x98\x80", 4, out, 8), 2); // a surrogate pair
    EXPECT_EQ(out[0], 0xD83D);
    EXPECT_EQ(out[1], 0xDE00);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC3", -1, out, 8), 0);   // cut sequence
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC0\xAF", 2, out, 8), 0); // overlong
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, out, 3), 0);  // buffer too small
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, nullptr, 0), 7);
}

TEST(GdipEncoders, ListsJpegPngAndTiff)
{
    UINT count = 0, size = 0;
    ASSERT_EQ(GdipGetImageEncodersSize(&count, &size), Ok);
    EXPECT_EQ(count, 3u);
    std::vector<BYTE> buffer(size);
    EXPECT_EQ(GdipGetImageEncoders(count, size - 1, reinterpret_cast<ImageCodecInfo*>(buffer.data())), InvalidParameter);
    const CLSID jpeg = EncoderFor("image/jpeg");
    const CLSID png = EncoderFor("image/png");
    EXPECT_FALSE(jpeg == png);
}

TEST_F(GdiPlusFiles, MissingAndNonImageFilesAreRefused)
{
    GpImage* image = nullptr;
    const std::u16string missing = Wide(m_dir + "/none.jpg");
    EXPECT_EQ(GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(missing.c_str()), &image), FileNotFound);
    EXPECT_EQ(image, nullptr);
    const std::string text = m_dir + "/text.jpg";
    std::ofstream(text) << "not a picture";
    const std::u16string w = Wide(text);
    EXPECT_EQ(GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(w.c_str()), &image), UnknownImageFormat);
    const std::u16string folder = Wide(m_dir);
    EXPECT_EQ(GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(folder.c_str()), &image), UnknownImageFormat);
}

// Items set on a loaded file come back from the saved file, in the machine's
// byte order, and the pixels are the file's own, byte for byte.
class GdiPlusRoundTrip : public GdiPlusFiles, public ::testing::WithParamInterface<const char*> {};

TEST_P(GdiPlusRoundTrip, SetItemsSurviveSaveAndPixelsDoNotChange)
{
    const std::string ext = GetParam();
    const std::string path = MakePhoto(("photo" + ext).c_str());
    CQLImageCodec codec;
    CQLImage before;
    ASSERT_NE(codec.LoadFile(path.c_str(), &before), 0);

    GpImage* image = nullptr;
    const std::u16string w = Wide(path);
    ASSERT_EQ(GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(w.c_str()), &image), Ok);
    char make[] = "Maker";
    PropertyItem text{271, sizeof make, PropertyTagTypeASCII, make};
    ASSERT_EQ(GdipSetPropertyItem(image, &text), Ok);
    BYTE exposure[8] = {1, 0, 0, 0, 250, 0, 0, 0}; // 1/250, little-endian
    PropertyItem rational{33434, 8, PropertyTagTypeRational, exposure};
    ASSERT_EQ(GdipSetPropertyItem(image, &rational), Ok);
    BYTE mark[2] = {1, 0};
    PropertyItem privateTag{53088, 2, PropertyTagTypeShort, mark};
    ASSERT_EQ(GdipSetPropertyItem(image, &privateTag), Ok);
    EXPECT_EQ(GdipRemovePropertyItem(image, 37500), PropertyNotFound);

    const char* mime = ext == ".jpg" ? "image/jpeg" : ext == ".png" ? "image/png" : "image/tiff";
    const CLSID clsid = EncoderFor(mime);
    ASSERT_EQ(GdipSaveImageToFile(image, reinterpret_cast<const WCHAR*>(w.c_str()), &clsid, nullptr), Ok);
    // Another format's encoder would need the pixels re-encoded.
    const CLSID other = EncoderFor(ext == ".png" ? "image/jpeg" : "image/png");
    EXPECT_EQ(GdipSaveImageToFile(image, reinterpret_cast<const WCHAR*>(w.c_str()), &other, nullptr), NotImplemented);
    GdipDisposeImage(image);

    const Items items = ReadItems(path);
    const PropertyItem* m = items.Find(271);
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(static_cast<const char*>(m->value), "Maker");
    const PropertyItem* e = items.Find(33434);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(e->length, 8u);
    EXPECT_EQ(std::memcmp(e->value, exposure, 8), 0);
    const PropertyItem* p = items.Find(53088);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->type, PropertyTagTypeShort);

    CQLImage after;
    ASSERT_NE(codec.LoadFile(path.c_str(), &after), 0);
    UINT w1, h1, w2, h2;
    before.GetSize(&w1, &h1);
    after.GetSize(&w2, &h2);
    ASSERT_EQ(w1, w2);
    ASSERT_EQ(h1, h2);
    EXPECT_EQ(std::memcmp(before.GetBuffer(0, 0), after.GetBuffer(0, 0), before.GetAreaByteSize()), 0);
    // Nothing is left beside the photo.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

INSTANTIATE_TEST_SUITE_P(Formats, GdiPlusRoundTrip, ::testing::Values(".jpg", ".png", ".tif"));

TEST_F(GdiPlusFiles, JpegScanDataIsCopiedUnchanged)
{
    const std::string path = MakePhoto("scan.jpg");
    const std::vector<BYTE> before = FileBytes(path);
    GpImage* image = nullptr;
    const std::u16string w = Wide(path);
    ASSERT_EQ(GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(w.c_str()), &image), Ok);
    char artist[] = "Someone";
    PropertyItem item{315, sizeof artist, PropertyTagTypeASCII, artist};
    ASSERT_EQ(GdipSetPropertyItem(image, &item), Ok);
    const CLSID clsid = EncoderFor("image/jpeg");
    ASSERT_EQ(GdipSaveImageToFile(image, reinterpret_cast<const WCHAR*>(w.c_str()), &clsid, nullptr), Ok);
    GdipDisposeImage(image);
    const std::vector<BYTE> after = FileBytes(path);
    // From the first quantisation table on, the file is the same bytes.
    auto dqt = [](const std::vector<BYTE>& f) {
        for (std::size_t i = 2; i + 1 < f.size(); ++i)
            if (f[i] == 0xFF && f[i + 1] == 0xDB)
                return i;
        return f.size();
    };
    const std::size_t a = dqt(before), b = dqt(after);
    ASSERT_LT(a, before.size());
    ASSERT_LT(b, after.size());
    EXPECT_TRUE(std::equal(before.begin() + a, before.end(), after.begin() + b, after.end()));
}

TEST_F(GdiPlusFiles, FailedSaveLeavesTargetAsItWas)
{
    const std::string path = MakePhoto("keep.jpg");
    const std::vector<BYTE> before = FileBytes(path);
    GpImage* image = nullptr;
    const std::u16string w = Wide(path);
    ASSERT_EQ(GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(w.c_str()), &image), Ok);
    // The source vanishes before the save: nothing may be written.
    const std::string moved = m_dir + "/moved.jpg";
    ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(before.data()), 10);
    const std::vector<BYTE> cut = FileBytes(path);
    const CLSID clsid = EncoderFor("image/jpeg");
    const std::u16string target = Wide(path);
    // The loaded image's own file is now a 10-byte stub: saving fails.
    EXPECT_NE(GdipSaveImageToFile(image, reinterpret_cast<const WCHAR*>(target.c_str()), &clsid, nullptr), Ok);
    GdipDisposeImage(image);
    EXPECT_EQ(FileBytes(path), cut);
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir)) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);
}

} // namespace
