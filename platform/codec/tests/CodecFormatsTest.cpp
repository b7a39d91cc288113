// Round trips through every format, thumbnails and shapes of every format,
// and saving through a temporary file.
#include "platform/codec/CodecInternal.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace codectest;

namespace {

struct Format {
    const char* ext;
    bool keepsAlpha;
    DWORD type;
};

const Format kLossless[] = {
    {".bmp", false, QL_FILE_BMP}, {".png", true, QL_FILE_PNG}, {".tif", true, QL_FILE_TIFF},
    {".pcx", false, QL_FILE_PCX}, {".tga", true, QL_FILE_TGA},
};

void ExpectOpaqueCopy(const CQLImage& original, const CQLImage& loaded)
{
    ASSERT_TRUE(SameSize(original, loaded));
    EXPECT_EQ(MaxDiff(original, loaded, false), 0);
    const BYTE* p = loaded.GetBuffer(0, 0);
    for (std::size_t i = 3; i < loaded.GetAreaByteSize(); i += 4)
        ASSERT_EQ(p[i], 255) << "alpha must be 255 where the format has none";
}

TEST(CodecFormats, LosslessRoundTrips)
{
    TempDir dir;
    CQLImageCodec codec;
    for (const Format& f : kLossless) {
        for (bool alpha : {false, true}) {
            SCOPED_TRACE(std::string(f.ext) + (alpha ? " with alpha" : " opaque"));
            CQLImage original, loaded;
            MakePicture(original, 37, 23, alpha, 5);
            const std::string path = dir.File(std::string("pic") + (alpha ? "a" : "o") + f.ext);
            ASSERT_EQ(codec.SaveFile(path.c_str(), &original), 1);
            EXPECT_EQ(CQLImageCodec::GetFileType(path.c_str()), f.type);
            ASSERT_EQ(codec.LoadFile(path.c_str(), &loaded), 1);
            if (alpha && f.keepsAlpha) {
                EXPECT_EQ(MaxDiff(original, loaded, true), 0);
            } else {
                ExpectOpaqueCopy(original, loaded);
            }
            int w = 0, h = 0;
            EXPECT_EQ(CQLImageCodec::GetFileShape(path.c_str(), &w, &h), 1);
            EXPECT_EQ(w, 37);
            EXPECT_EQ(h, 23);
        }
    }
}

TEST(CodecFormats, GifRoundTrips)
{
    TempDir dir;
    CQLImageCodec codec;
    // Few colours: exact.
    CQLImage few, loaded;
    MakeFewColours(few, 40, 30, 200);
    const std::string path = dir.File("few.gif");
    ASSERT_EQ(codec.SaveFile(path.c_str(), &few), 1);
    EXPECT_EQ(CQLImageCodec::GetFileType(path.c_str()), QL_FILE_GIF);
    ASSERT_EQ(codec.LoadFile(path.c_str(), &loaded), 1);
    ExpectOpaqueCopy(few, loaded);

    // Transparency: alpha below 128 becomes alpha 0, the rest 255 and exact.
    CQLImage holes;
    MakeFewColours(holes, 16, 9, 50);
    for (int x = 0; x < 16; ++x)
        holes.GetBuffer(x, 4)[3] = 0;
    const std::string tpath = dir.File("holes.gif");
    ASSERT_EQ(codec.SaveFile(tpath.c_str(), &holes), 1);
    ASSERT_EQ(codec.LoadFile(tpath.c_str(), &loaded), 1);
    ASSERT_TRUE(SameSize(holes, loaded));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(loaded.GetBuffer(x, y)[3], y == 4 ? 0 : 255);
            if (y != 4) {
                EXPECT_TRUE(loaded.GetPixel2(x, y) == holes.GetPixel2(x, y));
            }
        }

    // Many colours: quantised, close.
    CQLImage photo;
    MakePicture(photo, 64, 48);
    const std::string ppath = dir.File("many.gif");
    ASSERT_EQ(codec.SaveFile(ppath.c_str(), &photo), 1);
    ASSERT_EQ(codec.LoadFile(ppath.c_str(), &loaded), 1);
    ASSERT_TRUE(SameSize(photo, loaded));
    EXPECT_GT(Psnr(photo, loaded), 26.0); // giflib median cut, no dithering
}

