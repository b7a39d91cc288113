// JPEG specifics: chroma resolution and dpi in the file header, adaptive
// tables, memory encode and decode, lossless turns and their markers.
#include "platform/codec/QLImageCodec.h"
#include "platform/codec/tests/CodecTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace codectest;

namespace {

using Bytes = std::vector<unsigned char>;

// The payload of the first marker `code` before the scan, or empty.
Bytes Segment(const Bytes& jpeg, unsigned char code)
{
    std::size_t i = 2;
    while (i + 4 <= jpeg.size() && jpeg[i] == 0xFF) {
        const unsigned char m = jpeg[i + 1];
        const std::size_t len = std::size_t(jpeg[i + 2]) << 8 | jpeg[i + 3];
        if (m == code)
            return Bytes(jpeg.begin() + long(i + 4), jpeg.begin() + long(std::min(jpeg.size(), i + 2 + len)));
        if (m == 0xDA)
            break;
        i += 2 + len;
    }
    return {};
}

// Sampling factors (h << 4 | v) of the components in SOF0.
std::vector<int> Sampling(const Bytes& jpeg)
{
    const Bytes sof = Segment(jpeg, 0xC0);
    std::vector<int> s;
    if (sof.size() < 6)
        return s;
    const int n = sof[5];
    for (int c = 0; c < n && 6 + 3 * c + 2 < int(sof.size()); ++c)
        s.push_back(sof[std::size_t(6 + 3 * c + 1)]);
    return s;
}

// Table 0 of the first DQT (8-bit entries, zigzag order as stored).
std::vector<int> LumaTable(const Bytes& jpeg)
{
    const Bytes dqt = Segment(jpeg, 0xDB);
    std::vector<int> t;
    if (dqt.size() < 65 || dqt[0] != 0)
        return t;
    for (int k = 0; k < 64; ++k)
        t.push_back(dqt[std::size_t(1 + k)]);
    return t;
}

TEST(CodecJpeg, FullChromaAtQualityPlus100AndDpi)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo;
    MakePicture(photo, 64, 48);
    const std::string normal = dir.File("n.jpg"), full = dir.File("f.jpg");
    ASSERT_EQ(codec.SaveJpegFile(normal.c_str(), &photo, 90, 72), 1);
    ASSERT_EQ(codec.SaveJpegFile(full.c_str(), &photo, 190, 300), 1);
    EXPECT_EQ(Sampling(ReadAll(normal)), (std::vector<int>{0x22, 0x11, 0x11}));
    EXPECT_EQ(Sampling(ReadAll(full)), (std::vector<int>{0x11, 0x11, 0x11}));
    // Same quality: the same luminance table.
    EXPECT_EQ(LumaTable(ReadAll(normal)), LumaTable(ReadAll(full)));
    for (const auto& [path, dpi] : {std::pair{normal, 72}, std::pair{full, 300}}) {
        const Bytes jfif = Segment(ReadAll(path), 0xE0);
        ASSERT_GE(jfif.size(), 12u);
        EXPECT_EQ(std::memcmp(jfif.data(), "JFIF\0", 5), 0);
        EXPECT_EQ(jfif[7], 1) << "density in dots per inch";
        EXPECT_EQ(jfif[8] << 8 | jfif[9], dpi);
        EXPECT_EQ(jfif[10] << 8 | jfif[11], dpi);
    }
}

