#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UndoHistory.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

// Window calls recorded instead of reaching a window.
struct Recorded {
    int sends = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    int redraws = 0;
    int boxes = 0;
} g_calls;

LRESULT RecordSend(HWND, UINT msg, WPARAM w, LPARAM l)
{
    ++g_calls.sends;
    g_calls.message = msg;
    g_calls.wParam = w;
    g_calls.lParam = l;
    return 0;
}
BOOL RecordRedraw(HWND, const RECT*, HRGN, UINT)
{
    ++g_calls.redraws;
    return TRUE;
}
int RecordBox(HWND, LPCSTR, LPCSTR, UINT)
{
    ++g_calls.boxes;
    return 1;
}

// A 3 x 2 image whose every byte is v, so a step is known by one byte.
void Paint(CQLImage& image, BYTE v)
{
    image.Create(3, 2);
    for (int i = 0; i < 6; ++i)
        image.PutPixel(i % 3, i / 3, CPixel{v, v, v, 255});
}
BYTE Shown(const CQLImage& image)
{
    return image.GetPixel2(2, 1).r;
}

class HistoryTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/qlhist-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_dir = pattern;
        setenv("TMPDIR", m_dir.c_str(), 1);
        g_calls = {};
        UndoHistory::SetWindowCalls({&RecordSend, &RecordRedraw, &RecordBox});
        if (GetParam())
            m_history = std::make_unique<AsyncUndoHistory>();
        else
            m_history = std::make_unique<UndoHistory>();
        m_history->Reset();
    }
    void TearDown() override
    {
        m_history.reset();
        UndoHistory::SetWindowCalls({});
        std::filesystem::remove_all(m_dir);
        unsetenv("TMPDIR");
    }

    // Pushes a step whose image is all v.
    int Push(BYTE v, const char* name)
    {
        Paint(m_image, v);
        return m_history->Push(&m_image, name);
    }
    void Settle()
    {
        if (auto* async = dynamic_cast<AsyncUndoHistory*>(m_history.get()))
            async->GetWriter().WaitUntilIdle();
    }

    std::string m_dir;
    std::unique_ptr<UndoHistory> m_history;
    CQLImage m_image;
};

// One script per case: p<v> pushes a step of value v named by the letter
// after it, u undoes, r redoes; then the position, what is shown and the
// groups' sizes are checked.
struct Script {
    const char* name;
    std::vector<std::string> ops;
    int current;
    int count;
    BYTE shown;
    std::vector<int> groupSizes;
};

class HistoryScript : public HistoryTest {};

TEST_P(HistoryScript, MovesThroughSteps)
{
    static const Script kScripts[] = {
        {"same names group without regard to case", {"p1 Brightness", "p2 brightness", "p3 Crop"}, 3, 3, 3, {2, 1}},
        {"undo shows the previous step", {"p1 A", "p2 B", "p3 C", "u"}, 2, 3, 2, {1, 1, 1}},
        {"redo comes back", {"p1 A", "p2 B", "p3 C", "u", "u", "r"}, 2, 3, 2, {1, 1, 1}},
        {"push after undo cuts the redo tail",
         {"p0 O", "p1 A", "p2 B", "p3 C", "p4 D", "p5 E", "u", "u", "p9 F"},
         5,
         5,
         9,
         {1, 1, 1, 1, 1}},
        {"cut inside a group keeps its head", {"p0 O", "p1 A", "p2 a", "p3 A", "u", "u", "p7 B"}, 3, 3, 7, {1, 1, 1}},
        {"cut joins a group of the same name", {"p0 O", "p1 A", "p2 A", "u", "p5 a"}, 3, 3, 5, {1, 2}},
        {"step 0 cannot be undone", {"p1 A", "u"}, 1, 1, 1, {1}},
        {"redo at the end does nothing", {"p1 A", "p2 B", "r"}, 2, 2, 2, {1, 1}},
    };
    for (const Script& s : kScripts) {
        SCOPED_TRACE(s.name);
        m_history->Reset();
        for (const std::string& op : s.ops) {
            if (op[0] == 'p')
                ASSERT_EQ(Push(BYTE(op[1] - '0'), op.c_str() + 3), 1);
            else if (op[0] == 'u')
                m_history->Undo(&m_image);
            else
                m_history->Redo(&m_image);
        }
        EXPECT_EQ(m_history->GetCurrent(), s.current);
        EXPECT_EQ(m_history->GetCount(), s.count);
        EXPECT_EQ(Shown(m_image), s.shown);
        std::vector<int> sizes;
        int number = 0;
        for (const UndoGroup& g : m_history->GetGroups()) {
            sizes.push_back(int(g.steps.size()));
            for (const UndoStep& step : g.steps)
                EXPECT_EQ(step.number, number++);
        }
        EXPECT_EQ(sizes, s.groupSizes);
        EXPECT_EQ(m_history->CanRedo(), s.current < s.count);
    }
}

