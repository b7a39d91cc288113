// The text prompt answered through the modal test hook.
#include "editor/ui/PromptForText.h"

#include "platform/afx/tests/WndTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class Press { Ok, Cancel, Escape };

struct PromptCase {
    const char* name;
    int maxLength;
    BOOL mayCancel;
    BOOL prefill;
    const char* before;      // the buffer's text at the call
    const char* shownAtStart; // what the edit shows when the dialog opens
    const char* typed;       // NULL: leave the edit as it is
    Press press;
    BOOL result;
    const char* after;
};

const PromptCase kCases[] = {
    {"TypedTextComesBack", 32, TRUE, FALSE, "old", "", "Alice", Press::Ok, TRUE, "Alice"},
    {"PrefillShowsTheBuffer", 32, TRUE, TRUE, "old", "old", nullptr, Press::Ok, TRUE, "old"},
    {"CancelKeepsTheBuffer", 32, TRUE, TRUE, "old", "old", "new", Press::Cancel, FALSE, "old"},
    {"EscapeCancels", 32, TRUE, FALSE, "old", "", "new", Press::Escape, FALSE, "old"},
    {"CutToTheMaximumLength", 4, TRUE, FALSE, "", "", "abcdefgh", Press::Ok, TRUE, "abcd"},
    {"CutBetweenCharacters", 2, TRUE, FALSE, "", "", "a\xC3\xA9z", Press::Ok, TRUE, "a"},
    {"NoMaximumMeans32", 0, TRUE, FALSE, "", "", "0123456789012345678901234567890123456789", Press::Ok, TRUE,
     "01234567890123456789012345678901"},
};

struct Seen {
    std::string caption, prompt, shown;
    UINT limit = 0;
    std::vector<std::string> boxes;
};

void Press(CWnd* dlg, enum Press how)
{
    if (how == Press::Escape)
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    else
        dlg->GetDlgItem(how == Press::Ok ? IDOK : IDCANCEL)->SendMessage(BM_CLICK);
}

class PromptForTextTest : public ::testing::TestWithParam<PromptCase> {
protected:
    void TearDown() override { qlafx::SetModalHook({}); }
};

std::string ItemText(CWnd* dlg, int id)
{
    CString s;
    dlg->GetDlgItemText(id, s);
    return std::string(static_cast<const char*>(s));
}

} // namespace

TEST_P(PromptForTextTest, AnswersThroughTheHook)
{
    const PromptCase& c = GetParam();
    Seen seen;
    qlafx::SetModalHook([&](CWnd* dlg, const char* caption, const char* text, UINT) -> int {
        if (!dlg) {
            seen.boxes.emplace_back(text);
            return IDOK;
        }
        seen.caption = caption;
        seen.prompt = ItemText(dlg, IDC_PROMPT_LABEL);
        seen.shown = ItemText(dlg, IDC_PROMPT_EDIT);
        seen.limit = static_cast<UINT>(dlg->GetDlgItem(IDC_PROMPT_EDIT)->SendMessage(EM_GETLIMITTEXT));
        if (c.typed)
            dlg->SetDlgItemText(IDC_PROMPT_EDIT, c.typed);
        Press(dlg, c.press);
        return qlafx::kModalRun;
    });
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s", c.before);
    EXPECT_EQ(PromptForText(buffer, c.maxLength, "Rename", "Please input a new name:", c.mayCancel, c.prefill), c.result);
    EXPECT_STREQ(buffer, c.after);
    EXPECT_EQ(seen.caption, "Rename");
    EXPECT_EQ(seen.prompt, "Please input a new name:");
    EXPECT_EQ(seen.shown, c.shownAtStart);
    EXPECT_EQ(seen.limit, static_cast<UINT>(c.maxLength > 0 ? c.maxLength : 32));
    EXPECT_TRUE(seen.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, PromptForTextTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PromptCase>& info) { return std::string(info.param.name); });

TEST(PromptForText, EmptyAnswerIsRefusedAndWithoutCancelOnlyOkEnds)
{
    std::vector<std::string> boxes;
    bool cancelEnabled = true, openAfterEscape = false, openAfterEmptyOk = false;
    qlafx::SetModalHook([&](CWnd* dlg, const char*, const char* text, UINT) -> int {
        if (!dlg) {
            boxes.emplace_back(text);
            return IDOK;
        }
        cancelEnabled = dlg->GetDlgItem(IDCANCEL)->IsWindowEnabled();
        dlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
        openAfterEscape = ::IsWindow(dlg->m_hWnd) && dlg->IsWindowVisible();
        dlg->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        openAfterEmptyOk = ::IsWindow(dlg->m_hWnd) && dlg->IsWindowVisible();
        dlg->SetDlgItemText(IDC_PROMPT_EDIT, "Bob");
        dlg->GetDlgItem(IDOK)->SendMessage(BM_CLICK);
        return qlafx::kModalRun;
    });
    char name[128] = "";
    EXPECT_TRUE(PromptForText(name, 32, "Input User Name", "Welcome", FALSE, FALSE));
    qlafx::SetModalHook({});
    EXPECT_STREQ(name, "Bob");
    EXPECT_FALSE(cancelEnabled);
    EXPECT_TRUE(openAfterEscape) << "Escape does nothing when cancelling is not allowed";
    EXPECT_TRUE(openAfterEmptyOk);
    EXPECT_EQ(boxes, std::vector<std::string>{"Sorry, you have not input anything."});
}
