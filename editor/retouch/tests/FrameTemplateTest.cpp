#include "FrameTestSupport.h"

#include "editor/retouch/FrameTemplate.h"

#include <cstring>
#include <random>

using namespace frametest;

namespace {

std::vector<std::string> g_messages;
void Collect(const char* text)
{
    g_messages.push_back(text);
}

class FrameTemplateFile : public ScratchFolder {
protected:
    void SetUp() override
    {
        ScratchFolder::SetUp();
        g_messages.clear();
        SetFrameMessageHandler(&Collect);
    }
    void TearDown() override
    {
        SetFrameMessageHandler(nullptr);
        ScratchFolder::TearDown();
    }
    // Reads a hand-made file; Read's result.
    int ReadBytes(const Bytes& bytes, FrameTemplate& frame)
    {
        const std::string path = Path("t.frm");
        WriteBytes(path, bytes);
        return frame.Read(path.c_str());
    }
};

void MakePicture(CQLImage& image, int w, int h, unsigned seed, bool noise)
{
    ASSERT_EQ(image.Create(w, h), 0);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, noise ? CPixel{BYTE(random()), BYTE(random()), BYTE(random()), BYTE(random())}
                                       : CPixel{BYTE(x * 7), BYTE(y * 5), BYTE(seed), 255});
}

bool SamePixels(const CQLImage& a, const CQLImage& b)
{
    return a.GetAreaByteSize() == b.GetAreaByteSize() &&
           std::memcmp(a.GetBuffer(0, 0), b.GetBuffer(0, 0), a.GetAreaByteSize()) == 0;
}

TEST_F(FrameTemplateFile, AnEmptyFileIsADrawnTemplateWithEveryDefault)
{
    FrameTemplate frame;
    ASSERT_EQ(ReadBytes({}, frame), 1);
    EXPECT_STREQ(frame.m_info.name, "Untittle");
    EXPECT_STREQ(frame.m_signature.face, "Arial");
    EXPECT_EQ(frame.m_signature.y.value, 100);
    EXPECT_EQ(frame.m_signature.height.value, 3);
    EXPECT_EQ(frame.m_logo.x.value, 98);
    EXPECT_EQ(frame.m_logo.width.value, 2);
    EXPECT_EQ(frame.m_border.shadowColour.a, 128);
    EXPECT_EQ(frame.m_canvas.colour.a, 255);
    EXPECT_EQ(frame.m_imageBased, 0);
    EXPECT_TRUE(frame.m_rectangles.empty());
}

TEST_F(FrameTemplateFile, HandMadeFiles)
{
    const Bytes info = Text("Mat", 224);
    Bytes border(84, 0);
    border[0] = 3; // scan line
    struct Case {
        const char* what;
        Bytes file;
        int result;
        const char* name;
        std::size_t rectangles;
        BYTE borderType;
    } cases[] = {
        {"a chunk cut short keeps what came before", Cat({Chunk(0, info), Chunk(4, Bytes(10, 1), 84)}), 1, "Mat", 0, 0},
        {"chunk 5 of 50 bytes: no rectangles, later chunks read", Cat({Chunk(5, Bytes(50, 1)), Chunk(4, border)}), 1,
         "Untittle", 0, 3},
        {"two rectangles", Chunk(5, Bytes(88, 0)), 1, "Untittle", 2, 0},
        {"an unknown chunk id refuses the file", Cat({Chunk(0, info), Chunk(7, {})}), 0, "Mat", 0, 0},
        {"length -1 refuses the file", Chunk(1, {}, -1), 0, "Untittle", 0, 0},
        {"length 65,537 refuses the file", Chunk(1, Bytes(65537, 0)), 0, "Untittle", 0, 0},
        {"a short chunk 0 leaves the rest zero", Chunk(0, Text("Hi", 5)), 1, "Hi", 0, 0},
        {"texts without NUL end at their field", Chunk(0, Bytes(224, 'A')), 1, "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA", 0,
         0},
        {"a chunk id without its length", Cat({Chunk(0, info), Bytes{4, 1}}), 1, "Mat", 0, 0},
    };
    for (const Case& c : cases) {
        FrameTemplate frame;
        EXPECT_EQ(ReadBytes(c.file, frame), c.result) << c.what;
        if (c.result) {
            EXPECT_STREQ(frame.m_info.name, c.name) << c.what;
            EXPECT_EQ(frame.m_rectangles.size(), c.rectangles) << c.what;
            EXPECT_EQ(frame.m_border.type, c.borderType) << c.what;
        }
    }
    FrameTemplate frame;
    ASSERT_EQ(ReadBytes(Chunk(0, Bytes(224, 'A')), frame), 1);
    EXPECT_EQ(std::strlen(frame.m_info.comment), 127u);
    EXPECT_EQ(std::strlen(frame.m_info.author), 63u);
}

