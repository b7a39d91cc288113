// Truncated, corrupt and oversized files of every format: refused cleanly
// (image empty) or, for corrupt data that still decodes, loaded; never a crash.
#include "platform/codec/CodecInternal.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <sys/stat.h>
#include <unistd.h>

using namespace codectest;

namespace {

const char* const kExts[] = {".jpg", ".bmp", ".png", ".tif", ".gif", ".pcx", ".tga"};

TEST(CodecBadInput, TruncatedFilesAreRefused)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo;
    MakePicture(photo, 61, 47, true);
    for (const char* ext : kExts) {
        const std::string good = dir.File(std::string("good") + ext);
        ASSERT_EQ(codec.SaveFile(good.c_str(), &photo), 1) << ext;
        const auto bytes = ReadAll(good);
        for (double part : {0.0, 0.01, 0.1, 0.5, 0.9}) {
            std::size_t n = static_cast<std::size_t>(bytes.size() * part);
            if (std::string(ext) == ".tga" && n > 0)
                n = std::min(n, bytes.size() - 27); // cut into the pixels, not only the footer
            SCOPED_TRACE(std::string(ext) + " cut at " + std::to_string(n) + " of " + std::to_string(bytes.size()));
            const std::string cut = dir.File(std::string("cut") + ext);
            WriteAllBytes(cut, std::vector<unsigned char>(bytes.begin(), bytes.begin() + long(n)));
            CQLImage image, thumb;
            MakePicture(image, 3, 3);
            EXPECT_EQ(codec.LoadFile(cut.c_str(), &image), 0);
            EXPECT_TRUE(Empty(image));
            int w = 0, h = 0;
            EXPECT_EQ(codec.CreateThumbnail(cut.c_str(), &thumb, 16, &w, &h, 0), 0);
            EXPECT_TRUE(Empty(thumb));
        }
    }
}

TEST(CodecBadInput, CorruptFilesLoadOrAreRefused)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo;
    MakePicture(photo, 45, 33, false);
    unsigned seed = 7;
    for (const char* ext : kExts) {
        const std::string good = dir.File(std::string("good") + ext);
        ASSERT_EQ(codec.SaveFile(good.c_str(), &photo), 1);
        const auto bytes = ReadAll(good);
        for (int round = 0; round < 200; ++round) {
            auto bad = bytes;
            const int flips = 1 + round % 8;
            for (int k = 0; k < flips; ++k) {
                seed = seed * 1103515245u + 12345u;
                const std::size_t at = (seed >> 8) % bad.size();
                bad[at] = static_cast<unsigned char>(seed >> 3);
            }
            const std::string path = dir.File(std::string("bad") + ext);
            WriteAllBytes(path, bad);
            CQLImage image, thumb;
            if (codec.LoadFile(path.c_str(), &image)) {
                ASSERT_GT(W(image), 0u);
                ASSERT_LE(W(image), 65535u);
                volatile DWORD sink = image.GetPixel(int(W(image)) - 1, int(H(image)) - 1);
                (void)sink;
            } else {
                ASSERT_TRUE(Empty(image));
            }
            int w = 0, h = 0;
            if (!codec.CreateThumbnail(path.c_str(), &thumb, 16, &w, &h, round & 1)) {
                ASSERT_TRUE(Empty(thumb));
            }
            int sw = 0, sh = 0;
            CQLImageCodec::GetFileShape(path.c_str(), &sw, &sh);
        }
    }
}

