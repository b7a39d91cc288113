// Colours through the whole development: a DNG of flat patches written from
// an 8-bit picture, Step 1 with the camera's balance, Step 2, the adjust job
// and the 8-bit conversion. A patch keeps its hue, brighter or not, while
// no channel reaches the exposure curve's knee.
#include "develop/DevelopAdjustJob.h"
#include "develop/DevelopState.h"
#include "develop/DevelopSteps.h"

#include "DevelopTestDng.h"
#include "imagecore/QLImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class SilentBar : public develop::ProgressSink {
public:
    void SetText(const char*) override {}
    void SetPercent(int) override {}
};

struct Rgb {
    int r, g, b;
};

// Grey, a dark and a light brown, an orange: a scene whose average is far
// from grey, as a leaf filling the frame is.
constexpr Rgb kPatches[] = {{128, 128, 128}, {100, 50, 20}, {152, 69, 15}, {216, 144, 37}};
constexpr int kPatchSide = 32;

double Hue(const Rgb& c)
{
    return std::fmod(std::atan2(std::sqrt(3.0) * (c.g - c.b), 2.0 * c.r - c.g - c.b) * 180.0 / M_PI + 360.0, 360.0);
}

int Chroma(const Rgb& c) { return std::max({c.r, c.g, c.b}) - std::min({c.r, c.g, c.b}); }

Rgb At(const CQLImage& image, int patch)
{
    const BYTE* p = image.GetBuffer(patch * kPatchSide + kPatchSide / 2, kPatchSide / 2);
    return {p[2], p[1], p[0]};
}

TEST(DevelopColourTest, PatchesKeepTheirHueAtNoughtAndPlusOneStop)
{
    const int count = static_cast<int>(std::size(kPatches));
    CQLImage picture;
    ASSERT_EQ(picture.Create(count * kPatchSide, kPatchSide), 0);
    for (int y = 0; y < kPatchSide; ++y)
        for (int x = 0; x < count * kPatchSide; ++x) {
            const Rgb& c = kPatches[x / kPatchSide];
            BYTE* p = picture.GetBuffer(x, y);
            p[0] = static_cast<BYTE>(c.b);
            p[1] = static_cast<BYTE>(c.g);
            p[2] = static_cast<BYTE>(c.r);
            p[3] = 255;
        }
    const fs::path dir = fs::temp_directory_path() / ("qldevelop-colour-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const bool mosaic : {true, false}) {
        const std::string path = (dir / (mosaic ? "mosaic.dng" : "linear.dng")).string();
        ASSERT_TRUE(WritePhotoDng(path, picture, mosaic, 0));
        develop::DevelopState state;
        state.rawPath = path;
        SilentBar bar;
        const develop::LoadOutcome outcome = develop::LoadRawStep(0, bar, state);
        ASSERT_NE(outcome.loaded, 0);
        if (!outcome.skipInterpolation) {
            develop::InterpolateRequest request{3, nullptr, nullptr, &state.developed};
            develop::InterpolateJob(&request);
        }
        ASSERT_GT(state.developed.GetWidth(), 0);
        for (const int exposure : {0, 10}) {
            develop::AdjustParams params;
            params.exposure = exposure;
            C16BitBitmap adjusted;
            develop::DevelopAdjustJob job;
            job.SetImages(&state.developed, &adjusted);
            ASSERT_EQ(job.Run(&params), 0);
            CQLImage out;
            ASSERT_TRUE(develop::ConvertTo8Bit(adjusted, &out, 0));
            for (int i = 0; i < count; ++i) {
                const Rgb got = At(out, i);
                SCOPED_TRACE(testing::Message() << "mosaic " << mosaic << " exposure " << exposure << " patch " << i
                                                << " got " << got.r << "," << got.g << "," << got.b);
                // Past the knee each channel is compressed on its own: such a
                // highlight turns towards yellow or white by design.
                const C16BitPixel level = adjusted.GetPixel(i * kPatchSide + kPatchSide / 2, kPatchSide / 2);
                if (std::max({level.r, level.g, level.b}) >= 58000)
                    continue;
                if (Chroma(kPatches[i]) == 0) {
                    EXPECT_LE(Chroma(got), 6);
                    continue;
                }
                EXPECT_NEAR(Hue(got), Hue(kPatches[i]), 6.0);
            }
        }
    }
    fs::remove_all(dir);
}

} // namespace
