// The editor's -i mode with the real QuilloKit.so: a three-layer file made
// from corpus photos, the active layer to edit, the merged picture shown,
// an edit merged again, and "<path>.bmp" left by Save and Exit.
#include "editor/shell/tests/PhotosTestSupport.h"

#include "editor/shell/MainImageView.h"
#include "editor/shell/PhotoDocument.h"
#include "kit/Blend.h"
#include "kit/ComplexImageUtils.h"
#include "kit/KitFile.h"
#include "kit/LayeredDocument.h"

#include <filesystem>

namespace {

using photostest::PhotosTest;
namespace fs = std::filesystem;

class KitModeReal : public PhotosTest {
protected:
    // Background, a multiply photo at opacity 160 (active), a screen gradient.
    bool WriteLayeredFile(const std::string& path)
    {
        kit::LayeredDocument doc;
        auto background = std::make_unique<kit::ImageLayer>();
        auto photo = std::make_unique<kit::ImageLayer>();
        if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg", &background->image) ||
            !shelltest::LoadCorpusPhoto("exif-samples/jpg/gps/DSCN0010.jpg", &photo->image))
            return false;
        UINT w = 0, h = 0, pw = 0, ph = 0;
        background->image.GetSize(&w, &h);
        photo->image.GetSize(&pw, &ph);
        m_photoAt = {static_cast<int>(w - pw) / 2, static_cast<int>(h - ph) / 2};
        photo->x = m_photoAt.x;
        photo->y = m_photoAt.y;
        photo->opacity = 160;
        photo->blend = kit::kMultiply;
        std::strcpy(photo->name, "Photo");
        auto gradient = std::make_unique<kit::ImageLayer>();
        shelltest::MakeImage(&gradient->image, static_cast<int>(w), static_cast<int>(h) / 3, [&](int x, int y) {
            return CPixel{BYTE(40 + x * 160 / w), BYTE(y * 255 / (h / 3)), BYTE(200 - x * 200 / w), 255};
        });
        gradient->blend = kit::kScreen;
        doc.canvasWidth = static_cast<std::int32_t>(w);
        doc.canvasHeight = static_cast<std::int32_t>(h);
        doc.layers.push_back(std::move(background));
        doc.layers.push_back(std::move(photo));
        doc.layers.push_back(std::move(gradient));
        doc.activeLayer = 1;
        m_size = {static_cast<int>(w), static_cast<int>(h)};
        m_photoSize = {static_cast<int>(pw), static_cast<int>(ph)};
        kit::DiskFile file;
        return file.OpenWrite(path.c_str()) && doc.Serialize(file, 0) && file.Close();
    }

    POINT m_photoAt{}, m_size{}, m_photoSize{};
};

TEST_F(KitModeReal, EditsTheActiveLayerAndShowsTheMergedPicture)
{
    const std::string layered = m_folder.Path() + "three layers.qlk";
    if (!WriteLayeredFile(layered))
        GTEST_SKIP() << "corpus photos not found";
    const std::string folder = UseProgramFolder();
    fs::copy_file(QUILLO_KIT_MODULE, folder + kKitLibrary, fs::copy_options::overwrite_existing);

    MakeFrame(("-i \"" + layered + "\"").c_str());
    ASSERT_EQ(m_frame->m_kitMode, 1);
    ASSERT_NE(thePhotoDocument.m_kit, nullptr);
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    EXPECT_EQ(int(w), m_photoSize.x) << "the active layer is edited";
    EXPECT_EQ(int(h), m_photoSize.y);
    CMainImageView& view = m_frame->m_view.m_imageView;
    ASSERT_TRUE(view.m_mergedDisplay);
    ASSERT_EQ(view.GetImageWidth(), m_size.x) << "the merged picture is shown";
    ASSERT_EQ(view.GetImageHeight(), m_size.y);

    // The screen gradient lies over the top third; the photo multiplies the middle.
    const INTERNAL_IMAGE merged = thePhotoDocument.m_kit->MaybeChanged(
        {static_cast<std::int32_t>(w), static_cast<std::int32_t>(h), thePhotoDocument.m_image.GetBuffer(0, 0)});
    ASSERT_EQ(merged.width, m_size.x);
    const int cx = m_size.x / 2, cy = m_size.y / 2;
    const BYTE* shown = view.GetBits() + (std::size_t(cy) * m_size.x + cx) * 4;
    EXPECT_EQ(std::memcmp(shown, merged.bits + (std::size_t(cy) * m_size.x + cx) * 4, 3), 0);

    m_frame->RecalcLayout();
    const QImage before = m_frame->GetWidget()->grab().toImage();
    EXPECT_FALSE(shelltest::SaveGrab(before, "kit_mode_real").empty());

    // Black edited into the layer's top-left corner: multiplied, it darkens the merged picture there.
    const int px = m_photoAt.x + 10, py = m_photoAt.y + m_photoSize.y - 10;
    const BYTE oldShown = view.GetBits()[(std::size_t(py) * m_size.x + px) * 4 + 1];
    for (int y = m_photoSize.y - 20; y < m_photoSize.y; ++y)
        for (int x = 0; x < 20; ++x)
            thePhotoDocument.m_image.PutPixel(x, y, CPixel{0, 0, 0, 255});
    view.EnableMergedDisplay(TRUE);
    const BYTE newShown = view.GetBits()[(std::size_t(py) * m_size.x + px) * 4 + 1];
    EXPECT_LT(newShown, oldShown);

    // Save and Exit leaves the result beside the layered file.
    ASSERT_TRUE(m_frame->SaveAndExitKitMode());
    EXPECT_TRUE(fs::exists(layered + ".bmp"));
}

}  // namespace
