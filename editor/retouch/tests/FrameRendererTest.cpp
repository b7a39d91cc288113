#include "FrameTestSupport.h"

#include "editor/retouch/FrameCategory.h"
#include "editor/retouch/FrameRenderer.h"
#include "platform/codec/QLImageCodec.h"

#include <algorithm>
#include <cstring>

using namespace frametest;

namespace {

const CPixel kRed{0, 0, 255, 255};
const CPixel kBlue{255, 0, 0, 255};
const CPixel kCanvas{10, 20, 30, 255};

// A 20 x 10 or 40 x 30 photo whose pixels tell their place.
CQLImage Photo(int w, int h)
{
    CQLImage image;
    EXPECT_EQ(image.Create(w, h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.PutPixel(x, y, {static_cast<BYTE>(x * 5), static_cast<BYTE>(y * 7), 200, 255});
    return image;
}

FrameTemplate Drawn(int margin)
{
    FrameTemplate t;
    t.m_canvas.top = t.m_canvas.left = t.m_canvas.right = t.m_canvas.bottom = {1, margin};
    t.m_canvas.colour = kCanvas;
    return t;
}

struct Framed {
    CQLImage photo;
    CQLImage target;
    FrameRenderer renderer;
    HRESULT result;
    Framed(CQLImage p, const FrameTemplate& t) : photo(std::move(p))
    {
        renderer.SetImages(&photo, &target);
        result = renderer.Apply(&t);
    }
    CPixel At(int x, int y) const { return target.GetPixel2(x, y); }
};

bool Same(CPixel a, CPixel b)
{
    return a.b == b.b && a.g == b.g && a.r == b.r && a.a == b.a;
}

TEST(FrameRenderer, ZeroMarginsGiveThePhoto)
{
    Framed run(Photo(20, 10), Drawn(0));
    ASSERT_EQ(run.result, 0);
    ASSERT_EQ(run.target.GetAreaByteSize(), run.photo.GetAreaByteSize());
    EXPECT_EQ(std::memcmp(run.target.GetBuffer(0, 0), run.photo.GetBuffer(0, 0), run.photo.GetAreaByteSize()), 0);
}

TEST(FrameRenderer, CanvasMarginsArePercentagesOfThePhoto)
{
    FrameTemplate t = Drawn(0);
    t.m_canvas.left = t.m_canvas.right = {0, 10}; // of the width: 2
    t.m_canvas.top = t.m_canvas.bottom = {0, 25}; // of the height: 2 (truncated)
    Framed run(Photo(20, 10), t);
    ASSERT_EQ(run.result, 0);
    UINT w = 0, h = 0;
    run.target.GetSize(&w, &h);
    EXPECT_EQ(w, 24u);
    EXPECT_EQ(h, 14u);
    EXPECT_TRUE(Same(run.At(1, 1), kCanvas));
    EXPECT_TRUE(Same(run.At(2, 2), run.photo.GetPixel2(0, 0)));
    EXPECT_TRUE(Same(run.At(21, 11), run.photo.GetPixel2(19, 9)));
    EXPECT_TRUE(Same(run.At(22, 11), kCanvas));
    EXPECT_EQ(run.renderer.GetResultOffset().x, 2);
}

TEST(FrameRenderer, ANegativeLeftWidthDrawsOverThePhotosEdge)
{
    FrameTemplate t = Drawn(0);
    t.m_border.enabled = 1;
    t.m_border.left = {1, -2};
    t.m_border.top = t.m_border.right = t.m_border.bottom = {1, 1};
    t.m_border.colour = kRed;
    Framed run(Photo(20, 10), t);
    ASSERT_EQ(run.result, 0);
    UINT w = 0, h = 0;
    run.target.GetSize(&w, &h);
    EXPECT_EQ(w, 20u) << "the canvas keeps its size";
    EXPECT_TRUE(Same(run.At(0, 5), kRed));
    EXPECT_TRUE(Same(run.At(1, 5), kRed));
    EXPECT_TRUE(Same(run.At(2, 5), run.photo.GetPixel2(2, 5)));
    EXPECT_TRUE(Same(run.At(19, 5), kRed));
    EXPECT_TRUE(Same(run.At(18, 5), run.photo.GetPixel2(18, 5)));
    EXPECT_TRUE(Same(run.At(10, 0), kRed));
    EXPECT_TRUE(Same(run.At(10, 9), kRed));
}

TEST(FrameRenderer, ARectangleOfWidthThreeDrawsThreeOutlines)
{
    FrameTemplate t = Drawn(10);
    FrameRectangle r;
    r.top = r.left = r.right = r.bottom = {1, 2};
    r.lineWidth = 3;
    r.colour = kBlue;
    t.m_rectangles = {r};
    Framed run(Photo(20, 10), t); // photo at (10, 10) .. (30, 20) in 40 x 30
    ASSERT_EQ(run.result, 0);
    // half = 1: the outermost at 10 - 2 - 1 = 7, then 8 and 9.
    for (int x : {7, 8, 9})
        EXPECT_TRUE(Same(run.At(x, 15), kBlue)) << x;
    EXPECT_TRUE(Same(run.At(6, 15), kCanvas));
    EXPECT_TRUE(Same(run.At(10, 15), run.photo.GetPixel2(0, 5)));
    for (int x : {30, 31, 32})
        EXPECT_TRUE(Same(run.At(x, 15), kBlue)) << x;
    EXPECT_TRUE(Same(run.At(33, 15), kCanvas));
    EXPECT_TRUE(Same(run.At(20, 7), kBlue));
    EXPECT_TRUE(Same(run.At(20, 22), kBlue));
    EXPECT_TRUE(Same(run.At(20, 23), kCanvas));
}

TEST(FrameRenderer, BorderTypes)
{
    const CPixel second{0, 255, 0, 255};
    struct Case {
        const char* what;
        BYTE type, pattern;
        int x, y;
        CPixel expected;
    } cases[] = {
        // Band of 4 pixels round the photo at (4, 4) .. (24, 14) in 28 x 18.
        {"solid", 0, 0, 1, 1, kRed},
        {"horizontal lines: odd row", 3, 0, 1, 1, kRed},
        {"horizontal lines: even row", 3, 0, 1, 2, second},
        {"vertical lines: even column", 3, 1, 2, 1, second},
        {"dots: even row and column", 3, 2, 2, 2, second},
        {"dots: odd column", 3, 2, 3, 2, kRed},
        {"dense dots: x + y even", 3, 3, 2, 2, second},
        {"dense dots: x + y odd", 3, 3, 3, 2, kRed},
        {"two colours: top left", 2, 0, 0, 0, kRed},
        {"two colours: bottom right", 2, 0, 27, 17, kBlue},
    };
    for (const Case& c : cases) {
        FrameTemplate t = Drawn(4);
        t.m_border.enabled = 1;
        t.m_border.type = c.type;
        t.m_border.pattern = c.pattern;
        t.m_border.top = t.m_border.left = t.m_border.right = t.m_border.bottom = {1, 4};
        t.m_border.colour = kRed;
        t.m_border.secondColour = second;
        t.m_border.rightBottomColour = kBlue;
        Framed run(Photo(20, 10), t);
        ASSERT_EQ(run.result, 0) << c.what;
        EXPECT_TRUE(Same(run.At(c.x, c.y), c.expected)) << c.what;
    }
}

TEST(FrameRenderer, ShadowFadesRoundItsCorners)
{
    const RECT r{0, 0, 100, 100};
    EXPECT_EQ(FrameRenderer::GetCornerOpacity(50, 50, 0, r), 100);
    EXPECT_EQ(FrameRenderer::GetCornerOpacity(50, 50, 5, r), 100);   // far from every edge
    EXPECT_EQ(FrameRenderer::GetCornerOpacity(5, 50, 5, r), 50);     // halfway into the fade
    EXPECT_EQ(FrameRenderer::GetCornerOpacity(0, 0, 5, r), 0);       // the corner itself
    EXPECT_EQ(FrameRenderer::GetCornerOpacity(5, 5, 5, r), 29);      // (10 - 7.07) * 10

    FrameTemplate t = Drawn(10);
    t.m_border.enabled = 1;
    t.m_border.type = 1;
    t.m_border.top = t.m_border.left = t.m_border.right = t.m_border.bottom = {1, 2};
    t.m_border.colour = kRed;
    t.m_border.shadowX = t.m_border.shadowY = {1, 3};
    t.m_border.shadowBlur = {1, 1};
    t.m_border.shadowColour = {0, 0, 0, 200};
    Framed run(Photo(20, 10), t);
    ASSERT_EQ(run.result, 0);
    // The band's outer rectangle is (8, 8) .. (32, 22); the shadow (10, 10) .. (36, 26).
    EXPECT_TRUE(Same(run.At(33, 18), {2, 4, 6, 255})) << "200/255 of black over the canvas";
    EXPECT_TRUE(Same(run.At(36, 18), kCanvas)) << "outside the shadow";
    EXPECT_TRUE(Same(run.At(9, 9), kRed)) << "the band is drawn over its shadow";
}

TEST(FrameRenderer, KeyWindowMustBeLargerThan64Pixels)
{
    for (int side : {64, 65}) {
        CQLImage picture;
        ASSERT_EQ(picture.Create(100, 100), 0);
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                picture.PutPixel(x, y, x >= 10 && x < 10 + side - 1 && y >= 10 && y < 80 ? kBlue : CPixel{200, 200, 200, 255});
        RECT window{};
        // The box grows by one to the left and up: side - 1 key columns give side.
        EXPECT_EQ(FrameRenderer::FindPhotoWindow(picture, kBlue, &window), side == 65) << side;
    }
    CQLImage grey;
    ASSERT_EQ(grey.Create(100, 100), 0);
    std::memset(grey.GetBuffer(0, 0), 128, grey.GetAreaByteSize());
    RECT window{};
    EXPECT_FALSE(FrameRenderer::FindPhotoWindow(grey, kRed, &window));
}

class ImageBased : public ScratchFolder {
protected:
    // A frame picture of w x h with a key-coloured window inset by 10.
    static CQLImage FramePicture(int w, int h, CPixel key)
    {
        CQLImage p;
        EXPECT_EQ(p.Create(w, h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p.PutPixel(x, y, x >= 10 && x < w - 10 && y >= 10 && y < h - 10 ? key : CPixel{230, 230, 230, 255});
        return p;
    }
};

TEST_F(ImageBased, ASquarePhotoTakesThePortraitPictureAndShowsThroughTheWindow)
{
    FrameTemplate t;
    t.m_freeShape.keyColour = kBlue;
    // The landscape picture has no window, so only the portrait one can work.
    CQLImage noWindow;
    ASSERT_EQ(noWindow.Create(120, 90), 0);
    std::memset(noWindow.GetBuffer(0, 0), 200, noWindow.GetAreaByteSize());
    ASSERT_EQ(t.WriteImageBased(Path("f.frm").c_str(), noWindow, FramePicture(100, 120, kBlue)), 1);

    Framed square(Photo(40, 40), t);
    ASSERT_EQ(square.result, 0);
    const POINT off = square.renderer.GetResultOffset();
    const CPixel middle = square.At(off.x + 20, off.y + 20);
    const CPixel photo = square.photo.GetPixel2(20, 20);
    EXPECT_NEAR(middle.r, photo.r, 4);
    EXPECT_NEAR(middle.g, photo.g, 4);
    EXPECT_NEAR(square.At(1, 1).r, 230, 2) << "the frame stays outside the window";

    Framed wide(Photo(40, 30), t);
    EXPECT_EQ(wide.result, E_FAIL);
}

TEST_F(ImageBased, KeyColourBecomesTransparent)
{
    CQLImage picture = FramePicture(30, 30, kBlue);
    FrameRenderer::ApplyKeyColour(picture, kBlue);
    EXPECT_EQ(picture.GetPixel2(15, 15).a, 0);
    EXPECT_EQ(picture.GetPixel2(2, 2).a, 255);
}

TEST(FrameRenderer, AMissingLogoLeavesTheOtherPassesDrawn)
{
    FrameTemplate t = Drawn(3);
    t.m_logo.enabled = 1;
    std::snprintf(t.m_logo.path, sizeof t.m_logo.path, "/nonexistent/logo.png");
    Framed run(Photo(20, 10), t);
    EXPECT_EQ(run.result, FrameRenderer::kLogoFailed);
    EXPECT_TRUE(Same(run.At(0, 0), kCanvas));
}

class Logo : public ScratchFolder {};

TEST_F(Logo, OverlayModes)
{
    // A 10 x 10 logo: white left half, black right half; its mask white on top.
    CQLImage logo, mask;
    ASSERT_EQ(logo.Create(10, 10), 0);
    ASSERT_EQ(mask.Create(10, 10), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const BYTE v = x < 5 ? 255 : 0;
            logo.PutPixel(x, y, {v, v, v, 255});
            const BYTE m = y < 5 ? 255 : 0;
            mask.PutPixel(x, y, {m, m, m, 255});
        }
    CQLImageCodec codec;
    ASSERT_TRUE(codec.SaveFile(Path("logo.bmp").c_str(), &logo));
    ASSERT_TRUE(codec.SaveFile(Path("mask.bmp").c_str(), &mask));

    struct Case {
        BYTE mode;
        int x, y;
        BYTE expected; // grey of the result
    } cases[] = {
        {0, 1, 1, 255}, // light only: white beats the mid-grey canvas
        {0, 8, 1, 128}, // black does not
        {1, 8, 1, 0},   // dark only
        {1, 1, 1, 128},
        {2, 1, 1, 255}, // mask white on top: logo
        {2, 1, 8, 128}, // mask black below: canvas kept
    };
    for (const Case& c : cases) {
        FrameTemplate t;
        t.m_canvas.bottom = {1, 20};
        t.m_canvas.colour = {128, 128, 128, 255};
        t.m_logo.enabled = 1;
        t.m_logo.mode = c.mode;
        std::snprintf(t.m_logo.path, sizeof t.m_logo.path, "%s", Path("logo.bmp").c_str());
        std::snprintf(t.m_logo.maskPath, sizeof t.m_logo.maskPath, "%s", Path("mask.bmp").c_str());
        t.m_logo.x = {1, 0};
        t.m_logo.y = {1, 10}; // on the canvas below the 10-pixel-high photo
        t.m_logo.width = {1, 10};
        Framed run(Photo(20, 10), t);
        ASSERT_EQ(run.result, 0) << int(c.mode);
        EXPECT_EQ(run.At(c.x, 10 + c.y).g, c.expected) << int(c.mode) << " at " << c.x << "," << c.y;
    }
}

TEST(FrameRenderer, FormatCaption)
{
    ExifFields f{};
    f.hasExif = 1;
    std::snprintf(f.model, sizeof f.model, "Cam");
    std::snprintf(f.dateTime, sizeof f.dateTime, "2015:02:09 10:11:12");
    f.fNumber = 5.6;
    f.isoSpeed = 800;
    FrameRenderer r;
    r.SetExif(&f);
    r.SetUserText("Ann");
    std::string out;
    const struct {
        double exposure;
        const char* text;
        const char* expected;
    } cases[] = {
        {1.0 / 250, "%S", "1/250"}, {2, "%s", "2.0"},        {0, "100%%", "100"},  {0, "end%", "end"},
        {0, "%C %A %I", "Cam F5.6 ISO800"}, {0, "%T|%t", "2015:02:09 10:11:12|2015/02/09"},
        {0, "by %U%x", "by Ann"},
    };
    for (const auto& c : cases) {
        f.exposureTime = c.exposure;
        r.FormatCaption(c.text, out);
        EXPECT_EQ(out, c.expected) << c.text;
    }
    f.hasExif = 0;
    r.FormatCaption("[%C]", out);
    EXPECT_EQ(out, "[]");
    r.FormatCaption(std::string(400, 'x').c_str(), out);
    EXPECT_EQ(out.size(), 255u);
}

TEST(FrameRenderer, CaptionOfACorpusPhoto)
{
    const std::string path = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/hdr/canon_hdr_NO.jpg";
    ExifInfo exif;
    if (!std::filesystem::exists(path) || !exif.ReadFromFile(path.c_str()))
        GTEST_SKIP() << "no corpus";
    FrameRenderer r;
    r.SetExif(&exif.GetFields());
    std::string out;
    r.FormatCaption("%C %S %A %I %t", out);
    EXPECT_EQ(out, "Canon PowerShot SX60 HS 1/60 F5.6 ISO800 2015/02/09");
}

TEST(FrameRenderer, SignatureIsDrawnInItsColourAtItsAnchor)
{
    FrameTemplate t = Drawn(0);
    t.m_canvas.bottom = {1, 30};
    t.m_canvas.colour = {255, 255, 255, 255};
    t.m_signature.enabled = 1;
    std::snprintf(t.m_signature.text, sizeof t.m_signature.text, "MMMM");
    t.m_signature.height = {1, 20};
    t.m_signature.x = {1, 2};
    t.m_signature.y = {1, 35};
    t.m_signature.colour = {0, 0, 255, 255};
    Framed run(Photo(200, 30), t);
    ASSERT_EQ(run.result, 0);
    int red = 0, stray = 0;
    UINT w = 0, h = 0;
    run.target.GetSize(&w, &h);
    for (int y = 30; y < static_cast<int>(h); ++y)
        for (int x = 0; x < static_cast<int>(w); ++x) {
            const CPixel p = run.At(x, y);
            if (p.r > 200 && p.g < 100)
                (y >= 35 && x >= 2 ? red : stray)++;
        }
    EXPECT_GT(red, 50);
    EXPECT_EQ(stray, 0);

    // Expanding to nothing draws nothing and succeeds.
    std::snprintf(t.m_signature.text, sizeof t.m_signature.text, "%%C");
    Framed empty(Photo(200, 30), t);
    EXPECT_EQ(empty.result, 0);
}

}  // namespace

namespace {

// Every starter template on a real photo, saved for a look.
TEST(StarterFrames, EachFramesACorpusPhoto)
{
    const std::string photoPath = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/hdr/canon_hdr_NO.jpg";
    CQLImageCodec codec;
    CQLImage photo, small;
    ExifInfo exif;
    if (!std::filesystem::exists(photoPath) || !codec.LoadFile(photoPath.c_str(), &photo))
        GTEST_SKIP() << "no corpus";
    exif.ReadFromFile(photoPath.c_str());
    UINT w = 0, h = 0;
    photo.GetSize(&w, &h);
    ASSERT_TRUE(codec.Resample(&photo, &small, 1000, static_cast<int>(1000 * h / w), 1));

    FrameCategory root(QUILLO_PROGRAM_DIR);
    root.Scan();
    std::vector<FrameTemplate*> all;
    for (FrameCategory* c : root.m_children)
        all.insert(all.end(), c->m_templates.begin(), c->m_templates.end());
    EXPECT_EQ(all.size(), 9u);
    for (FrameTemplate* t : all) {
        CQLImage framed;
        FrameRenderer renderer;
        renderer.SetExif(&exif.GetFields());
        renderer.SetImages(&small, &framed);
        ASSERT_EQ(renderer.Apply(t), 0) << t->m_info.name;
        // The window of an image-based frame keeps alpha 0; the grab shows it opaque.
        UINT fw = 0, fh = 0;
        framed.GetSize(&fw, &fh);
        for (UINT i = 0; i < fw * fh; ++i)
            framed.GetBuffer(0, 0)[i * 4 + 3] = 255;
        std::string name = t->m_info.name;
        std::replace(name.begin(), name.end(), ' ', '-');
        const std::string grab = std::string(QUILLO_GRAB_DIR) + "/frame-" + name + ".png";
        std::filesystem::create_directories(QUILLO_GRAB_DIR);
        EXPECT_TRUE(codec.SaveFile(grab.c_str(), &framed)) << grab;
    }
}

}  // namespace
