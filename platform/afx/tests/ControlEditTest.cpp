#include "ControlTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <gtest/gtest.h>

#include <string>

using ctltest::ControlTest;
using ctltest::PixelOf;

namespace {

std::string TextOf(HWND hwnd)
{
    char buf[256] = {};
    GetWindowText(hwnd, buf, sizeof buf);
    return buf;
}

using EditControl = ControlTest;

TEST_F(EditControl, CtlColorEditBrushBecomesTheBackground)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "", WS_BORDER, 60, {0, 0, 120, 24});
    const QImage grab = qlafx::WidgetOf(edit)->grab().toImage();
    bool asked = false;
    for (const auto& call : m_parent.m_ctlColors)
        asked |= call.control == edit && call.kind == CTLCOLOR_EDIT;
    EXPECT_TRUE(asked);
    EXPECT_EQ(PixelOf(grab, 60, 12), m_parent.m_brushColor);
}

TEST_F(EditControl, ReadOnlyEditAsksAsStatic)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "", WS_BORDER | ES_READONLY, 61, {0, 0, 120, 24});
    qlafx::WidgetOf(edit)->grab();
    ASSERT_FALSE(m_parent.m_ctlColors.empty());
    EXPECT_EQ(m_parent.m_ctlColors.back().kind, CTLCOLOR_STATIC);
}

// A disabled edit asks as a static; a solid brush is its background, a
// pattern (a skinned page's) leaves the palette's disabled base, never black,
// and its text is greyed whatever text colour the parent set.
TEST_F(EditControl, DisabledEditShowsTheDisabledBaseAndGreyedText)
{
    const struct {
        const char* name;
        bool pattern;
    } cases[] = {{"solid brush", false}, {"pattern brush", true}};
    const QPalette app = QApplication::palette();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.pattern) {
            const WORD bits[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
            HBITMAP bm = CreateBitmap(8, 8, 1, 1, bits);
            m_parent.m_brush.DeleteObject();
            m_parent.m_brush.Attach(CreatePatternBrush(bm));
            DeleteObject(bm);
        }
        HWND edit = ctltest::MakeControl(m_parent, "Edit", "Off", WS_BORDER | WS_DISABLED, 62, {0, 0, 120, 24});
        QWidget* w = qlafx::WidgetOf(edit);
        const QImage grab = w->grab().toImage();
        EXPECT_EQ(m_parent.m_ctlColors.back().kind, CTLCOLOR_STATIC);
        const COLORREF base = c.pattern ? RGB(app.color(QPalette::Disabled, QPalette::Base).red(),
                                              app.color(QPalette::Disabled, QPalette::Base).green(),
                                              app.color(QPalette::Disabled, QPalette::Base).blue())
                                        : m_parent.m_brushColor;
        EXPECT_EQ(PixelOf(grab, 100, 12), base);
        EXPECT_EQ(w->palette().color(QPalette::Disabled, QPalette::Text), app.color(QPalette::Disabled, QPalette::Text));
        DestroyWindow(edit);
    }
}

TEST_F(EditControl, SetTextSendsUpdateAndChangeAndGetTextReadsBack)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "start", 0, 62);
    EXPECT_EQ(TextOf(edit), "start");
    EXPECT_EQ(m_parent.Count(62, EN_CHANGE), 0);  // creation text is not a change
    SetWindowText(edit, "hello");
    EXPECT_EQ(TextOf(edit), "hello");
    EXPECT_EQ(GetWindowTextLength(edit), 5);
    EXPECT_EQ(m_parent.Count(62, EN_UPDATE), 1);
    EXPECT_EQ(m_parent.Count(62, EN_CHANGE), 1);
    EXPECT_EQ(m_parent.m_commands.back().control, edit);
}

TEST_F(EditControl, TypingStopsAtTheLimitWithMaxText)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "", WS_TABSTOP, 63);
    CEdit wrap;
    wrap.Attach(edit);
    wrap.LimitText(3);
    EXPECT_EQ(wrap.GetLimitText(), 3u);
    for (const char* c : {"a", "b", "c", "d"})
        ctltest::KeyPress(edit, Qt::Key_A + (c[0] - 'a'), QString::fromLatin1(c));
    EXPECT_EQ(TextOf(edit), "abc");
    EXPECT_EQ(m_parent.Count(63, EN_CHANGE), 3);
    EXPECT_EQ(m_parent.Count(63, EN_MAXTEXT), 1);
    EXPECT_TRUE(wrap.GetModify());
    wrap.Detach();
}

