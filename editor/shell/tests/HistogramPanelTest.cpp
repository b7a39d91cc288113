#include "ShellWindowsTestSupport.h"

#include "editor/shell/HistogramPanel.h"
#include "editor/shell/PhotoDocument.h"

using shelltest::MakeImage;
using skintest::Bgr;
using skintest::BgrAt;

namespace {

class HistogramPanel : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 400, 300));
        ASSERT_TRUE(m_panel.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 200, 160}, &m_parent, 7));
    }
    UINT BufferWidth() const
    {
        UINT w = 0, h = 0;
        m_panel.m_buffer.GetSize(&w, &h);
        return w;
    }
    UINT BufferHeight() const
    {
        UINT w = 0, h = 0;
        m_panel.m_buffer.GetSize(&w, &h);
        return h;
    }
    // A pixel of the buffer, rows counted from the bottom.
    Bgr BufferAt(int x, int j) const { return skintest::BgrOf(m_panel.m_buffer.GetPixel2(x, j)); }

    skintest::CParentWnd m_parent;
    CHistogramPanel m_panel;
};

TEST_F(HistogramPanel, SamplesAtMostAbout65536Pixels)
{
    const struct {
        int w, h;
        long long stride, counted;
    } cases[] = {
        {256, 256, 1, 65536}, {512, 512, 4, 65536}, {300, 300, 1, 90000}, {6000, 4000, 366, 65574}, {3, 3, 1, 9},
    };
    for (const auto& c : cases) {
        CQLImage image;
        MakeImage(&image, c.w, c.h, [](int x, int y) { return CPixel{BYTE(x), BYTE(y), BYTE(x + y), 255}; });
        EXPECT_EQ(CHistogramPanel::SampleStride(static_cast<long long>(c.w) * c.h), c.stride) << c.w << "x" << c.h;
        EXPECT_EQ(m_panel.Count(image), c.counted) << c.w << "x" << c.h;
        long long red = 0;
        for (uint32_t n : m_panel.m_red)
            red += n;
        EXPECT_EQ(red, c.counted);
    }
}

TEST_F(HistogramPanel, TinyImageDrawsWithAScaleOfAtLeastOne)
{
    CQLImage image;
    MakeImage(&image, 3, 3, [](int, int) { return CPixel{0, 0, 200, 255}; });
    EXPECT_EQ(m_panel.Count(image), 9);
    EXPECT_EQ(m_panel.Scale(9), 1);
    m_panel.Render(&image);
    EXPECT_TRUE(m_panel.m_curveValid);
}

TEST_F(HistogramPanel, BufferFollowsPanelsUnder500Pixels)
{
    EXPECT_EQ(BufferWidth(), 190u);
    EXPECT_EQ(BufferHeight(), 150u);
    const struct {
        int cx, cy;
        UINT w, h;
    } cases[] = {
        {500, 160, 190, 150},  // 500 wide keeps the buffer
        {180, 500, 190, 150},  // 500 high too
        {180, 120, 170, 110},
        {640, 480, 170, 110},
        {8, 100, 0, 0},  // narrower than the margins: nothing to draw
    };
    for (const auto& c : cases) {
        m_panel.MoveWindow(0, 0, c.cx, c.cy);
        EXPECT_EQ(BufferWidth(), c.w) << c.cx << "x" << c.cy;
        EXPECT_EQ(BufferHeight(), c.h) << c.cx << "x" << c.cy;
    }
    m_panel.RedrawWindow();  // paints nothing, crashes nothing
}

TEST_F(HistogramPanel, BarsStandForTheChannelsAndTheCurveForBrightness)
{
    // Every pixel B 0, G 0, R 200: red bin 200, green and blue bin 0,
    // brightness bin 60.
    CQLImage image;
    MakeImage(&image, 64, 64, [](int, int) { return CPixel{0, 0, 200, 255}; });
    m_panel.Render(&image);
    const int w = static_cast<int>(BufferWidth()), h = static_cast<int>(BufferHeight());
    const int redColumn = (200 * w + 255) / 256;  // first column whose bin is 200
    ASSERT_EQ(redColumn * 256 / w, 200);
    const Bgr red{0, 0, 255}, cyan{255, 255, 0}, white{255, 255, 255};
    EXPECT_EQ(BufferAt(redColumn, h / 2), red);
    EXPECT_EQ(BufferAt(redColumn, h - 1), red);
    EXPECT_EQ(BufferAt(0, h / 2), cyan);
    // An empty bin: the bottom row only, above it the grey background.
    const int empty = 100 * w / 256 + 1;
    EXPECT_EQ(BufferAt(empty, 0), white);
    const Bgr above = BufferAt(empty, h / 2);
    EXPECT_EQ(above.b, above.r);
    EXPECT_NEAR(above.b, empty * 64 / w, 3);

    const int brightColumn = (60 * w + 255) / 256;
    EXPECT_EQ(m_panel.m_curve[static_cast<size_t>(brightColumn)], h - 1);
    EXPECT_EQ(m_panel.m_curve[static_cast<size_t>(empty)], 0);
}

TEST_F(HistogramPanel, SeededNoiseRepeatsTheBackground)
{
    m_panel.SeedNoise(42);
    m_panel.Render(nullptr);
    CQLImage first;
    ASSERT_TRUE(first.DuplicateFrom(&m_panel.m_buffer));
    m_panel.SeedNoise(42);
    m_panel.Render(nullptr);
    EXPECT_EQ(std::memcmp(first.GetBuffer(0, 0), m_panel.m_buffer.GetBuffer(0, 0), first.GetAreaByteSize()), 0);
    EXPECT_FALSE(m_panel.m_curveValid);  // no image, no bars
    const int w = static_cast<int>(BufferWidth());
    for (int x : {0, w / 2, w - 1}) {
        const int v = BufferAt(x, 3).g;
        EXPECT_GE(v, x * 64 / w);
        EXPECT_LE(v, x * 64 / w + 3);
    }
}

TEST_F(HistogramPanel, PaintShowsTheBufferInA3dFrameWithTheCurveXored)
{
    MakeImage(&thePhotoDocument.m_image, 64, 64, [](int, int) { return CPixel{0, 0, 200, 255}; });
    m_panel.SeedNoise(7);
    m_panel.RedrawWindow();
    const QImage surface = skintest::SurfaceOf(m_panel.m_hWnd);
    ASSERT_FALSE(surface.isNull());
    const int w = static_cast<int>(BufferWidth()), h = static_cast<int>(BufferHeight());
    EXPECT_EQ(BgrAt(surface, 4, 40), (Bgr{64, 64, 64}));
    EXPECT_EQ(BgrAt(surface, 5 + w, 40), (Bgr{255, 255, 255}));
    const int redColumn = (200 * w + 255) / 256;
    EXPECT_EQ(BgrAt(surface, 5 + redColumn, 5 + h / 2), (Bgr{0, 0, 255}));
    // The curve runs along the bottom where no pixel is that bright: the
    // white bottom row XOR white is black.
    const int empty = 100 * w / 256 + 1;
    EXPECT_EQ(BgrAt(surface, 5 + empty, 5 + h - 1), (Bgr{0, 0, 0}));
}

}  // namespace
