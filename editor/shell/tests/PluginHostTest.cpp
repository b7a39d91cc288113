#include "PluginTestSupport.h"

#include "editor/shell/PaintToolHost.h"
#include "editor/shell/PluginHost.h"
#include "platform/afx/GdiObjects.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <cstring>

namespace {

using plugintest::PluginTreeTest;

class PluginHostTest : public PluginTreeTest {};

const char* NameOfKey(int key)
{
    const PluginModule* plugin = FindPluginByKey(thePluginTable.root, key);
    return plugin && plugin->record ? plugin->record->name : nullptr;
}

TEST_F(PluginHostTest, KeysFollowNamesNotFileOrder)
{
    // The file of "B" sorts first by file name; keys still go by record name.
    Place("test_effect_b", "Tone/a.qli");
    Place("test_effect_a", "Tone/b.qli");
    EXPECT_EQ(LoadAllPlugins(nullptr), 0);
    ASSERT_EQ(thePluginTable.root.children.size(), 1u);
    const PluginFolder& tone = *thePluginTable.root.children[0];
    EXPECT_EQ(tone.name, "Tone");
    EXPECT_EQ(tone.keys, (std::vector<int>{2000, 2001}));
    EXPECT_STREQ(NameOfKey(2000), "A");
    EXPECT_STREQ(NameOfKey(2001), "B");
    EXPECT_EQ(CountPlugins(thePluginTable.root), 2);
    EXPECT_EQ(FindPluginByKey(thePluginTable.root, 2002), nullptr);
}

TEST_F(PluginHostTest, RecordIsFilledAndItsTextsTerminated)
{
    Place("test_ownui_result", "mirror.qli");
    LoadAllPlugins(nullptr);
    const PluginModule* plugin = FindPluginByKey(thePluginTable.root, 2000);
    ASSERT_NE(plugin, nullptr);
    const EffectRecord& record = *plugin->record;
    uint32_t bits;
    std::memcpy(&bits, &record.version, 4);
    EXPECT_EQ(bits, 0x40D9999Au);
    EXPECT_EQ(record.charset, 0);
    EXPECT_EQ(record.module, plugin->module);
    EXPECT_STREQ(record.name, "Mirror");
    EXPECT_EQ(std::strlen(record.description), 255u);
    EXPECT_NE(record.ownUI, 0);
}

TEST_F(PluginHostTest, WhatLoadsWhere)
{
    // An effect directly in plugins/ has a key; a paint tool in a folder is
    // unloaded; a folder holding only an empty folder and "." folders drop.
    Place("test_effect_a", "top.QLI");
    Place("test_paint_tool", "Tools/paint.qli");
    Place("test_effect_b", ".hidden/b.qli");
    MakeFolder("Shell/Empty");
    Place("test_no_entry", "Deep/none.qli");
    Place("test_wrong_kind", "Deep/odd.qli");
    Place("test_effect_b", "Deep/Er/b.qli");
    LoadAllPlugins(nullptr);
    const PluginFolder& root = thePluginTable.root;
    // Deep is searched before top.QLI.
    ASSERT_EQ(root.modules.size(), 1u);
    EXPECT_EQ(root.keys[0], 2001);
    EXPECT_STREQ(root.modules[0]->record->name, "A");
    ASSERT_EQ(root.children.size(), 1u);
    EXPECT_EQ(root.children[0]->name, "Deep");
    EXPECT_TRUE(root.children[0]->modules.empty());
    ASSERT_EQ(root.children[0]->children.size(), 1u);
    EXPECT_EQ(root.children[0]->children[0]->name, "Deep/Er");
    EXPECT_EQ(root.children[0]->children[0]->LastComponent(), "Er");
    EXPECT_EQ(root.children[0]->children[0]->keys, std::vector<int>{2000});
    EXPECT_EQ(CountPlugins(root), 2);
    EXPECT_TRUE(thePluginTable.paintTools.empty());
}

TEST_F(PluginHostTest, PaintToolsLoadOnlyFromTheTop)
{
    Place("test_paint_tool", "daub.qli");
    Place("test_paint_refuses", "refuses.qli");
    Place("test_effect_a", "Sub/a.qli");
    // Without a splash nothing is sent; loading still works.
    LoadAllPlugins(nullptr);
    EXPECT_EQ(thePluginTable.paintTools.size(), 2u);
    for (const auto& tool : thePluginTable.paintTools)
        EXPECT_EQ(tool->kind, kPluginKindPaintTool);
    EXPECT_EQ(CountPlugins(thePluginTable.root), 1);
    UnloadAllPlugins();
    EXPECT_TRUE(thePluginTable.paintTools.empty());
    EXPECT_EQ(CountPlugins(thePluginTable.root), 0);
}

TEST_F(PluginHostTest, PaintToolPicturesComeFromItsOwnModule)
{
    // The tool has icon 128 and bitmap 140, as the program does, in its own
    // colours; the program's bitmap 143 is not the tool's.
    Place("test_paint_tool", "test_paint_tool.qli");
    LoadAllPlugins(nullptr);
    ASSERT_EQ(thePluginTable.paintTools.size(), 1u);
    const PluginModule& tool = *thePluginTable.paintTools[0];
    PaintToolRecord record;
    std::memset(&record, 0, sizeof record);
    BYTE colour[4] = {};
    PreparePaintToolRecord(record, tool.module, colour);
    ASSERT_EQ(tool.entry(kPluginFillRecord, &record, nullptr), 0);
    const QImage own = qlafx::IconImage(record.icon, nullptr);
    ASSERT_EQ(own.size(), QSize(16, 16));
    EXPECT_EQ(own.pixel(3, 3), qRgb(255, 0, 255));
    EXPECT_EQ(record.icon2, nullptr) << "the tool has no icon 129";
    const QImage program = qlafx::IconImage(LoadIcon(AfxGetInstanceHandle(), MAKEINTRESOURCE(128)), nullptr);
    ASSERT_FALSE(program.isNull());
    EXPECT_NE(program.pixel(3, 3), own.pixel(3, 3));

    struct Case {
        HINSTANCE instance;
        UINT id;
        bool found;
        int width;
    };
    const Case cases[] = {{tool.module, 140, true, 8}, {tool.module, 143, false, 0}, {nullptr, 143, true, -1}};
    for (const Case& c : cases) {
        HBITMAP bitmap = LoadBitmap(c.instance, MAKEINTRESOURCE(c.id));
        EXPECT_EQ(bitmap != nullptr, c.found) << c.id;
        if (!bitmap)
            continue;
        BITMAP info{};
        GetObject(bitmap, sizeof info, &info);
        if (c.width > 0)
            EXPECT_EQ(info.bmWidth, c.width);
        DeleteObject(bitmap);
    }
    UnloadAllPlugins();
}

TEST_F(PluginHostTest, TreeLoadsWithoutTopLevelFiles)
{
    Place("test_effect_a", "Only/a.qli");
    LoadAllPlugins(nullptr);
    EXPECT_STREQ(NameOfKey(2000), "A");
}

TEST_F(PluginHostTest, MissingFolderGivesAnEmptyTable)
{
    SetPluginRootPath(m_root + "absent/");
    EXPECT_EQ(LoadAllPlugins(nullptr), 0);
    EXPECT_EQ(CountPlugins(thePluginTable.root), 0);
    EXPECT_EQ(ScanPluginFolder(thePluginTable.root, "", nullptr, 2000), 0);
}

TEST_F(PluginHostTest, LoadPluginFailures)
{
    Place("test_no_entry", "none.qli");
    struct Case {
        std::string path;
        HRESULT result;
    };
    const Case cases[] = {
        {m_root + "none.qli", E_FAIL},
        {m_root + "missing.qli", E_FAIL},
        {std::string(QUILLO_TEST_PLUGIN_DIR) + "/test_wrong_kind.qli", 0},
    };
    for (const Case& c : cases) {
        PluginModule holder;
        EXPECT_EQ(LoadPlugin(holder, c.path.c_str()), c.result) << c.path;
    }
}

TEST_F(PluginHostTest, SplashHearsTheProgress)
{
    // The splash's own drawing is tested with it; here a plain window that
    // records what message 1034 brings.
    struct Recorder : public CWnd {
        std::vector<std::string> texts;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_USER + 10) {
                texts.emplace_back(reinterpret_cast<const char*>(lParam));
                return 0;
            }
            return CWnd::WindowProc(message, wParam, lParam);
        }
    } recorder;
    ASSERT_TRUE(recorder.CreateEx(0, "Static", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    Place("test_paint_tool", "daub.qli");
    Place("test_effect_a", "Sub/a.qli");
    LoadAllPlugins(recorder.m_hWnd);
    EXPECT_EQ(recorder.texts, (std::vector<std::string>{"Loding plugins ...", "daub.qli", "a.qli", ""}));
    recorder.DestroyWindow();
}

}  // namespace
