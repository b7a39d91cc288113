// "Create Free Shape Frame Template": the reference picture checks (key
// share, shape), the name, writing only after both checks pass, and a grab
// in edit mode.
#include "FrameTestSupport.h"
#include "FrameWindowsTestSupport.h"

#include "editor/retouch/FreeFrameTemplateDlg.h"
#include "platform/codec/QLImageCodec.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using framedialogtest::FrameWindowsTest;

constexpr CPixel kBlueKey{255, 0, 0, 255};

class FreeFrameTemplateDlgTest : public FrameWindowsTest {
protected:
    // A w x h picture whose first `percent` of rows are the blue key.
    std::string Picture(const char* name, int w, int h, int percent)
    {
        CQLImage picture;
        shelltest::MakeImage(&picture, w, h, [&](int, int y) {
            return y * 100 < percent * h ? kBlueKey : CPixel{200, 180, 160, 255};
        });
        const std::string path = m_folder.Path() + name;
        EXPECT_NE(CQLImageCodec().SaveFile(path.c_str(), &picture), 0);
        return path;
    }
    // Runs the maker with these fields; OK is pressed once, then the dialog
    // is cancelled if it is still open. True when it ended with OK.
    bool Make(const char* name, const std::string& landscape, const std::string& portrait)
    {
        int result = 0;
        onDialog = [&](CWnd* dialog) -> int {
            auto* maker = dynamic_cast<CFreeFrameTemplateDlg*>(dialog);
            if (!maker)
                return IDCANCEL;
            maker->SetDlgItemText(IDC_FREE_NAME, name);
            maker->SetDlgItemText(IDC_FREE_LANDSCAPE, landscape.c_str());
            maker->SetDlgItemText(IDC_FREE_PORTRAIT, portrait.c_str());
            maker->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
            return IDCANCEL;
        };
        CFreeFrameTemplateDlg dialog(*m_root, m_frame);
        result = static_cast<int>(dialog.DoModal());
        return result == IDOK;
    }
    std::string File(const char* name) const { return m_program + "Frame/" + name + ".frm"; }
};

} // namespace

TEST(KeyShareTest, CountsTheKeyColourIgnoringAlpha)
{
    CQLImage picture;
    ASSERT_EQ(picture.Create(10, 10), 0);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            picture.PutPixel(x, y, y == 0 ? CPixel{255, 0, 0, 7} : CPixel{255, 0, 1, 255});
    EXPECT_EQ(CFreeFrameTemplateDlg::KeyShare(picture, kBlueKey), 10);
}

TEST_F(FreeFrameTemplateDlgTest, NineInAHundredKeyPixelsWarnButAreStoredTenDoNotWarn)
{
    ASSERT_TRUE(Make("Nine", Picture("h9.bmp", 200, 100, 9), Picture("v9.bmp", 100, 200, 10)));
    EXPECT_EQ(m_boxes, (std::vector<std::string>{"Can not find transparent color in the reference picture."}));
    FrameTemplate stored;
    ASSERT_EQ(stored.Read(File("Nine").c_str()), 1);
    EXPECT_EQ(stored.m_imageBased, 1);
    EXPECT_EQ(stored.m_freeShape.landscape.width, 200);
    EXPECT_EQ(stored.m_freeShape.portrait.height, 200);
    EXPECT_EQ(stored.m_freeShape.keyColour.b, 255);
    CQLImage back;
    EXPECT_EQ(stored.ReadPicture(true, &back), 1);
    m_boxes.clear();
    ASSERT_TRUE(Make("Ten", Picture("h10.bmp", 200, 100, 10), Picture("v10.bmp", 100, 200, 50)));
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(FreeFrameTemplateDlgTest, ATallLandscapePictureAsksFirst)
{
    const std::string tall = Picture("tall.bmp", 100, 200, 50), portrait = Picture("v.bmp", 100, 200, 50);
    m_answers = {IDNO};
    EXPECT_FALSE(Make("Tall", tall, portrait));
    EXPECT_FALSE(fs::exists(File("Tall")));
    EXPECT_EQ(m_boxes.size(), 1u);
    m_answers = {IDYES};
    EXPECT_TRUE(Make("Tall", tall, portrait));
    EXPECT_TRUE(fs::exists(File("Tall")));
}

TEST_F(FreeFrameTemplateDlgTest, ARefusedCheckLeavesTheOldTemplateAsItWas)
{
    const auto old = frametest::ReadBytes(File("smith"));
    m_answers = {IDYES}; // overwrite
    EXPECT_FALSE(Make("smith", Picture("h.bmp", 200, 100, 50), m_folder.Path() + "missing.bmp"));
    EXPECT_EQ(m_boxes, (std::vector<std::string>{"Template exist, overwrite it?",
                                                 "The name of template can not be null, and the reference picture "
                                                 "must be valid"}));
    EXPECT_EQ(frametest::ReadBytes(File("smith")), old);
}

TEST_F(FreeFrameTemplateDlgTest, ANameWithAColonNamesItsFileWithAnUnderscore)
{
    EXPECT_TRUE(Make("a:b", Picture("h.bmp", 200, 100, 50), Picture("v.bmp", 100, 200, 50)));
    FrameTemplate stored;
    ASSERT_EQ(stored.Read(File("a_b").c_str()), 1);
    EXPECT_STREQ(stored.m_info.name, "a_b");
}

TEST_F(FreeFrameTemplateDlgTest, GrabInEditMode)
{
    std::string grab;
    bool pathsDisabled = false;
    onDialog = [&](CWnd* dialog) -> int {
        pathsDisabled = !dialog->GetDlgItem(IDC_FREE_LANDSCAPE)->IsWindowEnabled();
        grab = Grab(dialog, "free-shape-maker");
        return IDCANCEL;
    };
    CFreeFrameTemplateDlg dialog(*m_root, m_frame);
    dialog.m_name = "Deckled";
    dialog.m_landscapePath = (m_folder.Path() + "tmp/h.bmp").c_str();
    dialog.m_portraitPath = (m_folder.Path() + "tmp/v.bmp").c_str();
    dialog.m_signature = 1;
    dialog.DoModal();
    EXPECT_TRUE(pathsDisabled);
    EXPECT_TRUE(dialog.m_editMode);
    EXPECT_NE(dialog.m_landscapeButton.m_normalIcon, nullptr);
    EXPECT_FALSE(grab.empty());
}