TEST_P(HistoryScript, UndoAndRedoReturnValues)
{
    ASSERT_EQ(Push(1, "A"), 1);
    EXPECT_FALSE(m_history->CanUndo());
    EXPECT_EQ(m_history->Undo(&m_image), 0);
    EXPECT_EQ(m_history->Redo(&m_image), 0);
    ASSERT_EQ(Push(2, "B"), 1);
    ASSERT_EQ(Push(3, "C"), 1);
    EXPECT_EQ(m_history->Undo(&m_image), 1);
    EXPECT_EQ(m_history->Undo(&m_image), 1);
    EXPECT_EQ(Shown(m_image), 1);
    EXPECT_EQ(m_history->GoToStep(&m_image, 2), 1);
    EXPECT_EQ(Shown(m_image), 3);
    EXPECT_EQ(m_history->GoToStep(&m_image, 7), 0);
    EXPECT_EQ(m_history->GetCurrent(), 3);
}

TEST_P(HistoryScript, GoingToTheShownStepReadsNothing)
{
    ASSERT_EQ(Push(1, "A"), 1);
    ASSERT_EQ(Push(2, "B"), 1);
    Settle();
    std::remove(m_history->GetFilePath());
    Paint(m_image, 8);
    EXPECT_EQ(m_history->GoToStep(&m_image, 1), 1);
    EXPECT_EQ(Shown(m_image), 8);
    // Another step needs the file, which is gone: position and image stay.
    EXPECT_EQ(m_history->Undo(&m_image), 0);
    EXPECT_EQ(m_history->GetCurrent(), 2);
    EXPECT_EQ(Shown(m_image), 8);
}

TEST_P(HistoryScript, ModifiedFlagFollowsTheStepShown)
{
    ASSERT_EQ(Push(1, "Open"), 1);
    EXPECT_FALSE(m_history->IsModified());
    ASSERT_EQ(Push(2, "Crop"), 1);
    EXPECT_TRUE(m_history->IsModified());
    ASSERT_EQ(m_history->Undo(&m_image), 1);
    EXPECT_FALSE(m_history->IsModified());
    ASSERT_EQ(m_history->Redo(&m_image), 1);
    EXPECT_TRUE(m_history->IsModified());
    m_history->Reset();
    EXPECT_FALSE(m_history->IsModified());
}

TEST_P(HistoryScript, ActionTextListsAppliedStepsWithCommas)
{
    ASSERT_EQ(Push(1, "Crop"), 1);
    ASSERT_EQ(Push(2, ""), 1);
    ASSERT_EQ(Push(3, "Sharpen"), 1);
    char text[256];
    EXPECT_STREQ(m_history->GetActionText(255, text), "Crop,Sharpen,");
    // "Sharpen," and the NUL do not fit after "Crop," in 13 bytes.
    EXPECT_STREQ(m_history->GetActionText(13, text), "Crop,");
    EXPECT_STREQ(m_history->GetActionText(14, text), "Crop,Sharpen,");
    ASSERT_EQ(m_history->Undo(&m_image), 1);
    EXPECT_STREQ(m_history->GetActionText(255, text), "Crop,");
}

TEST_P(HistoryScript, BuildListShowsGroupsByKind)
{
    ASSERT_EQ(Push(1, "Open"), 1);
    ASSERT_EQ(Push(2, "Blur"), 1);
    ASSERT_EQ(Push(3, "Blur"), 1);
    ASSERT_EQ(Push(4, "Crop"), 1);
    std::vector<HistoryListEntry> list;
    int currentIndex = -1;
    m_history->BuildList(list, &currentIndex);
    EXPECT_EQ(currentIndex, 3);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(list[0].kind, kHistorySingle);
    EXPECT_EQ(list[1].kind, kHistoryCollapsed);
    EXPECT_EQ(list[1].step->number, 2);
    EXPECT_EQ(list[2].kind, kHistorySingle);
    EXPECT_EQ(list[2].groupIndex, 2);

    m_history->GetGroup(1)->expanded = TRUE;
    m_history->BuildList(list, &currentIndex);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[1].kind, kHistoryGroupHead);
    EXPECT_EQ(list[1].step->number, 2);
    EXPECT_EQ(list[2].kind, kHistoryGroupStep);
    EXPECT_EQ(list[2].step->number, 1);
    EXPECT_EQ(list[3].kind, kHistoryGroupStep);
    EXPECT_EQ(list[3].step->number, 2);
    EXPECT_EQ(list[4].group, m_history->GetGroup(2));
}