std::vector<unsigned char> Le16(unsigned v)
{
    return {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
}

TEST(CodecBadInput, OversizedAndNonsenseHeaders)
{
    CQLImage image;
    // PCX claiming 65536 x 1 (xmax - xmin + 1 over the limit) and one with a short bytes-per-line.
    std::vector<unsigned char> pcx(128 + 16, 0);
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 0xFF;
    pcx[9] = 0xFF;
    pcx[65] = 3;
    pcx[66] = 0xFF;
    pcx[67] = 0xFF;
    EXPECT_FALSE(qlcodec::DecodePcx(pcx.data(), pcx.size(), image));
    pcx[8] = 99; // width 100
    pcx[9] = 0;
    pcx[66] = 10; // but 10 bytes a line
    pcx[67] = 0;
    EXPECT_FALSE(qlcodec::DecodePcx(pcx.data(), pcx.size(), image));
    pcx[66] = 100;
    EXPECT_FALSE(qlcodec::DecodePcx(pcx.data(), pcx.size(), image)) << "no data for the rows";
    EXPECT_TRUE(Empty(image));

    // TGA with a colour map that runs past the end, and one with an unknown type.
    std::vector<unsigned char> tga(18, 0);
    tga[1] = 1;
    tga[2] = 1;
    tga[5] = 0;
    tga[6] = 1; // 256 entries
    tga[7] = 24;
    tga[12] = 4;
    tga[14] = 4;
    tga[16] = 8;
    EXPECT_FALSE(qlcodec::DecodeTga(tga.data(), tga.size(), image));
    tga[2] = 4;
    EXPECT_FALSE(qlcodec::DecodeTga(tga.data(), tga.size(), image));
    EXPECT_FALSE(qlcodec::DecodeTga(tga.data(), 5, image));
    EXPECT_TRUE(Empty(image));

    // A GIF whose screen and frame are 65535 x 65535: over the image limit.
    std::vector<unsigned char> gif = {'G', 'I', 'F', '8', '9', 'a', 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0,
                                      0x2C, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 2, 2, 0x4C, 1, 0, 0x3B};
    EXPECT_FALSE(qlcodec::DecodeGif(gif.data(), gif.size(), image));
    EXPECT_TRUE(Empty(image));

    // Nothing decodes from nothing.
    EXPECT_FALSE(qlcodec::DecodeJpeg(nullptr, 0, image));
    EXPECT_FALSE(qlcodec::DecodePng(nullptr, 0, image));
    EXPECT_FALSE(qlcodec::DecodeTiff(nullptr, 0, image));
    const unsigned char junk[3] = {1, 2, 3};
    EXPECT_FALSE(qlcodec::DecodeTiff(junk, 3, image));
    (void)Le16;
}

// Every entry point that reads a file, on fifo; exits 0 when all refused it.
[[noreturn]] void ReadFifoAndExit(const std::string& fifo)
{
    alarm(10); // a hang ends the child with SIGALRM
    CQLImageCodec codec;
    CQLImage image, thumb;
    int w = 0, h = 0;
    CQLLinkFile link;
    const bool refused = CQLImageCodec::GetFileType(fifo.c_str()) == QL_FILE_BMP
        && codec.LoadFile(fifo.c_str(), &image) == 0 && CQLImageCodec::GetFileShape(fifo.c_str(), &w, &h) == 0
        && codec.CreateThumbnail(fifo.c_str(), &thumb, 16, &w, &h, 1) == 0 && link.Read(fifo.c_str()) == 0
        && image.LoadFromFile(fifo.c_str()) == 9;
    std::exit(refused ? 0 : 1);
}

TEST(CodecBadInput, FifoUnderAPhotoNameDoesNotHang)
{
    // Opening a FIFO for reading waits for a writer: it must be refused at once.
    TempDir dir;
    const std::string fifo = dir.File("pipe.bmp");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EXIT(ReadFifoAndExit(fifo), ::testing::ExitedWithCode(0), "");
}

TEST(CodecBadInput, HugeThumbnailSizeIsTheFullPicture)
{
    // maxSide near INT_MAX: the exact mode's doubled size must not overflow.
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo, thumb;
    MakePicture(photo, 40, 24);
    const std::string path = dir.File("p.jpg");
    ASSERT_EQ(codec.SaveFile(path.c_str(), &photo), 1);
    for (int flag : {0, 1}) {
        int w = 0, h = 0;
        ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 0x7FFFFFFF, &w, &h, flag), 1);
        EXPECT_EQ(W(thumb), 40u);
        EXPECT_EQ(H(thumb), 24u);
    }
}

TEST(CodecBadInput, ReadersRefuseOtherFormats)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo;
    MakePicture(photo, 9, 9);
    for (const char* ext : kExts) {
        const std::string path = dir.File(std::string("f") + ext);
        ASSERT_EQ(codec.SaveFile(path.c_str(), &photo), 1);
        const auto b = ReadAll(path);
        CQLImage image;
        int accepted = 0;
        // A reader that refuses leaves the image empty, even when the
        // signature is what it refuses.
        auto run = [&](bool (*decode)(const BYTE*, std::size_t, CQLImage&)) {
            MakePicture(image, 2, 2);
            const bool ok = decode(b.data(), b.size(), image);
            EXPECT_EQ(Empty(image), !ok) << ext;
            return ok;
        };
        accepted += run([](const BYTE* d, std::size_t n, CQLImage& i) { return qlcodec::DecodeJpeg(d, n, i); });
        accepted += run(qlcodec::DecodePng);
        accepted += run(qlcodec::DecodeTiff);
        accepted += run(qlcodec::DecodeGif);
        accepted += run(qlcodec::DecodePcx);
        const bool tga = run(qlcodec::DecodeTga);
        EXPECT_EQ(accepted, std::string(ext) == ".bmp" || std::string(ext) == ".tga" ? 0 : 1) << ext;
        if (std::string(ext) == ".tga") {
            EXPECT_TRUE(tga);
        }
    }
}

} // namespace
