// The program itself: driven through its steps from outside, as the editor
// leaves it to the person.
#include "RawTestFiles.h"
#include "editor/shell/ExifInfo.h"
#include "platform/afx/Ipc.h"
#include "platform/afx/WinUser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kProgram = std::string(QUILLO_PROGRAM_DIR) + "/QuilloDevelop";
constexpr const char* kTitle = "ORVANTA QuilloDevelop";
constexpr UINT kNotify = WM_USER + 4102;

class DevelopProcessTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("qldevelop-proc-" + std::to_string(::getpid()) + "-" +
                                            testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "run");
        fs::permissions(dir_ / "run", fs::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    void TearDown() override
    {
        for (pid_t pid : started_)
            if (::waitpid(pid, nullptr, WNOHANG) == 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        fs::remove_all(dir_);
    }

    pid_t Start(const std::string& program, const char* a1 = nullptr, const char* a2 = nullptr,
                const char* a3 = nullptr, const char* a4 = nullptr)
    {
        // Our own child, so that its status is ours to read.
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const char* a : {a1, a2, a3, a4})
            if (a)
                argv.push_back(const_cast<char*>(a));
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
            return -1;
        started_.push_back(pid);
        return pid;
    }
    // The exit status, or -1 when it did not end in time. While waiting, Next
    // is pressed now and then when drive is set.
    int Wait(pid_t pid, bool drive, int ms = 60000)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128;
            if (drive) {
                if (HWND wnd = qlafx::FindWindowOfOtherProcess(nullptr, kTitle))
                    qlafx::PostToOtherProcess(wnd, kNotify, (1u << 16) + 8196, 0);
                // A message box says what went wrong: answered like a person.
                if (HWND box = qlafx::FindWindowOfOtherProcess(nullptr, "QuilloDevelop"))
                    qlafx::PostToOtherProcess(box, WM_CLOSE, 0, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        return -1;
    }

    fs::path dir_;
    std::vector<pid_t> started_;
};

TEST_F(DevelopProcessTest, InputToOutputThroughThreeNexts)
{
    RawTestDng dng;
    dng.previewWidth = 32;
    const std::string raw = (dir_ / "shot.dng").string();
    ASSERT_TRUE(WriteRawTestDng(raw, dng));
    struct Case {
        const char* out;
        bool written;
    };
    for (const Case& c : {Case{"out.jpg", true}, Case{"out.tif", false}}) {
        SCOPED_TRACE(c.out);
        const std::string out = (dir_ / c.out).string();
        const pid_t pid = Start(kProgram, "-i", raw.c_str(), "-o", out.c_str());
        ASSERT_GT(pid, 0);
        const int status = Wait(pid, true);
        ASSERT_NE(status, -1);
        EXPECT_EQ(status == 0, c.written);
        EXPECT_EQ(fs::exists(out), c.written);
        if (c.written) {
            ExifInfo exif;
            ASSERT_EQ(exif.ReadFromFile(out.c_str()), 1);
            EXPECT_STREQ(exif.GetFields().make, "Quillotest");
            EXPECT_STREQ(exif.GetFields().model, "Sensor One");
        }
    }
}

TEST_F(DevelopProcessTest, WithoutItsSkinTheProgramEndsWithAnError)
{
    const std::string copy = (dir_ / "QuilloDevelop").string();
    fs::copy_file(kProgram, copy);
    fs::permissions(copy, fs::perms::owner_all);
    const pid_t pid = Start(copy);
    ASSERT_GT(pid, 0);
    const int status = Wait(pid, false, 30000);
    EXPECT_NE(status, -1);
    EXPECT_NE(status, 0);
}

TEST_F(DevelopProcessTest, ASecondPlainStartEndsAtOnce)
{
    const pid_t first = Start(kProgram);
    ASSERT_GT(first, 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    HWND wnd = nullptr;
    while (!(wnd = qlafx::FindWindowOfOtherProcess(nullptr, kTitle)) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(wnd);
    const pid_t second = Start(kProgram);
    ASSERT_GT(second, 0);
    EXPECT_EQ(Wait(second, false, 30000), 0);
    // The first is still there; its close button ends it.
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), 0);
    qlafx::PostToOtherProcess(wnd, kNotify, (1u << 16) + 8197, 0);
    EXPECT_EQ(Wait(first, false, 30000), 0);
}

// -f: the add-files dialog comes at once; left without files, Cancel on the
// batch page ends the program and nothing is written.
TEST_F(DevelopProcessTest, FolderStartAsksForFilesAndCancelEnds)
{
    fs::create_directories(dir_ / "out");
    const pid_t pid = Start(kProgram, "-f", (dir_ / "out").c_str());
    ASSERT_GT(pid, 0);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    HWND files = nullptr;
    while (!(files = qlafx::FindWindowOfOtherProcess(nullptr, "Open")) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(files) << "the add-files dialog";
    qlafx::PostToOtherProcess(files, WM_CLOSE, 0, 0);
    HWND wnd = nullptr;
    while (!(wnd = qlafx::FindWindowOfOtherProcess(nullptr, kTitle)) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(wnd);
    qlafx::PostToOtherProcess(wnd, kNotify, (1u << 16) + 8198, 0);
    EXPECT_EQ(Wait(pid, false, 30000), 0);
    EXPECT_TRUE(fs::is_empty(dir_ / "out"));
}

} // namespace
