// The generated skin pictures have the sizes, bands and masks that the
// skinned controls read, and load through the readers those controls use.
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <utility>

namespace {

struct Rgba {
    int b, g, r, a;
};

Rgba At(const CQLImage& img, int x, int y)
{
    const BYTE* p = img.GetBuffer(x, y);
    return {p[0], p[1], p[2], p[3]};
}

int Grey(Rgba c)
{
    return (6 * c.g + 3 * c.r + c.b) / 10;
}

struct Size {
    UINT w = 0, h = 0;
};

Size SizeOf(const CQLImage& img)
{
    Size s;
    img.GetSize(&s.w, &s.h);
    return s;
}

// BMPs through CQLImage's own reader, PNGs through the codec, as the
// settings object loads them.
void Load(const std::string& path, CQLImage* img)
{
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".bmp") == 0) {
        ASSERT_EQ(img->LoadFromFile(path.c_str()), 0) << path;
    } else {
        CQLImageCodec codec;
        ASSERT_NE(codec.LoadFile(path.c_str(), img), 0) << path;
    }
}

std::string Skin(const char* name)
{
    return std::string(QUILLO_SKIN_DIR) + "/" + name;
}

struct SizeCase {
    std::string path;
    UINT width, height;
};

} // namespace

TEST(SkinPictures, EveryPictureHasItsSize)
{
    const SizeCase cases[] = {
        {Skin("btnst.bmp"), 32, 96},     // three 32-row bands
        {Skin("3dface.bmp"), 128, 64},   // glyph backgrounds read up to (41, 25)
        {Skin("checkbox.png"), 32, 32},  // four 16 x 16 cells
        {Skin("slider.png"), 100, 20},   // column 50 is the stretched middle
        {Skin("sliderbar.png"), 11, 16},
        {Skin("hand.bmp"), 20, 40},      // 20 x 20 pictures over their masks
        {Skin("zoomin.bmp"), 20, 40},
        {Skin("zoomout.bmp"), 20, 40},
        {Skin("bestfit.bmp"), 20, 40},
        {Skin("zoom1.bmp"), 20, 40},
        {Skin("saveback.bmp"), 64, 128},  // the save-mode faces over their masks
        {Skin("internet.bmp"), 64, 128},
        {Skin("saveforprint.bmp"), 64, 128},
        {Skin("saveforedit.bmp"), 64, 128},
        {Skin("savecustom.bmp"), 64, 128},
        {std::string(QUILLO_RES_DIR) + "/bitmap/329.png", 32, 32},
        {std::string(QUILLO_RES_DIR) + "/cursor/131.png", 32, 32},
    };
    for (const SizeCase& c : cases) {
        CQLImage img;
        Load(c.path, &img);
        EXPECT_EQ(SizeOf(img).w, c.width) << c.path;
        EXPECT_EQ(SizeOf(img).h, c.height) << c.path;
    }
}

TEST(SkinPictures, ButtonBandsAreDisabledHoveredNormal)
{
    CQLImage img;
    Load(Skin("btnst.bmp"), &img);
    const Size s = SizeOf(img);
    ASSERT_EQ(s.h % 3, 0u);
    const int band = static_cast<int>(s.h / 3);
    for (int y = 0; y < static_cast<int>(s.h); ++y)
        for (int x = 1; x < static_cast<int>(s.w); ++x)
            ASSERT_EQ(img.GetPixel(x, y), img.GetPixel(0, y)) << "rows are flat, so stretching is exact; row " << y;
    for (int y = 0; y < band; ++y) {
        const Rgba disabled = At(img, 0, y), hovered = At(img, 0, band + y), normal = At(img, 0, 2 * band + y);
        EXPECT_LE(std::max({disabled.r, disabled.g, disabled.b}) - std::min({disabled.r, disabled.g, disabled.b}), 6)
            << "disabled is nearly colourless";
        EXPECT_LT(Grey(disabled), Grey(normal)) << "disabled is dimmer than normal";
        EXPECT_GT(hovered.b - hovered.r, normal.b - normal.r) << "hovered carries the blue accent";
    }
    const Rgba top = At(img, 0, 2 * band);
    EXPECT_EQ(top.r + top.g + top.b, 3 * 255) << "a normal button starts white";
}