TEST(CodecFormats, JpegRoundTripPsnr)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo, loaded;
    MakePicture(photo, 160, 120);
    struct { const char* name; int quality; double minPsnr; } cases[] = {
        {"q95.jpg", 95, 38.0}, {"q75.jpg", 75, 33.0}, {"q195.jpg", 195, 40.0}};
    for (const auto& c : cases) {
        const std::string path = dir.File(c.name);
        ASSERT_EQ(codec.SaveJpegFile(path.c_str(), &photo, c.quality, 72), 1);
        ASSERT_EQ(codec.LoadFile(path.c_str(), &loaded), 1);
        const double psnr = Psnr(photo, loaded);
        std::printf("JPEG quality %d: PSNR %.2f dB\n", c.quality, psnr);
        EXPECT_GT(psnr, c.minPsnr) << c.name;
        const BYTE* p = loaded.GetBuffer(0, 0);
        for (std::size_t i = 3; i < loaded.GetAreaByteSize(); i += 4)
            ASSERT_EQ(p[i], 255);
    }
    // SaveFile picks JPEG by the name.
    const std::string path = dir.File("byname.JPEG");
    ASSERT_EQ(codec.SaveFile(path.c_str(), &photo), 1);
    EXPECT_EQ(CQLImageCodec::GetFileType(path.c_str()), QL_FILE_JPEG);
    ASSERT_EQ(codec.LoadFile(path.c_str(), &loaded), 1);
    EXPECT_GT(Psnr(photo, loaded), 38.0);
}

TEST(CodecFormats, ThumbnailsOfEveryFormat)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo;
    MakePicture(photo, 300, 120);
    for (const char* ext : {".jpg", ".bmp", ".png", ".tif", ".gif", ".pcx", ".tga"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.File(std::string("t") + ext);
        ASSERT_EQ(codec.SaveFile(path.c_str(), &photo), 1);
        for (int flag : {0, 1}) {
            CQLImage thumb;
            int w = 0, h = 0;
            ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 100, &w, &h, flag), 1);
            EXPECT_EQ(w, 300);
            EXPECT_EQ(h, 120);
            EXPECT_EQ(W(thumb), 100u);
            EXPECT_EQ(H(thumb), 40u);
            // The thumbnail looks like the picture made small.
            CQLImage expected;
            ASSERT_EQ(codec.Resample(&photo, &expected, 100, 40, 1), 1);
            EXPECT_GT(Psnr(expected, thumb), 24.0);
        }
        // A picture smaller than the size is not enlarged.
        CQLImage big;
        int w = 0, h = 0;
        ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &big, 512, &w, &h, 1), 1);
        EXPECT_EQ(W(big), 300u);
        EXPECT_EQ(H(big), 120u);
        int sw = 0, sh = 0;
        EXPECT_EQ(CQLImageCodec::GetFileShape(path.c_str(), &sw, &sh), 1);
        EXPECT_EQ(sw, 300);
        EXPECT_EQ(sh, 120);
    }
    CQLImage thumb;
    int w = 7, h = 7;
    EXPECT_EQ(codec.CreateThumbnail(dir.File("missing.jpg").c_str(), &thumb, 100, &w, &h, 0), 0);
    EXPECT_EQ(w, 0);
    EXPECT_TRUE(Empty(thumb));
}

TEST(CodecFormats, PortraitThumbnail)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo, thumb;
    MakePicture(photo, 90, 1000);
    const std::string path = dir.File("tall.jpg");
    ASSERT_EQ(codec.SaveJpegFile(path.c_str(), &photo, 90, 72), 1);
    int w = 0, h = 0;
    ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 100, &w, &h, 0), 1);
    EXPECT_EQ(w, 90);
    EXPECT_EQ(h, 1000);
    EXPECT_EQ(H(thumb), 100u);
    EXPECT_EQ(W(thumb), 9u);
}

