// The -i mode with a QuilloKit built for the tests, and without one.
#include "PhotosTestSupport.h"

#include "editor/shell/MainImageView.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "platform/codec/QLImageCodec.h"

#include <filesystem>
#include <fstream>

namespace {

using photostest::PhotosTest;
namespace fs = std::filesystem;

class KitMode : public PhotosTest {
protected:
    // A program folder with the test kit; the layered file at m_layered.
    void UseTestKit()
    {
        const std::string folder = UseProgramFolder();
        fs::copy_file(QUILLO_TEST_KIT, folder + kKitLibrary, fs::copy_options::overwrite_existing);
        m_layered = m_folder.Path() + "my layers.qlk";
        std::ofstream(m_layered) << "layers";
    }
    std::string m_layered;
};

TEST_F(KitMode, CommandLineOpensTheKitsPicture)
{
    UseTestKit();
    const std::string lines[] = {"-I \"" + m_layered + "\"", "  -i \"" + m_layered, "-i " + m_layered};
    for (const std::string& line : lines) {
        SCOPED_TRACE(line);
        MakeFrame(line.c_str());
        EXPECT_EQ(m_frame->m_kitMode, 1);
        EXPECT_EQ(std::string(thePhotoDocument.m_path), m_layered + ".bmp");
        UINT w = 0, h = 0;
        thePhotoDocument.m_image.GetSize(&w, &h);
        EXPECT_EQ(w, 40u);
        EXPECT_EQ(h, 30u);
        EXPECT_EQ(thePhotoDocument.m_fileSize, 40 * 30 * 4);
        EXPECT_EQ(thePhotoDocument.m_image.GetPixel2(1, 0).r, 40) << "the layer to edit";
        CMainImageView& view = m_frame->m_view.m_imageView;
        EXPECT_TRUE(view.m_mergedDisplay);
        ASSERT_EQ(view.GetImageWidth(), 40);
        EXPECT_EQ(view.GetBits()[2], 255) << "the merged picture is shown";
        EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
        m_frame->DestroyWindow();
        m_frame = nullptr;
        thePhotoDocument.Clear();
        EXPECT_EQ(thePhotoDocument.m_kit, nullptr);
    }
}

// What is left of menus 128 and 139 neither opens, saves, prints, browses nor
// starts another program; "Save and Exit" leads the menu bar.
TEST_F(KitMode, MenusAreTrimmed)
{
    UseTestKit();
    MakeFrame(("-i \"" + m_layered + "\"").c_str());
    CBitmapMenu& menu = m_frame->m_menuImage;
    int pos = -1;
    for (UINT id : {57601u, 57603u, 57608u, 32881u, 32882u, 32898u, 32900u, 32905u, 32906u, 32872u, 32873u, 32874u})
        EXPECT_EQ(menu.FindMenuItem(id, &pos), nullptr) << id;
    CString text;
    ASSERT_TRUE(menu.GetMenuText(0, text, MF_BYPOSITION));
    EXPECT_EQ(std::string(text.GetString()), theUITextTable.GetText(125));
    EXPECT_EQ(menu.GetMenuItemID(0), 57602u);
    ASSERT_TRUE(menu.GetMenuText(57665, text, MF_BYCOMMAND));
    EXPECT_EQ(std::string(text.GetString()), theUITextTable.GetText(126));
    EXPECT_FALSE(m_frame->m_toolBar.IsWindowVisible());

    CBitmapMenu context;
    ASSERT_TRUE(context.LoadMenu(CMainImageView::kContextMenuId));
    CMainImageView::TrimForKitMode(context.SubMenuAt(0));
    for (UINT id : {57603u, 57601u, 32881u, 32882u})
        EXPECT_EQ(context.FindMenuItem(id, &pos), nullptr) << id;
    for (UINT id : {32776u, 57634u, 57637u, 32784u})
        EXPECT_NE(context.FindMenuItem(id, &pos), nullptr) << id;

    m_frame->RecalcLayout();
    const QImage grab = m_frame->GetWidget()->grab().toImage();
    EXPECT_FALSE(shelltest::SaveGrab(grab, "main_kit_mode").empty());
}

// Save and Exit writes the result by the type of its path; GIF and RAW
// paths write nothing and the editor stays.
TEST_F(KitMode, SaveAndExitByType)
{
    UseTestKit();
    MakeFrame(("-i \"" + m_layered + "\"").c_str());
    ASSERT_TRUE(m_frame->m_kitMode);
    struct Case {
        const char* ext;
        bool writes;
    };
    for (const Case& c : {Case{".bmp", true}, Case{".jpg", true}, Case{".tif", true}, Case{".png", true},
                          Case{".gif", false}, Case{".cr2", false}}) {
        SCOPED_TRACE(c.ext);
        const std::string path = m_folder.Path() + "result" + c.ext;
        std::snprintf(thePhotoDocument.m_path, sizeof thePhotoDocument.m_path, "%s", path.c_str());
        m_frame->m_deleteOnClose = 1;
        EXPECT_EQ(m_frame->SaveAndExitKitMode(), c.writes);
        EXPECT_EQ(fs::exists(path), c.writes);
        EXPECT_EQ(m_frame->m_deleteOnClose, c.writes ? 0 : 1);
    }
    CQLImage back;
    ASSERT_EQ(back.LoadFromFile((m_folder.Path() + "result.bmp").c_str()), 0);
    UINT w = 0, h = 0;
    back.GetSize(&w, &h);
    EXPECT_EQ(w, 40u);
    EXPECT_EQ(back.GetPixel2(1, 0).r, 40);
}

// Closing without Save and Exit deletes the result only when the editor made it.
TEST_F(KitMode, CloseKeepsAResultFileItDidNotMake)
{
    UseTestKit();
    const std::string result = m_layered + ".bmp";
    std::ofstream(result) << "someone else's";
    MakeFrame(("-i \"" + m_layered + "\"").c_str());
    m_frame->SendMessage(WM_CLOSE);
    m_frame = nullptr;
    EXPECT_TRUE(fs::exists(result));
}

// Without QuilloKit the program names the file it looked for and ends with -1.
TEST_F(KitMode, MissingKitEndsTheProgram)
{
    // The message box is titled with the program's name; closing it answers it.
    const shelltest::ProgramRun run =
        shelltest::RunProgramCopy(QUILLO_EDITOR_PROGRAM, m_folder.Path() + "nokit",
                                  "[General]\nUserName=Tester\n[Warning]\nOSCap=0\n", {"-i", "layers.qlk"},
                                  "QuilloEditor");
    EXPECT_TRUE(run.windowFound);
    ASSERT_TRUE(run.ended);
    EXPECT_TRUE(run.normalExit);
    EXPECT_EQ(run.exitCode, 255) << "exit(-1)";
}

}  // namespace