TEST(SkinPictures, FaceMatchesTheBackgroundBrushAndTiles)
{
    CQLImage face, brush;
    Load(Skin("3dface.bmp"), &face);
    Load(std::string(QUILLO_RES_DIR) + "/bitmap/329.png", &brush);
    const Size f = SizeOf(face), b = SizeOf(brush);
    ASSERT_EQ(f.w % b.w, 0u);
    ASSERT_EQ(f.h % b.h, 0u);
    for (int y = 0; y < static_cast<int>(f.h); ++y)
        for (int x = 0; x < static_cast<int>(f.w); ++x) {
            const Rgba p = At(face, x, y), q = At(brush, x % static_cast<int>(b.w), y % static_cast<int>(b.h));
            ASSERT_TRUE(p.r == q.r && p.g == q.g && p.b == q.b) << "glyphs and tracks sit on the dialog's own pattern";
            ASSERT_EQ(q.a, 255);
        }
}

TEST(SkinPictures, CheckCellsShowTheirState)
{
    CQLImage img;
    Load(Skin("checkbox.png"), &img);
    // Cell origins: column 16 checked, row 16 radio.
    for (int cx : {0, 16})
        for (int cy : {0, 16}) {
            SCOPED_TRACE(testing::Message() << "cell " << cx << "," << cy);
            EXPECT_EQ(At(img, cx, cy).a, 0) << "corners let the face show";
            const Rgba centre = At(img, cx + 8, cy + 8);
            EXPECT_EQ(centre.a, 255);
            if (cx == 0) {
                EXPECT_EQ(centre.r + centre.g + centre.b, 3 * 255) << "unchecked is white inside";
            } else if (cy == 16) {
                EXPECT_GT(centre.b - centre.r, 60) << "a checked radio has a blue dot";
            }
        }
    const Rgba box = At(img, 16 + 3, 3);
    EXPECT_GT(box.b - box.r, 60) << "a checked box is filled blue";
}

TEST(SkinPictures, SliderTrackArrowsAndGroove)
{
    CQLImage track;
    Load(Skin("slider.png"), &track);
    const Size s = SizeOf(track);
    // The ends grey their dark pixels at the range's ends: x < 12 on the
    // left, the last 12 columns on the right.
    for (int x0 : {0, static_cast<int>(s.w) - 12}) {
        int dark = 0;
        for (int y = 0; y < static_cast<int>(s.h); ++y)
            for (int x = x0; x < x0 + 12; ++x) {
                const Rgba p = At(track, x, y);
                if (p.a == 0)
                    continue;
                EXPECT_LT(Grey(p), 32) << "arrow pixels are dark at " << x << "," << y;
                ++dark;
            }
        EXPECT_GT(dark, 20) << "an arrow is drawn at " << x0;
    }
    int groove = 0;
    for (int y = 0; y < static_cast<int>(s.h); ++y) {
        const Rgba mid = At(track, 50, y);
        if (mid.a == 255 && mid.r < mid.b)
            ++groove;
        for (int x = 45; x < 56; ++x)
            ASSERT_EQ(track.GetPixel(x, y), track.GetPixel(50, y)) << "the stretched middle column joins without a seam";
    }
    EXPECT_GE(groove, 3) << "the groove is bluish so the slider can shade it";
    EXPECT_EQ(At(track, 50, 0).a, 0);

    CQLImage thumb;
    Load(Skin("sliderbar.png"), &thumb);
    EXPECT_EQ(At(thumb, 0, 0).a, 0);
    EXPECT_EQ(At(thumb, 5, 8).a, 255);
}

TEST(SkinPictures, ButtonFacesCarryGreyMasks)
{
    for (const char* name : {"hand.bmp", "zoomin.bmp", "zoomout.bmp", "bestfit.bmp", "zoom1.bmp", "saveback.bmp",
                             "internet.bmp", "saveforprint.bmp", "saveforedit.bmp", "savecustom.bmp"}) {
        SCOPED_TRACE(name);
        CQLImage face;
        Load(Skin(name), &face);
        const Size s = SizeOf(face);
        ASSERT_EQ(s.h, 2 * s.w);
        const int half = static_cast<int>(s.w);
        int shown = 0;
        for (int y = half; y < 2 * half; ++y)
            for (int x = 0; x < half; ++x) {
                const Rgba m = At(face, x, y);
                ASSERT_TRUE(m.r == m.g && m.g == m.b) << "the mask is grey at " << x << "," << y;
                if (m.r == 255)
                    ++shown;
            }
        EXPECT_GT(shown, 10) << "the mask shows the picture somewhere";
        for (int y : {half, 2 * half - 1})
            for (int x : {0, half - 1})
                EXPECT_EQ(At(face, x, y).r, 0) << "corners show the button's background";
    }
}