TEST(CodecJpeg, AdaptiveTableIsPerObjectZigzagScaledAndClamped)
{
    TempDir dir;
    CQLImage photo;
    MakePicture(photo, 32, 32);
    unsigned int table[64];
    for (int k = 0; k < 64; ++k)
        table[k] = unsigned(k + 2); // by zigzag number
    CQLImageCodec adaptive, standard;
    adaptive.SetJpegAdaptiveQTable(table);
    const std::string a50 = dir.File("a50.jpg"), s50 = dir.File("s50.jpg"), a90 = dir.File("a90.jpg");
    ASSERT_EQ(adaptive.SaveJpegFile(a50.c_str(), &photo, 50, 72), 1);
    ASSERT_EQ(standard.SaveJpegFile(s50.c_str(), &photo, 50, 72), 1);
    ASSERT_EQ(adaptive.SaveJpegFile(a90.c_str(), &photo, 90, 72), 1);
    const std::vector<int> t50 = LumaTable(ReadAll(a50));
    ASSERT_EQ(t50.size(), 64u);
    for (int k = 0; k < 64; ++k)
        EXPECT_EQ(t50[std::size_t(k)], k + 2) << "quality 50 uses the table as given, zigzag entry " << k;
    const std::vector<int> t90 = LumaTable(ReadAll(a90));
    for (int k = 0; k < 64; ++k)
        EXPECT_EQ(t90[std::size_t(k)], std::max(1, ((k + 2) * 20 + 50) / 100)) << k;
    // Another object keeps the standard table (ITU-T T.81 K.1 starts 16, 11, 12).
    const std::vector<int> st = LumaTable(ReadAll(s50));
    ASSERT_EQ(st.size(), 64u);
    EXPECT_EQ(st[0], 16);
    EXPECT_EQ(st[1], 11);
    EXPECT_EQ(st[2], 12);

    // Zeros and huge values are clamped, never a division by zero.
    unsigned int extreme[64];
    for (int k = 0; k < 64; ++k)
        extreme[k] = k % 2 ? 0u : 100000u;
    adaptive.SetJpegAdaptiveQTable(extreme);
    BYTE* bytes = nullptr;
    DWORD length = 0;
    ASSERT_EQ(adaptive.SaveToJpegMem(&bytes, &length, &photo, 50), 1);
    const Bytes mem(bytes, bytes + length);
    delete[] bytes;
    const std::vector<int> te = LumaTable(mem);
    ASSERT_EQ(te.size(), 64u);
    for (int k = 0; k < 64; ++k)
        EXPECT_EQ(te[std::size_t(k)], k % 2 ? 1 : 255);
    CQLImage decoded;
    EXPECT_EQ(CQLImageCodec::DecodeJpegMem(mem.data(), DWORD(mem.size()), &decoded), 1);

    // A null table goes back to the standard one.
    adaptive.SetJpegAdaptiveQTable(nullptr);
    ASSERT_EQ(adaptive.SaveToJpegMem(&bytes, &length, &photo, 50), 1);
    EXPECT_EQ(LumaTable(Bytes(bytes, bytes + length)), st);
    delete[] bytes;
}

TEST(CodecJpeg, MemoryRoundTrip)
{
    CQLImageCodec codec;
    CQLImage photo, decoded;
    MakePicture(photo, 123, 45);
    BYTE* bytes = nullptr;
    DWORD length = 0;
    ASSERT_EQ(codec.SaveToJpegMem(&bytes, &length, &photo, 92), 1);
    ASSERT_NE(bytes, nullptr);
    EXPECT_GT(length, 100u);
    ASSERT_EQ(CQLImageCodec::DecodeJpegMem(bytes, length, &decoded), 1);
    EXPECT_TRUE(SameSize(photo, decoded));
    EXPECT_GT(Psnr(photo, decoded), 36.0);
    // Cut short: refused, image empty.
    EXPECT_EQ(CQLImageCodec::DecodeJpegMem(bytes, length / 2, &decoded), 0);
    EXPECT_TRUE(Empty(decoded));
    delete[] bytes; // allocated with new BYTE[]

    CQLImage empty;
    bytes = reinterpret_cast<BYTE*>(&photo);
    EXPECT_EQ(codec.SaveToJpegMem(&bytes, &length, &empty, 90), 0);
    EXPECT_EQ(bytes, nullptr);
    EXPECT_EQ(CQLImageCodec::DecodeJpegMem(nullptr, 10, &decoded), 0);
}

// Inserts an APP1 EXIF segment after SOI.
Bytes WithExif(const Bytes& jpeg, const Bytes& exifPayload)
{
    Bytes out(jpeg.begin(), jpeg.begin() + 2);
    const std::size_t len = exifPayload.size() + 2;
    out.push_back(0xFF);
    out.push_back(0xE1);
    out.push_back(static_cast<unsigned char>(len >> 8));
    out.push_back(static_cast<unsigned char>(len));
    out.insert(out.end(), exifPayload.begin(), exifPayload.end());
    out.insert(out.end(), jpeg.begin() + 2, jpeg.end());
    return out;
}

Bytes SmallExif()
{
    // "Exif\0\0", little-endian TIFF, IFD0 with one entry: Orientation = 6.
    Bytes e = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0,
               0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
    return e;
}

