// The demo program's frame: menu bar, tool bar, pane, the owner-drawn
// right-button menu and the property sheet command.
#include "platform/afx/demo/DemoFrame.h"

#include "WndTestSupport.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/WinThread.h"

#include <QMenu>
#include <QMenuBar>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

class FrameDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_frame = new CDemoFrame;
        ASSERT_TRUE(m_frame->LoadFrame(IDR_DEMO_FRAME));
        m_hwnd = m_frame->m_hWnd;
        m_frame->MoveWindow(0, 0, 480, 360);
        m_frame->ShowWindow(SW_SHOW);
        qlafx::ProcessPendingEvents();
    }
    void TearDown() override
    {
        qlafx::SetPopupMenuHook({});
        qlafx::SetModalHook({});
        if (IsWindow(m_hwnd))
            ::DestroyWindow(m_hwnd);
    }
    CDemoFrame* m_frame = nullptr;
    HWND m_hwnd = nullptr;
};

TEST_F(FrameDemo, ShowsMenuBarToolBarAndPane)
{
    QMenuBar* bar = qlafx::MenuBarOf(m_hwnd);
    ASSERT_NE(bar, nullptr);
    QStringList titles;
    for (QAction* a : bar->actions())
        titles << a->text();
    EXPECT_EQ(titles, QStringList({"&File", "&View", "&Help"}));
    EXPECT_EQ(m_frame->m_toolBar.GetCount(), 4);
    EXPECT_EQ(m_frame->GetDlgItem(AFX_IDW_PANE_FIRST), &m_frame->m_view);

    const QImage grab = m_frame->GetWidget()->grab().toImage();
    ASSERT_FALSE(grab.isNull());
    ASSERT_TRUE(grab.save(QLAFX_DEMO_FRAME_GRAB));
    std::printf("demo frame grab: %s\n", QLAFX_DEMO_FRAME_GRAB);
}

TEST_F(FrameDemo, GridCommandIsCheckedInMenuAndToolBar)
{
    HMENU view = GetSubMenu(GetMenu(m_hwnd), 1);
    for (BOOL grid : {TRUE, FALSE}) {
        EXPECT_EQ(m_frame->m_view.m_grid, grid);
        UINT state = 0;
        qlafx::SetPopupMenuHook([&](HMENU menu, QMenu*) {
            state = GetMenuState(menu, ID_DEMO_GRID, MF_BYCOMMAND);
            return 0u;
        });
        TrackPopupMenu(view, TPM_RETURNCMD, 0, 0, 0, m_hwnd, nullptr);
        EXPECT_EQ(state & MF_CHECKED, grid ? MF_CHECKED : 0u);
        m_frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        EXPECT_EQ(m_frame->m_toolBar.SendMessage(TB_ISBUTTONCHECKED, ID_DEMO_GRID) != 0, grid != FALSE);
        m_frame->SendMessage(WM_COMMAND, ID_DEMO_GRID);
    }
}

TEST_F(FrameDemo, RightButtonMenuShowsSwatchesAndSetsTheColour)
{
    std::vector<QColor> swatches;
    qlafx::SetPopupMenuHook([&](HMENU, QMenu* shown) {
        for (QAction* a : shown->actions())
            if (auto* wa = qobject_cast<QWidgetAction*>(a)) {
                QWidget* w = wa->defaultWidget();
                w->resize(w->sizeHint());
                swatches.push_back(w->grab().toImage().pixelColor(16, w->height() / 2));
            }
        return ID_DEMO_COLOUR_FIRST + 1;
    });
    m_frame->m_view.ShowSwatchMenu(CPoint(20, 20));
    ASSERT_EQ(swatches.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        const COLORREF c = CDemoSwatchMenu::kColours[i];
        EXPECT_EQ(swatches[i], QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
    }
    EXPECT_EQ(m_frame->m_view.m_colour, CDemoSwatchMenu::kColours[1]);
}

TEST_F(FrameDemo, PropertiesCommandOpensTheSheet)
{
    std::string caption;
    qlafx::SetModalHook([&](CWnd* dialog, const char* text, const char*, UINT) {
        if (dialog)
            caption = text ? text : "";
        return IDCANCEL;
    });
    m_frame->SendMessage(WM_COMMAND, ID_DEMO_PROPERTIES);
    EXPECT_EQ(caption, "Demo properties");
    EXPECT_EQ(m_frame->m_lastSheetResult, IDCANCEL);
}

}  // namespace
