// The skinned controls on the desktop: the disabled check box label greyed,
// the focus mark on the skinned check box and slider, Tab through the skin
// demo, and the zoom view's selection keys from the keypad.
#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"
#include "editor/ui/ZoomView.h"
#include "editor/ui/demo/SkinDemoDialog.h"
#include "editor/ui/demo/res/SkinDemoResources.h"

#include <QApplication>
#include <QKeyEvent>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

// The skin demo dialog over the generated skin, with a user name given.
class SkinDemo : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        const std::string profile = m_folder.Path() + "Quillo.ini";
        std::ofstream(profile) << "[General]\nUserName=Demo\n";
        m_app = std::make_unique<CWinApp>("Quillo");
        m_app->m_pszProfileName = strdup(profile.c_str());
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      QUILLO_PROGRAM_DIR);
        theAppSettings.LoadProfileAndSkin();
        ::SetCursorPos(3000, 3000);
        ASSERT_TRUE(m_dlg.Create(IDD_SKIN_DEMO));
        m_dlg.ShowWindow(SW_SHOW);
        qlafx::ProcessPendingEvents();
    }
    void TearDown() override
    {
        m_dlg.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    HWND Item(UINT id) { return ::GetDlgItem(m_dlg, static_cast<int>(id)); }
    QImage Surface(UINT id)
    {
        ::InvalidateRect(Item(id), nullptr, TRUE);
        return skintest::SurfaceOf(Item(id));
    }

    skintest::TempFolder m_folder;
    std::unique_ptr<CWinApp> m_app;
    CSkinDemoDialog m_dlg;
};

// The darkest grey level of the label, right of the 16-pixel glyph.
int DarkestInLabel(const QImage& img)
{
    int darkest = 255;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 18; x < img.width(); ++x)
            darkest = std::min(darkest, qGray(img.pixel(x, y)));
    return darkest;
}

TEST_F(SkinDemo, DisabledCheckBoxLabelIsGreyed)
{
    const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
    const int greyLevel = qGray(GetRValue(grey), GetGValue(grey), GetBValue(grey));
    const int locked = DarkestInLabel(Surface(IDC_DEMO_LOCKED)), snap = DarkestInLabel(Surface(IDC_DEMO_SNAP));
    EXPECT_LT(snap, 40) << "an enabled label is black";
    EXPECT_GE(locked, greyLevel - 10) << "a disabled label is no darker than the grey text colour";
    EXPECT_LT(locked, 230) << "a disabled label is still drawn";
}

TEST_F(SkinDemo, FocusedSkinnedControlsShowAFocusMark)
{
    for (UINT id : {static_cast<UINT>(IDC_DEMO_SNAP), static_cast<UINT>(IDC_DEMO_STRENGTH)}) {
        ::SetFocus(Item(IDCANCEL));
        const QImage before = Surface(id);
        ::SetFocus(Item(id));
        ASSERT_EQ(::GetFocus(), Item(id));
        const QImage focused = Surface(id);
        EXPECT_NE(before, focused) << id;
        ::SetFocus(Item(IDCANCEL));
        EXPECT_EQ(Surface(id), before) << id << ": the mark goes with the focus";
    }
}

TEST_F(SkinDemo, TabMovesThroughTheSkinnedControls)
{
    ::SetFocus(Item(IDC_DEMO_GRID));
    QWidget* w = qlafx::WidgetOf(Item(IDC_DEMO_GRID));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, "\t");
    QApplication::sendEvent(w, &release);
    EXPECT_EQ(::GetFocus(), Item(IDC_DEMO_SNAP));
}

void AltKey(HWND focus, int key, const char* text)
{
    QWidget* w = qlafx::WidgetOf(focus);
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QApplication::sendEvent(w, &alt);
    QKeyEvent press(QEvent::KeyPress, key, Qt::AltModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::AltModifier, text);
    QApplication::sendEvent(w, &release);
    QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QApplication::sendEvent(w, &altUp);
}

TEST_F(SkinDemo, MnemonicsReachTheSkinnedControls)
{
    ::SetFocus(Item(IDC_DEMO_APPLY));
    const UINT grid = m_dlg.IsDlgButtonChecked(IDC_DEMO_GRID);
    AltKey(::GetFocus(), Qt::Key_G, "g");
    qlafx::ProcessPendingEvents();
    EXPECT_NE(m_dlg.IsDlgButtonChecked(IDC_DEMO_GRID), grid);
    // The skinned boxes are owner-drawn buttons, which the dialog manager
    // presses like push buttons: the focus stays where it was.
    EXPECT_EQ(::GetFocus(), Item(IDC_DEMO_APPLY));
    AltKey(::GetFocus(), Qt::Key_L, "l");
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_dlg.IsDlgButtonChecked(IDC_DEMO_LARGE), static_cast<UINT>(BST_CHECKED));
}

class ZoomKeypad : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::snprintf(theAppSettings.m_programFolder, sizeof theAppSettings.m_programFolder, "%s/",
                      QUILLO_PROGRAM_DIR);
        ASSERT_TRUE(m_parent.CreateParent(0, 0, 300, 200));
        ASSERT_TRUE(m_view.Create("Preview", RECT{0, 0, 200, 130}, &m_parent, 4097));
        ASSERT_EQ(m_image.Create(100, 80), 0);
        m_view.SetImage(&m_image, FALSE);
    }
    void TearDown() override
    {
        m_view.DestroyWindow();
        m_parent.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    skintest::CParentWnd m_parent;
    ZoomView m_view;
    CQLImage m_image;
};

TEST_F(ZoomKeypad, KeypadArrowsMoveTheSelectionAsTheArrowKeysDo)
{
    struct Case {
        const char* name;
        UINT scan;
        bool extended;
        int left;
    } cases[] = {
        {"arrow key", 0x4B, true, 5},
        {"keypad 4 without Num Lock", 0x4B, false, 5},
        {"a key of neither kind", 0x00, false, 10},
    };
    for (const Case& c : cases) {
        m_view.SetSelection(10, 10, 40, 30, TRUE);
        m_view.SendMessage(WM_KEYDOWN, VK_LEFT, 1 | (c.scan << 16) | (c.extended ? 1u << 24 : 0u));
        RECT r;
        m_view.GetSelection(&r);
        EXPECT_EQ(r.left, c.left) << c.name;
    }
}

}  // namespace