TEST_F(FrameTemplateFile, DrawnTemplateWritesBackByteForByte)
{
    FrameTemplate frame;
    SanitizeName(frame.m_info.name, "Bevel");
    frame.m_border = {2, {1, 12}, {0, 3}, {0, 4}, {1, 9}, {10, 20, 30, 255}, 1, {0, 1}, {0, 2}, {0, 3}, {1, 2, 3, 4},
                      {5, 6, 7, 8}, 2, {9, 9, 9, 9}};
    frame.m_rectangles.resize(FrameTemplate::kMaxRectangles);
    for (std::size_t i = 0; i < frame.m_rectangles.size(); ++i)
        frame.m_rectangles[i].lineWidth = static_cast<int>(i % 6);
    ASSERT_EQ(frame.Write(Path("a.frm").c_str()), 1);

    FrameTemplate back;
    ASSERT_EQ(back.Read(Path("a.frm").c_str()), 1);
    EXPECT_EQ(back.m_rectangles.size(), 1489u);
    EXPECT_EQ(back.m_rectangles[1488].lineWidth, 1488 % 6);
    EXPECT_EQ(back.m_border.shadowColour.a, 4);
    ASSERT_EQ(back.Write(Path("b.frm").c_str()), 1);
    EXPECT_EQ(frametest::ReadBytes(Path("a.frm")), frametest::ReadBytes(Path("b.frm")));
    // 224 + 36 + 612 + 1312 + 84 + 1,489 x 44 bytes, with six chunk heads.
    EXPECT_EQ(frametest::ReadBytes(Path("a.frm")).size(), 6u * 5 + 224 + 36 + 612 + 1312 + 84 + 1489 * 44);
}

TEST_F(FrameTemplateFile, ImageBasedTemplateStoresBothPictures)
{
    CQLImage landscape, portrait, back;
    MakePicture(landscape, 60, 40, 1, false);
    MakePicture(portrait, 33, 51, 2, true); // noise does not compress
    FrameTemplate frame;
    frame.m_freeShape.keyColour = {255, 0, 0, 255};
    ASSERT_EQ(frame.WriteImageBased(Path("f.frm").c_str(), landscape, portrait), 1);
    EXPECT_EQ(frame.m_freeShape.landscape.offset, 1139);

    FrameTemplate read;
    ASSERT_EQ(read.Read(Path("f.frm").c_str()), 1);
    EXPECT_EQ(read.m_imageBased, 1);
    EXPECT_EQ(read.m_freeShape.keyColour.b, 255);
    ASSERT_EQ(read.ReadPicture(false, &back), 1);
    EXPECT_TRUE(SamePixels(back, landscape));
    ASSERT_EQ(read.ReadPicture(true, &back), 1);
    EXPECT_TRUE(SamePixels(back, portrait));

    // Saving after an edit keeps the pictures, byte for byte.
    const Bytes before = frametest::ReadBytes(Path("f.frm"));
    ASSERT_EQ(read.Write(Path("f.frm").c_str()), 1);
    EXPECT_EQ(frametest::ReadBytes(Path("f.frm")), before);

    ASSERT_EQ(read.ExtractImages(Path("l.bmp").c_str(), Path("p.bmp").c_str()), 1);
    EXPECT_TRUE(std::filesystem::exists(Path("p.bmp")));
}