TEST_F(EditControl, LimitDoesNotCutTextSetByTheProgram)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "", 0, 64);
    SendMessage(edit, EM_LIMITTEXT, 2, 0);
    SetWindowText(edit, "longer");
    EXPECT_EQ(TextOf(edit), "longer");
}

struct CaseConv {
    const char* name;
    DWORD style;
    const char* expected;
};

class EditCase : public ControlTest, public ::testing::WithParamInterface<CaseConv> {};

TEST_P(EditCase, TypedLettersFollowTheCaseStyle)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "", GetParam().style, 65);
    ctltest::KeyPress(edit, Qt::Key_A, "a");
    ctltest::KeyPress(edit, Qt::Key_B, "B", Qt::ShiftModifier);
    EXPECT_EQ(TextOf(edit), GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Styles, EditCase,
                         ::testing::Values(CaseConv{"plain", 0, "aB"}, CaseConv{"upper", ES_UPPERCASE, "AB"},
                                           CaseConv{"lower", ES_LOWERCASE, "ab"},
                                           CaseConv{"multiupper", ES_MULTILINE | ES_UPPERCASE, "AB"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditControl, NumberStyleRefusesLetters)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "", ES_NUMBER, 66);
    ctltest::KeyPress(edit, Qt::Key_1, "1");
    ctltest::KeyPress(edit, Qt::Key_X, "x");
    ctltest::KeyPress(edit, Qt::Key_2, "2");
    EXPECT_EQ(TextOf(edit), "12");
}

TEST_F(EditControl, SelectionReplaceAndUndo)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "hello world", 0, 67);
    CEdit wrap;
    wrap.Attach(edit);
    wrap.SetSel(6, 11);
    int s = 0, e = 0;
    wrap.GetSel(s, e);
    EXPECT_EQ(s, 6);
    EXPECT_EQ(e, 11);
    EXPECT_EQ(wrap.GetSel(), MAKELONG(6, 11));
    wrap.ReplaceSel("there");
    EXPECT_EQ(TextOf(edit), "hello there");
    EXPECT_TRUE(wrap.CanUndo());
    wrap.Undo();
    EXPECT_EQ(TextOf(edit), "hello world");
    wrap.SetSel(0, -1);
    wrap.GetSel(s, e);
    EXPECT_EQ(s, 0);
    EXPECT_EQ(e, 11);
    wrap.Clear();
    EXPECT_EQ(TextOf(edit), "");
    wrap.Detach();
}

TEST_F(EditControl, MultilineUsesCrLfAndCountsLines)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "", ES_MULTILINE | ES_AUTOHSCROLL, 68, {0, 0, 200, 100});
    SetWindowText(edit, "one\r\ntwo\r\nthree");
    EXPECT_EQ(TextOf(edit), "one\r\ntwo\r\nthree");
    EXPECT_EQ(SendMessage(edit, EM_GETLINECOUNT, 0, 0), 3);
    // Positions count each line end as two chars.
    SendMessage(edit, EM_SETSEL, 5, 8);
    DWORD s = 0, e = 0;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    EXPECT_EQ(s, 5u);
    EXPECT_EQ(e, 8u);
    SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("TWO"));
    EXPECT_EQ(TextOf(edit), "one\r\nTWO\r\nthree");
}

TEST_F(EditControl, ReadOnlyAndModifyFlags)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "x", 0, 69);
    CEdit wrap;
    wrap.Attach(edit);
    EXPECT_FALSE(wrap.GetModify());
    wrap.SetModify(TRUE);
    EXPECT_TRUE(wrap.GetModify());
    wrap.SetWindowText("y");
    EXPECT_FALSE(wrap.GetModify());
    EXPECT_TRUE(wrap.SetReadOnly(TRUE));
    EXPECT_TRUE(GetWindowLong(edit, GWL_STYLE) & ES_READONLY);
    EXPECT_TRUE(static_cast<QLineEdit*>(qlafx::WidgetOf(edit))->isReadOnly());
    ctltest::KeyPress(edit, Qt::Key_Z, "z");
    EXPECT_EQ(TextOf(edit), "y");
    wrap.Detach();
}

TEST_F(EditControl, PasswordAndAlignmentStyles)
{
    HWND edit = ctltest::MakeControl(m_parent, "Edit", "secret", ES_PASSWORD | ES_RIGHT, 70);
    auto* line = static_cast<QLineEdit*>(qlafx::WidgetOf(edit));
    EXPECT_EQ(line->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(line->alignment() & Qt::AlignRight);
    EXPECT_EQ(TextOf(edit), "secret");
}

}  // namespace
