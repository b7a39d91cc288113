// Saving EXIF items into a photo through a symbolic link, over a read-only
// photo and on a full disk.
#include "platform/codec/QLImageCodec.h"
#include "platform/gdiplus/GdiPlus.h"
#include "platform/win/tests/FullDisk.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::u16string Wide(const std::string& s)
{
    std::u16string w(s.size() + 1, u'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
    w.resize(n > 0 ? n - 1 : 0);
    return w;
}

CLSID EncoderFor(const std::string& ext)
{
    const char* mime = ext == ".jpg" ? "image/jpeg" : ext == ".png" ? "image/png" : "image/tiff";
    UINT count = 0, size = 0;
    EXPECT_EQ(GdipGetImageEncodersSize(&count, &size), Ok);
    std::vector<BYTE> buffer(size);
    auto* infos = reinterpret_cast<ImageCodecInfo*>(buffer.data());
    EXPECT_EQ(GdipGetImageEncoders(count, size, infos), Ok);
    for (UINT i = 0; i < count; ++i)
        if (Wide(mime) == infos[i].MimeType)
            return infos[i].Clsid;
    ADD_FAILURE() << "no encoder " << mime;
    return {};
}

void MakePhoto(const std::string& path)
{
    CQLImage image;
    ASSERT_EQ(image.Create(16, 8), 0);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            image.PutPixel(x, y, CPixel{BYTE(x * 15), BYTE(y * 31), BYTE(x * y), 255});
    CQLImageCodec codec;
    ASSERT_NE(codec.SaveFile(path.c_str(), &image), 0);
}

// The artist item of the photo at path, or "" when it has none.
std::string Artist(const std::string& path)
{
    GpImage* image = nullptr;
    if (GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(Wide(path).c_str()), &image) != Ok)
        return "<unreadable>";
    UINT size = 0, count = 0;
    std::string artist;
    if (GdipGetPropertySize(image, &size, &count) == Ok) {
        std::vector<BYTE> buffer(size);
        auto* items = reinterpret_cast<PropertyItem*>(buffer.data());
        if (GdipGetAllPropertyItems(image, size, count, items) == Ok)
            for (UINT i = 0; i < count; ++i)
                if (items[i].id == 315)
                    artist = static_cast<const char*>(items[i].value);
    }
    GdipDisposeImage(image);
    return artist;
}

// Loads the photo at path, sets its artist and saves it to path again.
GpStatus SaveArtist(const std::string& path, const std::string& ext, const char* artist)
{
    GpImage* image = nullptr;
    const std::u16string w = Wide(path);
    GpStatus status = GdipLoadImageFromFile(reinterpret_cast<const WCHAR*>(w.c_str()), &image);
    if (status != Ok)
        return status;
    std::string text(artist);
    PropertyItem item{315, static_cast<ULONG>(text.size() + 1), PropertyTagTypeASCII, text.data()};
    status = GdipSetPropertyItem(image, &item);
    const CLSID clsid = EncoderFor(ext);
    if (status == Ok)
        status = GdipSaveImageToFile(image, reinterpret_cast<const WCHAR*>(w.c_str()), &clsid, nullptr);
    GdipDisposeImage(image);
    return status;
}

std::vector<char> Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const char* const kFormats[] = {".jpg", ".png", ".tif"};

TEST(GdiPlusSave, ThroughALinkTheTargetGetsTheItemsAndTheLinkStays)
{
    for (const std::string ext : kFormats) {
        SCOPED_TRACE(ext);
        TestDir dir;
        fs::create_directory(dir.path() / "real");
        MakePhoto(dir / ("real/photo" + ext));
        const std::string link = dir / ("link" + ext);
        fs::create_symlink("real/photo" + ext, link);

        ASSERT_EQ(SaveArtist(link, ext, "Someone"), Ok);
        EXPECT_TRUE(fs::is_symlink(link));
        EXPECT_EQ(Artist(dir / ("real/photo" + ext)), "Someone");
        EXPECT_EQ(dir.count(), 2u);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path() / "real"), fs::directory_iterator()), 1);
    }
}

TEST(GdiPlusSave, AReadOnlyPhotoIsNotReplaced)
{
    for (const std::string ext : kFormats) {
        SCOPED_TRACE(ext);
        TestDir dir;
        const std::string path = dir / ("photo" + ext);
        MakePhoto(path);
        ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
        const auto before = Bytes(path);
        EXPECT_NE(SaveArtist(path, ext, "Someone"), Ok);
        EXPECT_EQ(Bytes(path), before);
        EXPECT_EQ(dir.count(), 1u);
    }
}

TEST(GdiPlusSave, AFullDiskLeavesThePhotoWhole)
{
    for (const std::string ext : kFormats) {
        SCOPED_TRACE(ext);
        TestDir dir;
        const std::string path = dir / ("photo" + ext);
        MakePhoto(path);
        const auto before = Bytes(path);
        // Full while the photo's data is copied, and only when its new
        // metadata is written.
        for (const rlim_t room : {rlim_t{64}, rlim_t(before.size() + 8)}) {
            SCOPED_TRACE(room);
            GpStatus status = Ok;
            {
                FullDisk full(room);
                ASSERT_TRUE(full.active());
                status = SaveArtist(path, ext, "Someone with a long name");
            }
            EXPECT_NE(status, Ok);
            EXPECT_EQ(Bytes(path), before);
            EXPECT_EQ(dir.count(), 1u) << "no temporary file is left";
        }
    }
}

} // namespace