double Luminance(int r, int g, int b)
{
    auto lin = [](int c) {
        const double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

double Contrast(double a, double b)
{
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

// The tool pictures read on the zoom view's dark strip (its buttons sit on
// RGB(64, 64, 64)) and on the light face of the dialogs' picture buttons:
// enough fully shown pixels stand out from each by a contrast of 4.5.
TEST(SkinPictures, ToolPicturesReadOnDarkAndLightBackgrounds)
{
    const struct {
        const char* name;
        int grey;
    } backgrounds[] = {{"dark strip", 64}, {"light button", 243}};
    for (const char* name : {"hand.bmp", "zoomin.bmp", "zoomout.bmp", "bestfit.bmp", "zoom1.bmp", "saveback.bmp",
                             "internet.bmp", "saveforprint.bmp", "saveforedit.bmp", "savecustom.bmp"}) {
        CQLImage face;
        Load(Skin(name), &face);
        const int half = static_cast<int>(SizeOf(face).w);
        for (const auto& bg : backgrounds) {
            const double bgLum = Luminance(bg.grey, bg.grey, bg.grey);
            int readable = 0;
            for (int y = 0; y < half; ++y)
                for (int x = 0; x < half; ++x) {
                    const Rgba c = At(face, x, y);
                    if (At(face, x, y + half).r == 255 && Contrast(Luminance(c.r, c.g, c.b), bgLum) >= 4.5)
                        ++readable;
                }
            EXPECT_GE(readable, 25) << name << " on the " << bg.name;
        }
    }
}

TEST(SkinPictures, HandCursorHasItsTipAtTheHotSpot)
{
    CQLImage cursor;
    Load(std::string(QUILLO_RES_DIR) + "/cursor/131.png", &cursor);
    EXPECT_GT(At(cursor, 10, 2).a, 0);
    EXPECT_EQ(At(cursor, 0, 0).a, 0);
}

// The demos' icon: square, a transparent margin around an opaque picture
// whose dark frame stands out from the sky it holds.
TEST(SkinPictures, DemoIconIsAnOpaquePictureOnATransparentSquare)
{
    CQLImage icon;
    Load(std::string(QUILLO_RES_DIR) + "/demo/icon/128.png", &icon);
    ASSERT_EQ(SizeOf(icon).w, 48u);
    ASSERT_EQ(SizeOf(icon).h, 48u);
    for (auto [x, y] : {std::pair{0, 0}, {47, 0}, {0, 47}, {47, 47}})
        EXPECT_EQ(At(icon, x, y).a, 0) << x << "," << y;
    EXPECT_EQ(At(icon, 24, 24).a, 255);
    EXPECT_EQ(At(icon, 2, 24).a, 255) << "the frame";
    EXPECT_GT(Grey(At(icon, 12, 14)) - Grey(At(icon, 2, 24)), 60) << "sky against frame";
}

// The function bar's faces: each picture over a grey mask that shows it
// somewhere and leaves the corners to the button's background.
TEST(SkinPictures, FunctionBarFacesHaveTheirSizesAndMasks)
{
    const struct {
        const char* name;
        UINT w, h;  // of the picture, without its mask
    } cases[] = {
        {"transform.bmp", 56, 56},  {"exposure.bmp", 56, 56},   {"color.bmp", 56, 56},
        {"enhance.bmp", 56, 56},    {"frame.bmp", 56, 56},      {"onlineforum.bmp", 56, 56},
        {"func_trans.bmp", 24, 24}, {"func_expo.bmp", 24, 24},  {"func_color.bmp", 24, 24},
        {"func_filter.bmp", 24, 24}, {"func_frame.bmp", 24, 24}, {"func_net.bmp", 24, 24},
        {"menubut.bmp", 13, 80},    {"morebut.bmp", 14, 13},    {"left.bmp", 24, 14},
        {"func_right.bmp", 20, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CQLImage face;
        Load(Skin(c.name), &face);
        const Size s = SizeOf(face);
        ASSERT_EQ(s.w, c.w);
        ASSERT_EQ(s.h, 2 * c.h);
        const int w = static_cast<int>(c.w), h = static_cast<int>(c.h);
        int shown = 0;
        for (int y = h; y < 2 * h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgba m = At(face, x, y);
                ASSERT_TRUE(m.r == m.g && m.g == m.b) << "the mask is grey at " << x << "," << y;
                shown += m.r == 255;
            }
        EXPECT_GT(shown, 10);
        EXPECT_EQ(At(face, 0, h).r, 0);
        EXPECT_EQ(At(face, w - 1, 2 * h - 1).r, 0);
    }
}
