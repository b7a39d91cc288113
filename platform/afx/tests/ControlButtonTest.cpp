#include "ControlTestSupport.h"

#include <gtest/gtest.h>

using ctltest::ControlTest;
using ctltest::PixelOf;

namespace {

struct CtlColorCase {
    const char* name;
    DWORD style;
    UINT kind;
    int probeX, probeY;  // a background pixel of the control
};

class ButtonCtlColor : public ControlTest, public ::testing::WithParamInterface<CtlColorCase> {};

TEST_P(ButtonCtlColor, AsksParentWithKindAndPaintsItsBrush)
{
    const CtlColorCase& c = GetParam();
    HWND button = ctltest::MakeControl(m_parent, "Button", "Text", c.style, 7, {10, 10, 130, 50});
    ASSERT_NE(button, nullptr);
    const QImage img = ctltest::SurfaceAfterPaint(button);
    ASSERT_FALSE(img.isNull());
    bool asked = false;
    for (const auto& call : m_parent.m_ctlColors)
        asked |= call.control == button && call.kind == c.kind;
    EXPECT_TRUE(asked) << c.name;
    EXPECT_EQ(PixelOf(img, c.probeX, c.probeY), m_parent.m_brushColor) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Kinds, ButtonCtlColor,
                         ::testing::Values(CtlColorCase{"push", BS_PUSHBUTTON, CTLCOLOR_BTN, 0, 0},
                                           CtlColorCase{"defpush", BS_DEFPUSHBUTTON, CTLCOLOR_BTN, 0, 0},
                                           CtlColorCase{"check", BS_AUTOCHECKBOX, CTLCOLOR_STATIC, 118, 3},
                                           CtlColorCase{"3state", BS_3STATE, CTLCOLOR_STATIC, 118, 3},
                                           CtlColorCase{"radio", BS_AUTORADIOBUTTON, CTLCOLOR_STATIC, 118, 3},
                                           CtlColorCase{"groupbox", BS_GROUPBOX, CTLCOLOR_STATIC, 60, 25}),
                         [](const auto& info) { return std::string(info.param.name); });

using OwnerDraw = ControlTest;

TEST_F(OwnerDraw, ItemStateFollowsPressFocusAndEnable)
{
    HWND button = ctltest::MakeControl(m_parent, "Button", "", BS_OWNERDRAW | WS_TABSTOP, 9);
    ctltest::SurfaceAfterPaint(button);
    ASSERT_FALSE(m_parent.m_drawItems.empty());
    const DRAWITEMSTRUCT first = m_parent.m_drawItems.back();
    EXPECT_EQ(first.CtlType, ODT_BUTTON);
    EXPECT_EQ(first.CtlID, 9u);
    EXPECT_EQ(first.hwndItem, button);
    EXPECT_EQ(first.itemAction, ODA_DRAWENTIRE);
    EXPECT_EQ(first.itemState & (ODS_SELECTED | ODS_FOCUS | ODS_DISABLED), 0u);
    EXPECT_EQ(first.rcItem.right, 100);
    EXPECT_EQ(first.rcItem.bottom, 30);

    SendMessage(button, BM_SETSTATE, TRUE, 0);
    ASSERT_FALSE(m_parent.m_drawItems.empty());
    EXPECT_EQ(m_parent.m_drawItems.back().itemAction, ODA_SELECT);
    EXPECT_TRUE(m_parent.m_drawItems.back().itemState & ODS_SELECTED);
    SendMessage(button, BM_SETSTATE, FALSE, 0);
    EXPECT_FALSE(m_parent.m_drawItems.back().itemState & ODS_SELECTED);

    SendMessage(button, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(m_parent.m_drawItems.back().itemAction, ODA_FOCUS);
    EXPECT_TRUE(m_parent.m_drawItems.back().itemState & ODS_FOCUS);
    SendMessage(button, WM_KILLFOCUS, 0, 0);
    EXPECT_FALSE(m_parent.m_drawItems.back().itemState & ODS_FOCUS);

    EnableWindow(button, FALSE);
    ctltest::SurfaceAfterPaint(button);
    EXPECT_TRUE(m_parent.m_drawItems.back().itemState & ODS_DISABLED);
}

TEST_F(OwnerDraw, MousePressDrawsSelectedAndReleaseClicks)
{
    HWND button = ctltest::MakeControl(m_parent, "Button", "", BS_OWNERDRAW, 9);
    ctltest::SurfaceAfterPaint(button);
    QWidget* w = qlafx::WidgetOf(button);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    EXPECT_TRUE(m_parent.m_drawItems.back().itemState & ODS_SELECTED);
    EXPECT_EQ(m_parent.Count(9, BN_CLICKED), 0);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), w->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &release);
    EXPECT_FALSE(m_parent.m_drawItems.back().itemState & ODS_SELECTED);
    EXPECT_EQ(m_parent.Count(9, BN_CLICKED), 1);
}