TEST(CodecFormats, SavingReplacesThroughATemporaryFile)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage a, b, loaded;
    MakePicture(a, 20, 10, false, 1);
    MakePicture(b, 30, 15, false, 2);
    for (const char* ext : {".jpg", ".bmp", ".png", ".tif", ".gif", ".pcx", ".tga"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.File(std::string("over") + ext);
        ASSERT_EQ(codec.SaveFile(path.c_str(), &a), 1);
        ASSERT_EQ(chmod(path.c_str(), 0640), 0);
        ASSERT_EQ(codec.SaveFile(path.c_str(), &b), 1);
        ASSERT_EQ(codec.LoadFile(path.c_str(), &loaded), 1);
        EXPECT_EQ(W(loaded), 30u);
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0640u) << "an existing photo keeps its permissions";
        // A failed save (empty image) leaves the old file as it was.
        CQLImage empty;
        const auto before = ReadAll(path);
        EXPECT_EQ(codec.SaveFile(path.c_str(), &empty), 0);
        EXPECT_EQ(ReadAll(path), before);
    }
    // Nothing but the photos is left behind.
    for (const std::string& name : FilesIn(dir.Path()))
        EXPECT_EQ(name.rfind("over", 0), 0u) << name;
    // Unknown extensions, missing folders and folders as targets fail.
    EXPECT_EQ(codec.SaveFile(dir.File("x.txt").c_str(), &a), 0);
    EXPECT_EQ(codec.SaveFile(dir.File("no/such/x.png").c_str(), &a), 0);
    EXPECT_EQ(codec.SaveFile(dir.Path().c_str(), &a), 0);
    EXPECT_EQ(codec.SaveJpegFile(dir.Path().c_str(), &a, 90, 72), 0);
    EXPECT_EQ(codec.SaveFile(nullptr, &a), 0);
    EXPECT_EQ(codec.SaveFile(dir.File("y.png").c_str(), nullptr), 0);
}

TEST(CodecFormats, SavingOverAReadOnlyPhotoIsRefusedForEveryFormat)
{
    // A photo the user marked read-only is not replaced, not even by the
    // superuser, whom the permission itself would not stop.
    TempDir dir;
    CQLImageCodec codec;
    CQLImage a, b;
    MakePicture(a, 8, 6, false, 1);
    MakePicture(b, 12, 5, false, 2);
    for (const char* ext : {".jpg", ".bmp", ".png", ".tif", ".gif", ".pcx", ".tga"}) {
        SCOPED_TRACE(ext);
        const std::string path = dir.File(std::string("ro") + ext);
        ASSERT_EQ(codec.SaveFile(path.c_str(), &a), 1);
        ASSERT_EQ(chmod(path.c_str(), 0444), 0);
        const auto before = ReadAll(path);
        EXPECT_EQ(codec.SaveFile(path.c_str(), &b), 0);
        EXPECT_EQ(ReadAll(path), before);
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0444u);
    }
    EXPECT_EQ(FilesIn(dir.Path()).size(), 7u) << "no temporary file is left";
}

TEST(CodecFormats, AWriterThatThrowsLeavesNoTemporaryFile)
{
    // An encoder's std::bad_alloc must not leave the temporary file (or its
    // descriptor) behind, nor escape through the plug-in interface.
    TempDir dir;
    const std::string path = dir.File("photo.png");
    WriteAllBytes(path, {1, 2, 3});
    int tempFd = -1;
    const bool ok = qlcodec::WriteReplacing(path.c_str(), [&](int fd, const std::string&) -> bool {
        tempFd = fd;
        EXPECT_TRUE(qlcodec::WriteAll(fd, reinterpret_cast<const BYTE*>("partial"), 7));
        throw std::bad_alloc();
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(ReadAll(path), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(FilesIn(dir.Path()), std::vector<std::string>{"photo.png"});
    ASSERT_GE(tempFd, 0);
    EXPECT_EQ(fcntl(tempFd, F_GETFD), -1) << "the temporary file's descriptor is closed";
}

TEST(CodecFormats, PcxOfTheWidestPictureKeepsItsLineLength)
{
    // 65535 pixels: an even line length would not fit the 16-bit field.
    TempDir dir;
    CQLImageCodec codec;
    CQLImage wide, loaded;
    MakePicture(wide, 65535, 2);
    const std::string path = dir.File("wide.pcx");
    ASSERT_EQ(codec.SaveFile(path.c_str(), &wide), 1);
    const auto bytes = ReadAll(path);
    ASSERT_GE(bytes.size(), 128u);
    EXPECT_EQ(bytes[66] | bytes[67] << 8, 65535);
    ASSERT_EQ(codec.LoadFile(path.c_str(), &loaded), 1);
    EXPECT_EQ(MaxDiff(wide, loaded, false), 0);
}

TEST(CodecFormats, LoadFailureLeavesTheImageEmpty)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage image;
    MakePicture(image, 5, 5);
    EXPECT_EQ(codec.LoadFile(dir.File("missing.png").c_str(), &image), 0);
    EXPECT_TRUE(Empty(image));
    EXPECT_EQ(codec.LoadFile(nullptr, &image), 0);
    EXPECT_EQ(codec.LoadFile(dir.File("x").c_str(), nullptr), 0);
    EXPECT_EQ(codec.LoadFile(dir.Path().c_str(), &image), 0);
}

} // namespace
