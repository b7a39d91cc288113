// The three tools in the paint window: their cells in the tool panel and one
// stroke of each on a camera photo.
#include "editor/shell/tests/ShellWindowsTestSupport.h"

#include "editor/retouch/PaintHost.h"
#include "editor/retouch/PaintState.h"
#include "editor/shell/PhotoDocument.h"
#include "editor/shell/PluginHost.h"
#include "editor/shell/ViewContainer.h"
#include "editor/ui/HintWnd.h"

#include <QWidget>

#include <array>

#include <cstring>
#include <memory>
#include <string>

namespace {

int32_t Colour(BYTE b, BYTE g, BYTE r)
{
    const BYTE bytes[4] = {b, g, r, 0};
    int32_t out;
    std::memcpy(&out, bytes, 4);
    return out;
}

class PaintToolWindow : public shelltest::ShellWindowsTest {
protected:
    void SetUp() override
    {
        ShellWindowsTest::SetUp();
        WriteProfile("[TipOnce]\nPaintMode=0\n");
        for (const char* name : {"QuilloTint.qli", "QuilloStamp.qli", "QuilloSketch.qli"}) {
            auto module = std::make_unique<PluginModule>();
            ASSERT_EQ(LoadPlugin(*module, (std::string(QUILLO_PAINT_TOOLS_DIR) + "/" + name).c_str()), 0) << name;
            thePluginTable.paintTools.push_back(std::move(module));
        }
        ASSERT_TRUE(m_frame.CreateParent(0, 0, 900, 700));
        m_app.m_pMainWnd = &m_frame;
        ASSERT_TRUE(m_hint.Create("", &m_frame));
        g_hintWnd = &m_hint;
        m_container = std::make_unique<CViewContainer>();
        ASSERT_TRUE(m_container->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, RECT{0, 0, 900, 650}, &m_frame,
                                        CViewContainer::kId));
    }
    void TearDown() override
    {
        m_container.reset();
        g_hintWnd = nullptr;
        m_app.m_pMainWnd = nullptr;
        thePluginTable.paintTools.clear();
        ShellWindowsTest::TearDown();
    }
    CPaintCanvas& Canvas() { return m_container->m_canvas; }
    CPaintToolPanel& Panel() { return m_container->m_panel; }
    // The plug-in cells in load order.
    std::vector<const PaintToolEntry*> ToolCells()
    {
        std::vector<const PaintToolEntry*> out;
        for (const PaintToolEntry& entry : Panel().Entries()) {
            if (Panel().FindToolRecord(entry.id))
                out.push_back(&entry);
        }
        return out;
    }
    void Select(const PaintToolEntry& entry)
    {
        Panel().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((entry.rect.left + entry.rect.right) / 2,
                                                                    (entry.rect.top + entry.rect.bottom) / 2));
        Panel().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM((entry.rect.left + entry.rect.right) / 2,
                                                         (entry.rect.top + entry.rect.bottom) / 2));
        ASSERT_EQ(Panel().GetCurrentToolId(), entry.id);
    }
    void Drag(std::initializer_list<POINT> imagePoints, UINT keys = 0)
    {
        bool first = true;
        POINT last{};
        for (POINT p : imagePoints) {
            last = Canvas().ImageToView(p.x, p.y);
            Canvas().SendMessage(first ? WM_LBUTTONDOWN : WM_MOUSEMOVE, MK_LBUTTON | keys, MAKELPARAM(last.x, last.y));
            first = false;
        }
        Canvas().SendMessage(WM_LBUTTONUP, keys, MAKELPARAM(last.x, last.y));
    }

    skintest::CParentWnd m_frame;
    CHintWnd m_hint;
    std::unique_ptr<CViewContainer> m_container;
};

TEST_F(PaintToolWindow, ThreeCellsWithIconsAndTooltips)
{
    const auto cells = ToolCells();
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_STREQ(cells[0]->tooltip, "Color/Decolor\nPress 'Ctrl' for decolor");
    EXPECT_STREQ(cells[1]->tooltip, "Smudge Tool");
    EXPECT_STREQ(cells[2]->tooltip, "QuilloSketch\nPress 'Ctrl' for ruling pen");
    for (const PaintToolEntry* cell : cells) {
        EXPECT_EQ(cell->selectable, 1);
        EXPECT_EQ(cell->rect.right - cell->rect.left, 30);
        const PaintToolRecord* record = Panel().FindToolRecord(cell->id);
        ASSERT_NE(record, nullptr);
        EXPECT_NE(record->icon, nullptr);
    }
}

TEST_F(PaintToolWindow, GrabOfOneStrokeOfEachTool)
{
    if (!shelltest::LoadCorpusPhoto("exif-samples/jpg/hdr/canon_hdr_NO.jpg", &thePhotoDocument.m_image))
        GTEST_SKIP() << "corpus photo absent";
    Canvas().SetImage(&thePhotoDocument.m_image, TRUE);
    Canvas().InitUndoStore();
    Canvas().SendMessage(WM_COMMAND, 0x9002, 0); // 50 %
    ASSERT_DOUBLE_EQ(thePaintState.view.scale, 2.0);
    UINT w = 0, h = 0;
    thePhotoDocument.m_image.GetSize(&w, &h);
    const int W = static_cast<int>(w), H = static_cast<int>(h);
    const auto cells = ToolCells();
    ASSERT_EQ(cells.size(), 3u);

    // A recoloured patch.
    Select(*cells[0]);
    Panel().SetForegroundColour(Colour(0xD0, 0x40, 0x20)); // blue
    for (int y = H * 5 / 8; y < H * 7 / 8; y += 10)
        Drag({{W / 10, y}, {W * 3 / 10, y}});
    // A smudge across the photo's brightest edge: down the middle.
    Select(*cells[1]);
    for (int x = W * 4 / 10; x < W * 6 / 10; x += W / 40)
        Drag({{x, H / 6}, {x + W / 60, H / 2}});
    // A ruled horizontal line in orange.
    Select(*cells[2]);
    Panel().SetForegroundColour(Colour(0x00, 0x80, 0xFF));
    Drag({{W * 4 / 10, H * 3 / 4}, {W * 5 / 10, H * 3 / 4 + 3}, {W * 7 / 10, H * 3 / 4 + 60}}, MK_CONTROL);
    const CPixel end = thePhotoDocument.m_image.GetPixel2(W * 7 / 10, H * 3 / 4);
    EXPECT_EQ((std::array<int, 3>{end.b, end.g, end.r}), (std::array<int, 3>{0x00, 0x80, 0xFF}));
    const QImage grab = m_container->GetWidget()->grab().toImage();
    EXPECT_FALSE(shelltest::SaveGrab(grab, "paint_tools").empty());
}

} // namespace
