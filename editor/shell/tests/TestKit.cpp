// A QuilloKit for the tests: "reads" any existing file as a layered picture
// whose active layer is a 40 x 30 gradient; the merged picture is that layer
// with its red channel set to 255, so a test can tell the two apart.
#include "kit/ComplexImageUtils.h"

#include <filesystem>
#include <vector>

namespace {

class TestKit : public CComplexImageUtils {
public:
    static constexpr int kWidth = 40, kHeight = 30;

    INTERNAL_IMAGE MaybeChanged(INTERNAL_IMAGE image) override
    {
        if (image.width != kWidth || image.height != kHeight || !image.bits)
            return image;
        m_merged.assign(image.bits, image.bits + kWidth * kHeight * 4);
        for (size_t i = 2; i < m_merged.size(); i += 4)
            m_merged[i] = 255;
        return {kWidth, kHeight, m_merged.data()};
    }
    INTERNAL_IMAGE GetImageForEdit() override { return {kWidth, kHeight, m_layer.data()}; }
    int FromFile(const char* path) override
    {
        std::error_code error;
        if (!path || !std::filesystem::exists(path, error))
            return 0;
        m_layer.resize(kWidth * kHeight * 4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                unsigned char* p = &m_layer[(y * kWidth + x) * 4];
                p[0] = static_cast<unsigned char>(x * 6);
                p[1] = static_cast<unsigned char>(y * 8);
                p[2] = 40;
                p[3] = 255;
            }
        return 1;
    }

private:
    std::vector<unsigned char> m_layer;
    std::vector<unsigned char> m_merged;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) CComplexImageUtils* CreateQuilloKitInstance()
{
    return new TestKit;
}
