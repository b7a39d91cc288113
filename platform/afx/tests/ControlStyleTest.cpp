// Style changes made after creation (ModifyStyle, SetWindowLong) reach the
// controls through WM_STYLECHANGED, as the program's windows restyle them.
#include "ControlTestSupport.h"

#include <QLineEdit>

#include <functional>

using ctltest::PixelOf;

namespace {

struct RestyleCase {
    const char* name;
    const char* cls;
    DWORD style;
    DWORD remove;
    DWORD add;
    bool viaSetWindowLong;
    std::function<void(HWND control, ctltest::CRecorder& parent)> check;
};

class ControlRestyle : public ctltest::ControlTest, public ::testing::WithParamInterface<RestyleCase> {};

TEST_P(ControlRestyle, ControlFollowsItsNewStyle)
{
    const RestyleCase& c = GetParam();
    HWND control = ctltest::MakeControl(m_parent, c.cls, "Text", c.style, 7);
    ASSERT_NE(control, nullptr);
    ctltest::SurfaceAfterPaint(control);
    if (c.viaSetWindowLong) {
        const DWORD style = static_cast<DWORD>(GetWindowLong(control, GWL_STYLE));
        SetWindowLong(control, GWL_STYLE, static_cast<LONG>((style & ~c.remove) | c.add));
    } else {
        ASSERT_TRUE(CWnd::ModifyStyle(control, c.remove, c.add, 0));
    }
    c.check(control, m_parent);
}

const RestyleCase kRestyleCases[] = {
    {"StaticGainingNotifyReportsClicks", "Static", SS_LEFT, 0, SS_NOTIFY, false,
     [](HWND control, ctltest::CRecorder& parent) {
         EXPECT_FALSE(qlafx::WidgetOf(control)->testAttribute(Qt::WA_TransparentForMouseEvents));
         ctltest::MouseClick(control, QPoint(5, 5));
         EXPECT_EQ(parent.Count(7, STN_CLICKED), 1);
     }},
    {"StaticLosingNotifyLetsTheMouseThrough", "Static", SS_NOTIFY, SS_NOTIFY, 0, true,
     [](HWND control, ctltest::CRecorder&) {
         EXPECT_TRUE(qlafx::WidgetOf(control)->testAttribute(Qt::WA_TransparentForMouseEvents));
     }},
    {"PushButtonRepaintsAsCheckBox", "Button", BS_PUSHBUTTON, BS_TYPEMASK, BS_AUTOCHECKBOX, false,
     [](HWND control, ctltest::CRecorder&) {
         // The inside of the check box, where the push button had its face.
         EXPECT_EQ(PixelOf(ctltest::SurfaceAfterPaint(control), 6, 15), GetSysColor(COLOR_WINDOW));
     }},
    {"CheckBoxRepaintsAsPushButton", "Button", BS_AUTOCHECKBOX, BS_TYPEMASK, BS_PUSHBUTTON, true,
     [](HWND control, ctltest::CRecorder&) {
         // The style's push face: the button colour, shaded a little.
         const COLORREF face = PixelOf(ctltest::SurfaceAfterPaint(control), 6, 15), want = GetSysColor(COLOR_BTNFACE);
         EXPECT_NE(face, GetSysColor(COLOR_WINDOW));
         EXPECT_NEAR(GetRValue(face), GetRValue(want), 10);
         EXPECT_NEAR(GetGValue(face), GetGValue(want), 10);
         EXPECT_NEAR(GetBValue(face), GetBValue(want), 10);
     }},
    {"ButtonGainingTabStopTakesTabFocus", "Button", BS_PUSHBUTTON, 0, WS_TABSTOP, false,
     [](HWND control, ctltest::CRecorder&) {
         EXPECT_EQ(qlafx::WidgetOf(control)->focusPolicy(), Qt::StrongFocus);
     }},
    {"EditBecomesReadOnly", "Edit", ES_AUTOHSCROLL, 0, ES_READONLY, false,
     [](HWND control, ctltest::CRecorder&) {
         EXPECT_TRUE(static_cast<QLineEdit*>(qlafx::WidgetOf(control))->isReadOnly());
         SetFocus(control);
         ctltest::KeyPress(control, Qt::Key_X, "x");
         char text[16] = {};
         GetWindowText(control, text, sizeof text);
         EXPECT_STREQ(text, "Text");
     }},
    {"EditBecomesWritableAgain", "Edit", ES_AUTOHSCROLL | ES_READONLY, ES_READONLY, 0, true,
     [](HWND control, ctltest::CRecorder&) {
         EXPECT_FALSE(static_cast<QLineEdit*>(qlafx::WidgetOf(control))->isReadOnly());
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, ControlRestyle, ::testing::ValuesIn(kRestyleCases),
                         [](const ::testing::TestParamInfo<RestyleCase>& info) { return std::string(info.param.name); });

}  // namespace
