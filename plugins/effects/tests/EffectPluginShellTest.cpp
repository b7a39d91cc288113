// Both effects as the editor runs them: loaded from the program folder's
// plugins/Creative, in the menus, and through the parameter dialog on the
// algorithm thread (progress, cancel, OK, the grabs).
#include "../../../editor/shell/tests/PhotosTestSupport.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PluginHost.h"
#include "editor/ui/BitmapMenu.h"
#include "editor/ui/EffectDlg.h"
#include "editor/ui/EffectParam.h"
#include "platform/afx/MessageBox.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cstring>
#include <functional>

namespace {

class ProgressEffectDlg : public CEffectDlg {
public:
    using CEffectDlg::CEffectDlg;
    void OnProgress(int percent) override
    {
        progress.push_back(percent);
        CEffectDlg::OnProgress(percent);
    }
    std::vector<int> progress;
};

class EffectPluginShellTest : public photostest::PhotosTest {
protected:
    void SetUp() override
    {
        PhotosTest::SetUp();
        SetPluginRootPath(std::string(QUILLO_PROGRAM_DIR) + "/plugins/");
        thePhotoDocument.m_pluginMenu = PluginMenu{};
    }
    void TearDown() override
    {
        qlafx::SetModalHook({});
        PhotosTest::TearDown();
        UnloadAllPlugins();
        SetPluginRootPath("");
        thePhotoDocument.m_pluginMenu = PluginMenu{};
    }
    const PluginFolder* Creative() const
    {
        for (const auto& child : thePluginTable.root.children)
            if (child->name == "Creative")
                return child.get();
        return nullptr;
    }
    EffectRecord* Record(const char* name)
    {
        const PluginFolder* folder = Creative();
        if (!folder)
            return nullptr;
        for (const auto& module : folder->modules)
            if (module->record && std::strcmp(module->record->name, name) == 0)
                return module->record.get();
        return nullptr;
    }
    void LoadPhoto()
    {
        if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg", &thePhotoDocument.m_image))
            shelltest::MakeImage(&thePhotoDocument.m_image, 320, 240, [](int x, int y) {
                return CPixel{static_cast<BYTE>(x), static_cast<BYTE>(y), static_cast<BYTE>(x ^ y), 255};
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
        for (int i = 0; i < 15000 && !done(); ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(2);
        }
        return done();
    }
    static void SetInt(CEffectDlg* d, const char* label, int value)
    {
        for (EffectParam* p : d->params)
            if (auto* number = dynamic_cast<IntParam*>(p); number && number->label == label)
                number->number = value;
    }
    // Runs the dialog of record with hook doing the work inside it.
    int RunDialog(EffectRecord* record, const std::function<int(ProgressEffectDlg*)>& hook)
    {
        ProgressEffectDlg dialog(m_frame);
        dialog.record = record;
        qlafx::SetModalHook([&](CWnd* shown, const char*, const char*, UINT) -> int {
            auto* d = dynamic_cast<ProgressEffectDlg*>(shown);
            return d ? hook(d) : IDOK;
        });
        const int answer = static_cast<int>(dialog.DoModal());
        qlafx::SetModalHook({});
        return answer;
    }

    CQLImage m_original;
};

TEST_F(EffectPluginShellTest, CreativeMenuHoldsBothEffects)
{
    MakeFrame();
    const PluginFolder* folder = Creative();
    ASSERT_NE(folder, nullptr);
    ASSERT_EQ(folder->modules.size(), 2u);
    EXPECT_STREQ(folder->modules[0]->record->name, "Rain on glass");
    EXPECT_STREQ(folder->modules[1]->record->name, "Sci-fi");
    for (const auto& module : folder->modules) {
        EXPECT_EQ(module->kind, kPluginKindEffect);
        EXPECT_EQ(module->record->ownUI, 0);
        EXPECT_EQ(module->record->reserved, 1);
    }
    const PluginMenu& menus = thePhotoDocument.m_pluginMenu;
    ASSERT_TRUE(menus.m_built);
    ASSERT_NE(menus.m_embedded, nullptr);
    CMenu* creative = nullptr;
    for (int i = 0; i < menus.m_embedded->GetMenuItemCount(); ++i) {
        CString text;
        menus.m_embedded->GetMenuText(i, text, MF_BYPOSITION);
        if (std::strcmp(text.GetString(), "Creative") == 0)
            creative = menus.m_embedded->GetSubMenu(i);
    }
    ASSERT_NE(creative, nullptr);
    ASSERT_EQ(creative->GetMenuItemCount(), 2);
    // Items run their effect: command = key + 1, keys in name order.
    for (int i = 0; i < 2; ++i) {
        const PluginModule* module = FindPluginByKey(thePluginTable.root, static_cast<int>(creative->GetMenuItemID(i)) - 1);
        ASSERT_NE(module, nullptr);
        EXPECT_STREQ(module->record->name, i == 0 ? "Rain on glass" : "Sci-fi");
    }
}

struct DialogCase {
    const char* effect;
    const char* grab;
    std::vector<std::pair<const char*, int>> values;
};

TEST_F(EffectPluginShellTest, DialogPreviewsAndOkPushesOneStep)
{
    MakeFrame();
    const DialogCase cases[] = {
        {"Sci-fi", "plugin_scifi", {{"Radius", 64}, {"Amount", 50}}},
        {"Rain on glass", "plugin_rain", {{"Rain Amount", 50}, {"Fog", 30}}},
    };
    for (const DialogCase& c : cases) {
        LoadPhoto();
        EffectRecord* record = Record(c.effect);
        ASSERT_NE(record, nullptr) << c.effect;
        const int answer = RunDialog(record, [&](ProgressEffectDlg* d) {
            EXPECT_TRUE(PumpUntil([&] { return !d->JobPending(); }));
            for (auto [label, value] : c.values)
                SetInt(d, label, value);
            d->progress.clear();
            d->UpdatePreview();
            EXPECT_TRUE(PumpUntil([&] { return !d->JobPending(); }));
            QCoreApplication::processEvents();
            EXPECT_FALSE(d->progress.empty());
            EXPECT_TRUE(std::is_sorted(d->progress.begin(), d->progress.end())) << c.effect;
            if (!d->progress.empty())
                EXPECT_EQ(d->progress.back(), 100) << c.effect;
            d->SetWindowPos(nullptr, 0, 0, 900, 560, SWP_NOMOVE | SWP_NOZORDER);
            d->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            QCoreApplication::processEvents();
            EXPECT_FALSE(shelltest::SaveGrab(d->GetWidget()->grab().toImage(), c.grab).empty());
            d->SendMessage(WM_COMMAND, IDOK, 0);
            return IDOK;
        });
        EXPECT_EQ(answer, IDOK);
        EXPECT_FALSE(PhotoUnchanged()) << c.effect;
        EXPECT_EQ(Steps(), std::string("Open,") + c.effect + ",");
    }
}

TEST_F(EffectPluginShellTest, CancelLeavesPhotoAndHistory)
{
    MakeFrame();
    for (const char* effect : {"Sci-fi", "Rain on glass"}) {
        LoadPhoto();
        EffectRecord* record = Record(effect);
        ASSERT_NE(record, nullptr) << effect;
        RunDialog(record, [&](ProgressEffectDlg* d) {
            // Cancel while the first preview still runs.
            d->SendMessage(WM_COMMAND, IDCANCEL, 0);
            EXPECT_FALSE(d->JobPending());
            return IDCANCEL;
        });
        EXPECT_TRUE(PhotoUnchanged()) << effect;
        EXPECT_EQ(Steps(), "Open,");
    }
}

} // namespace
