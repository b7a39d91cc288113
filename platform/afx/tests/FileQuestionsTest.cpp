#include "platform/afx/Afx.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Asked {
    std::string caption;
    std::string text;
};

// Once a window exists, the shell's file operations ask through message
// boxes owned by the operation's window, as Windows' shell does.
TEST(FileQuestions, ShellOperationsAskTheUser)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "Album", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    TestDir dir;
    dir.write("a.jpg", "a");
    dir.write("b.jpg", "b");
    std::vector<Asked> asked;
    int answer = IDNO;
    qlafx::SetModalHook([&](CWnd*, const char* caption, const char* text, UINT) {
        asked.push_back({caption, text});
        return answer;
    });

    const std::string from = (dir / "a.jpg") + '\0' + '\0';
    SHFILEOPSTRUCT del{wnd.m_hWnd, FO_DELETE, from.c_str(), nullptr, 0, FALSE, nullptr, "Delete file(s)"};
    EXPECT_EQ(SHFileOperation(&del), 0);
    EXPECT_TRUE(del.fAnyOperationsAborted);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "a.jpg")) << "answered No";
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].caption, "Delete File");
    EXPECT_NE(asked[0].text.find(dir / "a.jpg"), std::string::npos);

    const std::string to = dir / "b.jpg" + '\0';
    SHFILEOPSTRUCT copy{wnd.m_hWnd, FO_COPY, from.c_str(), to.c_str(), 0, FALSE, nullptr, "Import file(s)"};
    answer = IDYES;
    EXPECT_EQ(SHFileOperation(&copy), 0);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1].caption, "Confirm File Replace");
    EXPECT_EQ(dir.read("b.jpg"), "a") << "replaced after Yes";

    EXPECT_EQ(SHFileOperation(&del), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "a.jpg")) << "deleted after Yes";
    qlafx::SetModalHook({});
    wnd.DestroyWindow();
}

} // namespace
