// The frame's plug-in commands on a temporary plugins/ tree: the range it
// takes, the manager, own-interface runs, effects through the parameter
// dialog, and the menus built from the table.
#include "PhotosTestSupport.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PluginHost.h"
#include "editor/ui/BitmapMenu.h"
#include "editor/ui/EffectDlg.h"
#include "platform/afx/MessageBox.h"

#include <QCoreApplication>
#include <QMenu>
#include <QThread>

#include <cstring>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

class PluginCommandsTest : public photostest::PhotosTest {
protected:
    void SetUp() override
    {
        PhotosTest::SetUp();
        m_root = m_folder.Path() + "plugins/";
        fs::create_directories(m_root);
        SetPluginRootPath(m_root);
        // Each test builds the menus from its own table.
        thePhotoDocument.m_pluginMenu = PluginMenu{};
    }
    void TearDown() override
    {
        PhotosTest::TearDown();
        UnloadAllPlugins();
        SetPluginRootPath("");
        thePhotoDocument.m_pluginMenu = PluginMenu{};
    }
    void Place(const char* fixture, const std::string& place)
    {
        const fs::path target = m_root + place;
        fs::create_directories(target.parent_path());
        fs::copy_file(std::string(QUILLO_TEST_PLUGIN_DIR) + "/" + fixture + ".qli", target);
    }
    void LoadPhoto()
    {
        if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/Canon_40D.jpg", &thePhotoDocument.m_image))
            shelltest::MakeImage(&thePhotoDocument.m_image, 64, 48, [](int x, int y) {
                return CPixel{static_cast<BYTE>(x * 4), static_cast<BYTE>(y * 5), 90, 255};
            });
        thePhotoDocument.m_history.Reset();
        thePhotoDocument.m_history.Push(&thePhotoDocument.m_image, "Open");
        m_original.DuplicateFrom(&thePhotoDocument.m_image);
    }
    bool PhotoUnchanged() const
    {
        const CQLImage& now = thePhotoDocument.m_image;
        return now.GetAreaByteSize() == m_original.GetAreaByteSize() &&
               std::memcmp(now.GetBuffer(0, 0), m_original.GetBuffer(0, 0), now.GetAreaByteSize()) == 0;
    }
    std::string Steps() const
    {
        char names[512];
        return thePhotoDocument.m_history.GetActionText(sizeof names, names);
    }
    static bool PumpUntil(const std::function<bool()>& done)
    {
        for (int i = 0; i < 5000 && !done(); ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(2);
        }
        return done();
    }

    std::string m_root;
    CQLImage m_original;
};