TEST(CodecJpeg, LosslessQuarterTurns)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo, before, after, turned;
    MakePicture(photo, 16, 8);
    const std::string path = dir.File("turn.jpg");
    ASSERT_EQ(codec.SaveJpegFile(path.c_str(), &photo, 195, 72), 1); // 4:4:4, 8 x 8 MCUs
    WriteAllBytes(path, WithExif(ReadAll(path), SmallExif()));
    ASSERT_EQ(codec.LoadFile(path.c_str(), &before), 1);

    ASSERT_EQ(CQLImageCodec::LosslessJPGTransform(path.c_str(), 1), 1);
    ASSERT_EQ(codec.LoadFile(path.c_str(), &after), 1);
    EXPECT_EQ(W(after), 8u);
    EXPECT_EQ(H(after), 16u);
    ASSERT_EQ(codec.Rotate(&before, &turned, 90.0f), 1);
    EXPECT_LE(MaxDiff(turned, after), 2) << "matches the turned decode";
    EXPECT_EQ(Segment(ReadAll(path), 0xE1), SmallExif()) << "EXIF survives";

    ASSERT_EQ(CQLImageCodec::LosslessJPGTransform(path.c_str(), 3), 1);
    ASSERT_EQ(codec.LoadFile(path.c_str(), &after), 1);
    EXPECT_EQ(W(after), 16u);
    EXPECT_EQ(H(after), 8u);
    EXPECT_LE(MaxDiff(before, after), 2);
    EXPECT_EQ(Segment(ReadAll(path), 0xE1), SmallExif());

    ASSERT_EQ(CQLImageCodec::LosslessJPGTransform(path.c_str(), 3), 1);
    ASSERT_EQ(codec.LoadFile(path.c_str(), &after), 1);
    ASSERT_EQ(codec.Rotate(&before, &turned, -90.0f), 1);
    EXPECT_LE(MaxDiff(turned, after), 2);

    // Only JPEG files, only operations 1 and 3; nothing is left behind.
    const auto kept = ReadAll(path);
    EXPECT_EQ(CQLImageCodec::LosslessJPGTransform(path.c_str(), 2), 0);
    EXPECT_EQ(ReadAll(path), kept);
    const std::string png = dir.File("p.png");
    ASSERT_EQ(codec.SaveFile(png.c_str(), &photo), 1);
    EXPECT_EQ(CQLImageCodec::LosslessJPGTransform(png.c_str(), 1), 0);
    EXPECT_EQ(CQLImageCodec::LosslessJPGTransform(dir.File("missing.jpg").c_str(), 1), 0);
    EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"p.png", "turn.jpg"}));
}

TEST(CodecJpeg, LosslessTurnTrimsAPartialMcu)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo, after;
    MakePicture(photo, 40, 24);
    const std::string path = dir.File("odd.jpg");
    ASSERT_EQ(codec.SaveJpegFile(path.c_str(), &photo, 90, 72), 1); // 4:2:0, 16 x 16 MCUs
    ASSERT_EQ(CQLImageCodec::LosslessJPGTransform(path.c_str(), 1), 1);
    ASSERT_EQ(codec.LoadFile(path.c_str(), &after), 1);
    EXPECT_EQ(W(after), 16u); // 24 rows trimmed to 16, which become the columns
    EXPECT_EQ(H(after), 40u);

    // Smaller than one MCU along the moving edge: cannot be turned, file kept.
    MakePicture(photo, 16, 8);
    ASSERT_EQ(codec.SaveJpegFile(path.c_str(), &photo, 90, 72), 1);
    const auto kept = ReadAll(path);
    EXPECT_EQ(CQLImageCodec::LosslessJPGTransform(path.c_str(), 1), 0);
    EXPECT_EQ(ReadAll(path), kept);
}

TEST(CodecJpeg, ThumbnailScalesAndKeepsFullSize)
{
    TempDir dir;
    CQLImageCodec codec;
    CQLImage photo, full, expected;
    MakePicture(photo, 1600, 1000);
    const std::string path = dir.File("big.jpg");
    ASSERT_EQ(codec.SaveJpegFile(path.c_str(), &photo, 92, 72), 1);
    ASSERT_EQ(codec.LoadFile(path.c_str(), &full), 1);
    ASSERT_EQ(codec.Resample(&full, &expected, 100, 63, 1), 1);
    for (int flag : {0, 1}) {
        CQLImage thumb;
        int w = 0, h = 0;
        ASSERT_EQ(codec.CreateThumbnail(path.c_str(), &thumb, 100, &w, &h, flag), 1);
        EXPECT_EQ(w, 1600);
        EXPECT_EQ(h, 1000);
        EXPECT_EQ(W(thumb), 100u);
        EXPECT_EQ(H(thumb), 63u);
        EXPECT_GT(Psnr(expected, thumb), 30.0) << "flag " << flag;
    }
}

} // namespace