TEST_P(HistoryScript, RefreshFlagNotifiesTheHistoryBarOnce)
{
    ASSERT_EQ(Push(1, "Open"), 1);
    ASSERT_EQ(Push(2, "Resize"), 1);
    EXPECT_EQ(g_calls.sends, 0);
    EXPECT_EQ(g_calls.redraws, 2);
    m_history->SetRefreshFlag();
    const UndoStep* first = &m_history->GetGroups().back().steps.front();
    ASSERT_EQ(Push(3, "Resize"), 1);
    EXPECT_EQ(g_calls.sends, 1);
    EXPECT_EQ(g_calls.message, 0x0400u + 723);
    EXPECT_EQ(g_calls.wParam, 1u);
    EXPECT_EQ(g_calls.lParam, reinterpret_cast<LPARAM>(first));
    ASSERT_EQ(Push(4, "Crop"), 1);
    EXPECT_EQ(g_calls.sends, 1);
}

TEST_P(HistoryScript, FailedWriteResetsKeepsModifiedAndTellsOnce)
{
    ASSERT_EQ(Push(1, "Open"), 1);
    Settle();
    // The history file becomes a folder: every later write fails.
    const std::string path = m_history->GetFilePath();
    std::remove(path.c_str());
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    int pushed = Push(2, "Crop");
    Settle();
    if (pushed) // the writer thread reports the failure at the next push
        pushed = Push(3, "Blur");
    EXPECT_EQ(pushed, 0);
    EXPECT_EQ(m_history->GetCurrent(), 0);
    EXPECT_EQ(m_history->GetCount(), 0);
    EXPECT_TRUE(m_history->IsModified());
    EXPECT_EQ(g_calls.boxes, 1);
    Push(4, "Blur");
    EXPECT_EQ(g_calls.boxes, 1);
    std::filesystem::remove_all(path);
}

// An undo while the writer has failed returns at once with 0.
TEST_P(HistoryScript, InjectedWriteFailureDoesNotHangUndo)
{
    ASSERT_EQ(Push(1, "Open"), 1);
    Settle();
    const std::string path = m_history->GetFilePath();
    std::remove(path.c_str());
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
    Push(2, "Crop");
    Paint(m_image, 6);
    EXPECT_EQ(m_history->Undo(&m_image), 0);
    EXPECT_EQ(Shown(m_image), 6);
    std::filesystem::remove_all(path);
}

TEST_P(HistoryScript, NamesItsFileUniquelyAndRemovesItAtReset)
{
    ASSERT_EQ(Push(1, "Open"), 1);
    Settle();
    const std::string path = m_history->GetFilePath();
    EXPECT_EQ(path.rfind(m_dir + "/quillo-", 0), 0u);
    EXPECT_NE(path.find("/qlhistory"), std::string::npos);
    EXPECT_NE(path.find("-" + std::to_string(getpid()) + "-"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(path));
    UndoHistory other;
    other.Reset();
    EXPECT_STRNE(other.GetFilePath(), path.c_str());
    m_history->Reset();
    EXPECT_FALSE(std::filesystem::exists(path));
}

INSTANTIATE_TEST_SUITE_P(Writers, HistoryScript, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "Async" : "Direct"; });

TEST(HistorySweep, RemovesOnlyFilesOfEndedEditors)
{
    char pattern[] = "/tmp/qlsweep-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string dir = std::string(pattern) + "/";
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string ended = "qlhistory1010203-" + std::to_string(child) + "-1.sav";
    const std::string running = "qlhistory1010203-" + std::to_string(getpid()) + "-2.sav";
    for (const std::string& name : {ended, running, std::string("ql1010203.sav"), std::string("qlother.sav")})
        std::ofstream(dir + name) << "x";
    std::filesystem::create_directory(dir + "qlhistory1-" + std::to_string(child) + "-1.sav");
    SweepStaleHistoryFiles(dir.c_str());
    EXPECT_FALSE(std::filesystem::exists(dir + ended));
    EXPECT_TRUE(std::filesystem::exists(dir + running));
    EXPECT_TRUE(std::filesystem::exists(dir + "ql1010203.sav"));
    EXPECT_TRUE(std::filesystem::exists(dir + "qlother.sav"));
    EXPECT_TRUE(std::filesystem::is_directory(dir + "qlhistory1-" + std::to_string(child) + "-1.sav"));
    std::filesystem::remove_all(pattern);
}

} // namespace