TEST_F(FrameTemplateFile, DamagedPicturesAreRefused)
{
    CQLImage landscape, portrait, back;
    MakePicture(landscape, 20, 10, 3, false);
    MakePicture(portrait, 10, 20, 4, false);
    FrameTemplate good;
    ASSERT_EQ(good.WriteImageBased(Path("g.frm").c_str(), landscape, portrait), 1);
    const Bytes bytes = frametest::ReadBytes(Path("g.frm"));
    // Fields of chunk 6 start at 851: width, height, offset, length.
    struct Case {
        const char* what;
        std::vector<std::pair<std::size_t, std::int32_t>> edits;
    } cases[] = {
        {"zero width", {{851, 0}}},
        {"width above 32,767", {{851, 32768}}},
        {"above 100 megapixels", {{851, 32767}, {855, 32767}}},
        {"negative offset", {{859, -1}}},
        {"offset past the end", {{859, 1 << 20}}},
        {"length past the end", {{863, 1 << 20}}},
        {"inflates to less than the size", {{855, 9}}},
    };
    for (const Case& c : cases) {
        Bytes damaged = bytes;
        for (const auto& [field, v] : c.edits) {
            Bytes value;
            PutInt(value, v);
            std::copy(value.begin(), value.end(), damaged.begin() + static_cast<std::ptrdiff_t>(field));
        }
        WriteBytes(Path("d.frm"), damaged);
        FrameTemplate frame;
        ASSERT_EQ(frame.Read(Path("d.frm").c_str()), 1) << c.what;
        EXPECT_EQ(frame.ReadPicture(false, &back), 0) << c.what;
    }
}

TEST_F(FrameTemplateFile, WriteFailureIsReportedAndLeavesNothing)
{
    FrameTemplate frame;
    EXPECT_EQ(frame.Write(Path("missing/x.frm").c_str()), 0);
    ASSERT_EQ(g_messages.size(), 1u);
    EXPECT_EQ(g_messages[0], "Can not open frame template file");
    EXPECT_FALSE(std::filesystem::exists(Path("missing")));
}

TEST_F(FrameTemplateFile, RenameChangesTheStoredNameOnly)
{
    FrameTemplate frame;
    SanitizeName(frame.m_info.name, "Old");
    std::snprintf(frame.m_info.comment, sizeof frame.m_info.comment, "kept");
    ASSERT_EQ(frame.Write(Path("old.frm").c_str()), 1);
    ASSERT_EQ(frame.Rename("New: one/two"), 1);
    EXPECT_STREQ(frame.m_info.name, "New_ one_two");

    FrameTemplate back;
    ASSERT_EQ(back.Read(Path("old.frm").c_str()), 1);
    EXPECT_STREQ(back.m_info.name, "New_ one_two");
    EXPECT_STREQ(back.m_info.comment, "kept");

    // No whole chunk 0: refused, the name in memory kept.
    WriteBytes(Path("old.frm"), Cat({Chunk(1, Bytes(36, 0)), Chunk(0, Bytes(100, 'x'))}));
    EXPECT_EQ(frame.Rename("Other"), 0);
    EXPECT_STREQ(frame.m_info.name, "New_ one_two");
    // A length running past the end stops the walk.
    WriteBytes(Path("old.frm"), Chunk(1, Bytes(36, 0), 1 << 30));
    EXPECT_EQ(frame.Rename("Other"), 0);
}

TEST(SanitizeName, ReplacesTheCharactersFileNamesCannotHold)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"plain", "plain"},
        {"a\"b'c*d/e:f?g\\h~i", "a_b_c_d_e_f_g_h_i"},
        {"0123456789012345678901234567890123456789", "0123456789012345678901234567890"},
        {"", ""},
    };
    for (const auto& c : cases) {
        char out[32];
        SanitizeName(out, c.in);
        EXPECT_STREQ(out, c.out) << c.in;
    }
}

TEST(FrameLength, ResolvesPixelsAndPercentages)
{
    EXPECT_EQ((FrameLength{1, 12}).Resolve(3000), 12);
    EXPECT_EQ((FrameLength{0, 3}).Resolve(2000), 60);
    EXPECT_EQ((FrameLength{0, 3}).Resolve(99), 2); // truncated
    EXPECT_EQ((FrameLength{0, -5}).Resolve(100), -5);
}

}  // namespace