// A skinned dialog turns push buttons owner-drawn while answering
// WM_CTLCOLORBTN; that same paint must already go to WM_DRAWITEM.
class CRestyler : public ctltest::CRecorder {
protected:
    HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
    {
        if (nCtlColor == CTLCOLOR_BTN)
            pWnd->SendMessage(BM_SETSTYLE, BS_OWNERDRAW, FALSE);
        return CRecorder::OnCtlColor(pDC, pWnd, nCtlColor);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRestyler, ctltest::CRecorder)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST(ButtonRestyle, ParentMakingButtonOwnerDrawnInCtlColorGetsDrawItem)
{
    CRestyler parent;
    ASSERT_TRUE(parent.CreateParent());
    HWND button = ctltest::MakeControl(parent, "Button", "OK", BS_PUSHBUTTON, 1);
    ctltest::SurfaceAfterPaint(button);
    EXPECT_EQ(GetWindowLong(button, GWL_STYLE) & BS_TYPEMASK, static_cast<LONG>(BS_OWNERDRAW));
    ASSERT_FALSE(parent.m_drawItems.empty());
    EXPECT_EQ(parent.m_drawItems.front().hwndItem, button);
    parent.DestroyWindow();
}

// A subclass that takes WM_LBUTTONDOWN without the default.
class CSwallowButton : public CButton {
public:
    bool m_callDefault = false;
    int m_downs = 0;

protected:
    void OnLButtonDown(UINT nFlags, CPoint point)
    {
        ++m_downs;
        if (m_callDefault)
            CButton::OnLButtonDown(nFlags, point);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSwallowButton, CButton)
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

class ButtonSubclass : public ControlTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ButtonSubclass, LeftButtonDownWithoutDefaultSwallowsTheClick)
{
    const bool callDefault = GetParam();
    HWND button = ctltest::MakeControl(m_parent, "Button", "Go", BS_PUSHBUTTON, 5);
    CSwallowButton sub;
    sub.m_callDefault = callDefault;
    ASSERT_TRUE(sub.SubclassDlgItem(5, &m_parent));
    ctltest::MouseClick(button, QPoint(10, 10));
    EXPECT_EQ(sub.m_downs, 1);
    EXPECT_EQ(m_parent.Count(5, BN_CLICKED), callDefault ? 1 : 0);
    sub.UnsubclassWindow();
}

INSTANTIATE_TEST_SUITE_P(Default, ButtonSubclass, ::testing::Bool());

class CReflectedButton : public CButton {
public:
    std::vector<UINT> m_actions;
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        m_actions.push_back(dis->itemAction);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(dis->hDC, &dis->rcItem, red);
        DeleteObject(red);
    }
};

TEST(ButtonReflection, DrawItemOfTheControlPaintsItsSurface)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, AfxRegisterWndClass(0), "p", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                nullptr));
    CReflectedButton button;
    ASSERT_TRUE(button.Create("", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(5, 5, 65, 35), &parent, 3));
    const QImage img = ctltest::SurfaceAfterPaint(button.m_hWnd);
    ASSERT_FALSE(button.m_actions.empty());
    EXPECT_EQ(button.m_actions.front(), ODA_DRAWENTIRE);
    EXPECT_EQ(PixelOf(img, 30, 15), RGB(255, 0, 0));
    button.DestroyWindow();
    parent.DestroyWindow();
}

using RadioGroup = ControlTest;

