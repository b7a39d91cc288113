#include "CodecTestSupport.h"

#include "platform/raw/tests/RawTestFiles.h"

#include <gtest/gtest.h>

namespace {

using namespace codectest;

TEST(CodecRaw, LoadsThumbnailsAndShapesTypeSeven)
{
    TempDir dir;
    for (const bool mosaic : {true, false}) {
        RawTestDng dng;
        dng.width = 300;
        dng.height = 200;
        dng.mosaic = mosaic;
        const std::string path = dir.File(mosaic ? "mosaic.dng" : "linear.dng");
        ASSERT_TRUE(WriteRawTestDng(path, dng));
        EXPECT_EQ(CQLImageCodec::GetFileType(path.c_str()), QL_FILE_RAW);

        int w = 0, h = 0;
        ASSERT_NE(CQLImageCodec::GetFileShape(path.c_str(), &w, &h), 0);
        EXPECT_EQ(w, 300);
        EXPECT_EQ(h, 200);

        CQLImageCodec codec;
        CQLImage image;
        ASSERT_NE(codec.LoadFile(path.c_str(), &image), 0);
        EXPECT_EQ(W(image), 300u);
        EXPECT_EQ(H(image), 200u);
        EXPECT_EQ(image.GetBuffer(10, 10)[3], 255);
        // Red grows to the right in the scene.
        EXPECT_LT(image.GetBuffer(20, 100)[2], image.GetBuffer(280, 100)[2]);

        CQLImage thumb;
        ASSERT_NE(codec.CreateThumbnail(path.c_str(), &thumb, 60, &w, &h, 0), 0);
        EXPECT_EQ(w, 300);
        EXPECT_EQ(h, 200);
        EXPECT_EQ(W(thumb), 60u);
        EXPECT_EQ(H(thumb), 40u);
    }
}

TEST(CodecRaw, RefusesANoiseFileNamedAsRaw)
{
    TempDir dir;
    const std::string path = dir.File("noise.nef");
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        for (int i = 0; i < 20000; ++i)
            std::fputc((i * 7919) & 0xFF, f);
        std::fclose(f);
    }
    CQLImageCodec codec;
    CQLImage image;
    EXPECT_EQ(codec.LoadFile(path.c_str(), &image), 0);
    EXPECT_TRUE(Empty(image));
    int w = 1, h = 1;
    EXPECT_EQ(codec.CreateThumbnail(path.c_str(), &image, 60, &w, &h, 0), 0);
    EXPECT_EQ(CQLImageCodec::GetFileShape(path.c_str(), &w, &h), 0);
}

} // namespace
