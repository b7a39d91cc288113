// The generated icon strips of toolbars 128, 134 and 365: one 24 x 23 icon
// per button, drawn over the toolbar mask colour, every icon with ink and
// none touching its neighbour.
#include "imagecore/QLImage.h"
#include "platform/codec/QLImageCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct StripCase {
    int id;
    int icons;
};

TEST(MenuIcons, StripsHoldOneMaskedIconPerButton)
{
    for (const StripCase& c : {StripCase{128, 10}, StripCase{134, 15}, StripCase{365, 10}}) {
        SCOPED_TRACE(c.id);
        const std::string path = std::string(QUILLO_RES_DIR) + "/bitmap/" + std::to_string(c.id) + ".png";
        CQLImage img;
        CQLImageCodec codec;
        ASSERT_NE(codec.LoadFile(path.c_str(), &img), 0) << path;
        UINT w = 0, h = 0;
        img.GetSize(&w, &h);
        ASSERT_EQ(w, static_cast<UINT>(24 * c.icons));
        ASSERT_EQ(h, 23u);
        for (int i = 0; i < c.icons; ++i) {
            int ink = 0, mask = 0;
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 24; ++x) {
                    const BYTE* p = img.GetBuffer(24 * i + x, y);
                    (p[0] == 192 && p[1] == 192 && p[2] == 192 ? mask : ink)++;
                }
            EXPECT_GT(ink, 40) << "icon " << i;
            EXPECT_GT(mask, 40) << "icon " << i;
        }
    }
}

}  // namespace