TEST_F(RadioGroup, AutoRadioUnchecksOnlyItsOwnGroup)
{
    HWND r1 = ctltest::MakeControl(m_parent, "Button", "1", BS_AUTORADIOBUTTON | WS_GROUP, 11, {0, 0, 50, 20});
    HWND r2 = ctltest::MakeControl(m_parent, "Button", "2", BS_AUTORADIOBUTTON, 12, {0, 20, 50, 40});
    HWND r3 = ctltest::MakeControl(m_parent, "Button", "3", BS_AUTORADIOBUTTON, 13, {0, 40, 50, 60});
    HWND r4 = ctltest::MakeControl(m_parent, "Button", "4", BS_AUTORADIOBUTTON | WS_GROUP, 14, {0, 60, 50, 80});
    HWND r5 = ctltest::MakeControl(m_parent, "Button", "5", BS_AUTORADIOBUTTON, 15, {0, 80, 50, 100});
    SendMessage(r1, BM_SETCHECK, BST_CHECKED, 0);
    SendMessage(r4, BM_SETCHECK, BST_CHECKED, 0);

    ctltest::MouseClick(r2, QPoint(5, 5));
    EXPECT_EQ(SendMessage(r1, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(r3, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(r4, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(r5, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(m_parent.Count(12, BN_CLICKED), 1);

    SendMessage(r5, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(r4, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessage(r5, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessage(r2, BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(RadioGroup, PlainRadioButtonDoesNotCheckItself)
{
    HWND r = ctltest::MakeControl(m_parent, "Button", "r", BS_RADIOBUTTON | WS_GROUP, 21);
    SendMessage(r, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessage(r, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(m_parent.Count(21, BN_CLICKED), 1);
}

struct ToggleCase {
    const char* name;
    DWORD style;
    UINT after[3];
};

class CheckToggle : public ControlTest, public ::testing::WithParamInterface<ToggleCase> {};

TEST_P(CheckToggle, ClicksStepTheCheckStateAndNotify)
{
    const ToggleCase& c = GetParam();
    HWND box = ctltest::MakeControl(m_parent, "Button", "box", c.style, 31);
    for (int i = 0; i < 3; ++i) {
        ctltest::MouseClick(box, QPoint(3, 3));
        EXPECT_EQ(static_cast<UINT>(SendMessage(box, BM_GETCHECK, 0, 0)), c.after[i]) << c.name << " click " << i;
    }
    EXPECT_EQ(m_parent.Count(31, BN_CLICKED), 3);
}

INSTANTIATE_TEST_SUITE_P(Kinds, CheckToggle,
                         ::testing::Values(ToggleCase{"checkbox", BS_CHECKBOX, {0, 0, 0}},
                                           ToggleCase{"autocheckbox", BS_AUTOCHECKBOX, {1, 0, 1}},
                                           ToggleCase{"threestate", BS_3STATE, {0, 0, 0}},
                                           ToggleCase{"autothreestate", BS_AUTO3STATE, {1, 2, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

using ButtonKeys = ControlTest;

TEST_F(ButtonKeys, SpaceClicksOnRelease)
{
    HWND button = ctltest::MakeControl(m_parent, "Button", "Go", BS_PUSHBUTTON | WS_TABSTOP, 41);
    QWidget* w = qlafx::WidgetOf(button);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(w, &press);
    EXPECT_TRUE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(m_parent.Count(41, BN_CLICKED), 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(w, &release);
    EXPECT_FALSE(SendMessage(button, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(m_parent.Count(41, BN_CLICKED), 1);
}

TEST_F(ButtonKeys, SetCheckOnPushButtonIsIgnored)
{
    HWND button = ctltest::MakeControl(m_parent, "Button", "Go", BS_PUSHBUTTON, 42);
    CButton wrap;
    wrap.Attach(button);
    wrap.SetCheck(BST_CHECKED);
    EXPECT_EQ(wrap.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(wrap.GetButtonStyle() & BS_TYPEMASK, BS_PUSHBUTTON);
    wrap.SetButtonStyle(BS_DEFPUSHBUTTON);
    EXPECT_EQ(wrap.GetButtonStyle() & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(SendMessage(button, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON, DLGC_DEFPUSHBUTTON);
    wrap.Detach();
}

}  // namespace

namespace {

// Push faces, check and radio indicators come from the application's style:
// each state looks different, and an empty indicator shows the palette's
// base colour as Qt's own check boxes do.
TEST_F(ControlTest, StandardButtonsShowTheirStatesThroughTheStyle)
{
    const struct {
        const char* name;
        DWORD style;
        UINT message;  // the state change
        QRect area;    // where it shows
    } cases[] = {{"push pressed", BS_PUSHBUTTON, BM_SETSTATE, QRect(3, 3, 114, 24)},
                 {"check checked", BS_AUTOCHECKBOX, BM_SETCHECK, QRect(0, 8, 13, 13)},
                 {"radio checked", BS_AUTORADIOBUTTON, BM_SETCHECK, QRect(0, 8, 13, 13)}};
    for (const auto& c : cases) {
        HWND button = ctltest::MakeControl(m_parent, "Button", "", c.style, 9, {0, 0, 120, 30});
        const QImage before = ctltest::SurfaceAfterPaint(button).copy(c.area);
        SendMessage(button, c.message, TRUE, 0);
        const QImage after = ctltest::SurfaceAfterPaint(button).copy(c.area);
        EXPECT_NE(before, after) << c.name;
        if (c.style != BS_PUSHBUTTON) {
            EXPECT_EQ(ctltest::PixelOf(before, 6, 6), GetSysColor(COLOR_WINDOW)) << c.name << ": the empty indicator";
        }
        DestroyWindow(button);
    }
}

}  // namespace