TEST_F(PluginCommandsTest, ManagerRunsWithoutPlugins)
{
    MakeFrame();
    EXPECT_EQ(CountPlugins(thePluginTable.root), 0);
    EXPECT_TRUE(Enabled(2000));
    EXPECT_TRUE(Enabled(2001));
    m_dialogAnswer = IDCANCEL;
    Command(2000);
    EXPECT_EQ(m_dialogs, std::vector<std::string>{"Plugins Management"});
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(PluginCommandsTest, RangeIsTheFramesAndItsLastIdDoesNothing)
{
    Place("test_ownui_result", "Fx/mirror.qli");
    MakeFrame();
    LoadPhoto();
    // Enabled even without a photo.
    thePhotoDocument.Clear();
    EXPECT_TRUE(Enabled(2001));
    EXPECT_TRUE(Enabled(2002));
    LoadPhoto();
    Command(2002);
    EXPECT_TRUE(PhotoUnchanged());
    EXPECT_EQ(thePhotoDocument.m_history.GetCount(), 1);
    EXPECT_TRUE(m_dialogs.empty());
}

TEST_F(PluginCommandsTest, OwnInterfaceRuns)
{
    Place("test_ownui_result", "Fx/mirror.qli");
    Place("test_ownui_none", "Fx/nothing.qli");
    MakeFrame();
    LoadPhoto();
    // Keys by name: "Mirror" 2000, "Nothing" 2001.
    Command(2002);
    EXPECT_TRUE(PhotoUnchanged());
    EXPECT_EQ(Steps(), "Open,");
    Command(2001);
    EXPECT_FALSE(PhotoUnchanged());
    UINT w = 0, h = 0;
    m_original.GetSize(&w, &h);
    EXPECT_EQ(std::memcmp(thePhotoDocument.m_image.GetBuffer(0, 0), m_original.GetBuffer(w - 1, 0), 4), 0);
    EXPECT_EQ(Steps(), "Open,Mirror,");
    EXPECT_EQ(FindPluginByKey(thePluginTable.root, 2000)->record->codec, nullptr);
}

TEST_F(PluginCommandsTest, EffectRunsThroughTheParameterDialog)
{
    Place("test_effect_a", "Fx/a.qli");
    MakeFrame();
    LoadPhoto();
    bool grabbed = false;
    for (int answer : {IDCANCEL, IDOK}) {
        qlafx::SetModalHook([&](CWnd* dialog, const char*, const char*, UINT) -> int {
            auto* d = dynamic_cast<CEffectDlg*>(dialog);
            if (!d)
                return IDOK;
            EXPECT_TRUE(PumpUntil([&] { return !d->JobPending(); }));
            QCoreApplication::processEvents();
            // Amount 100 over all channels inverts.
            const BYTE* before = m_original.GetBuffer(3, 3);
            const BYTE* after = d->result.GetBuffer(3, 3);
            EXPECT_EQ(after[0], 255 - before[0]);
            EXPECT_EQ(after[2], 255 - before[2]);
            if (!grabbed) {
                d->SetWindowPos(nullptr, 0, 0, 760, 460, SWP_NOMOVE | SWP_NOZORDER);
                d->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                QCoreApplication::processEvents();
                EXPECT_FALSE(shelltest::SaveGrab(d->GetWidget()->grab().toImage(), "effect_plugin_dialog").empty());
                grabbed = true;
            }
            d->SendMessage(WM_COMMAND, answer, 0);
            return answer;
        });
        Command(2001);
        if (answer == IDCANCEL) {
            EXPECT_TRUE(PhotoUnchanged());
            EXPECT_EQ(Steps(), "Open,");
        }
    }
    EXPECT_FALSE(PhotoUnchanged());
    EXPECT_EQ(Steps(), "Open,A,");
}

TEST_F(PluginCommandsTest, EffectIsCancelledThroughTheHost)
{
    Place("test_effect_a", "Fx/a.qli");
    MakeFrame();
    LoadPhoto();
    CEffectDlg dialog(nullptr);
    dialog.record = FindPluginByKey(thePluginTable.root, 2000)->record.get();
    dialog.host.apply = dialog.record->apply;
    CQLImage target;
    dialog.host.SetImages(&thePhotoDocument.m_image, &target);
    const std::string values = "'Amount'='100';'Channels'='Red only';";
    dialog.host.Cancel();
    EXPECT_NE(dialog.record->apply(values.c_str(), &dialog.host), 0);
    EXPECT_EQ(dialog.record->apply(values.c_str(), &dialog.host), 0);
    const BYTE* before = m_original.GetBuffer(2, 2);
    const BYTE* after = target.GetBuffer(2, 2);
    EXPECT_EQ(after[0], before[0]);
    EXPECT_EQ(after[2], 255 - before[2]);
}

TEST_F(PluginCommandsTest, MenusHoldTheTree)
{
    Place("test_effect_b", "b.qli");
    Place("test_effect_a", "Tone/Deep/a.qli");
    Place("test_ownui_result", "Tone/m.qli");
    MakeFrame();
    const PluginMenu& menus = thePhotoDocument.m_pluginMenu;
    ASSERT_TRUE(menus.m_built);
    for (CBitmapMenu* menu : {menus.m_popup, menus.m_embedded}) {
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(menu->GetMenuItemCount(), 3);
        EXPECT_EQ(menu->GetMenuItemID(0), 2000u);
        EXPECT_EQ(menu->GetMenuItemID(1), 2001u); // "B" directly in plugins/
        CString text;
        menu->GetMenuText(2, text, MF_BYPOSITION);
        EXPECT_STREQ(text.GetString(), "Tone");
        CMenu* tone = menu->GetSubMenu(2);
        ASSERT_NE(tone, nullptr);
        ASSERT_EQ(tone->GetMenuItemCount(), 2);
        // Tone/Deep is searched before Tone/m.qli, so "A" has the lower key.
        EXPECT_EQ(tone->GetMenuItemID(0), 2003u); // "Mirror"
        CMenu* deep = tone->GetSubMenu(1);
        ASSERT_NE(deep, nullptr);
        EXPECT_EQ(deep->GetMenuItemID(0), 2002u); // "A" below Tone/Deep
    }
    // The image menu holds the embedded pop-up before "Color Theme".
    int position = -1;
    CBitmapMenu* holder = m_frame->m_menuImage.FindMenuItem(32839, &position);
    ASSERT_NE(holder, nullptr);
    ASSERT_GT(position, 0);
    EXPECT_EQ(holder->GetSubMenu(position - 1)->GetSafeHmenu(), menus.m_embedded->m_hMenu);
    CString text;
    holder->GetMenuText(position - 1, text, MF_BYPOSITION);
    EXPECT_STREQ(text.GetString(), "Effects Plugins");

    // The pop-up as it opens.
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) -> UINT {
        shown->adjustSize();
        EXPECT_FALSE(shelltest::SaveGrab(shown->grab().toImage(), "plugin_menu").empty());
        return 0;
    });
    holder->GetSubMenu(position - 1)->TrackPopupMenu(TPM_RETURNCMD, 0, 0, m_frame);
    qlafx::SetPopupMenuHook({});
}

}  // namespace
