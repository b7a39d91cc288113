#include "platform/win/Process.h"
#include "platform/win/Threads.h"
#include "platform/win/tests/ChildSupport.h"
#include "platform/win/tests/TestDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <fstream>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace {

struct ExitCase {
    const char* code;
    std::intptr_t expected;
};

TEST(Spawn, WaitReturnsTheChildsExitCode)
{
    const ExitCase cases[] = {{"0", 0}, {"1", 1}, {"42", 42}, {"255", 255}};
    for (const ExitCase& c : cases)
        EXPECT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "qlwin_child.exe", "exit", c.code, nullptr), c.expected)
            << "exit " << c.code;
    EXPECT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "qlwin_child.exe", "kill", nullptr), 128 + 9) << "ended by SIGKILL";
}

TEST(Spawn, ExeNameMeansTheProgramWithoutExtension)
{
    EXPECT_EQ(_spawnl(_P_WAIT, (kChild + ".exe").c_str(), "x.exe", "exit", "7", nullptr), 7);
    EXPECT_EQ(_spawnl(_P_WAIT, (kChild + ".EXE").c_str(), "x.exe", "exit", "8", nullptr), 8);
}

TEST(Spawn, MissingProgramOrBadModeFails)
{
    TestDir dir;
    EXPECT_EQ(_spawnl(_P_WAIT, (dir / "nothing.exe").c_str(), "nothing.exe", nullptr), -1);
    EXPECT_EQ(_spawnl(_P_WAIT, dir.path().c_str(), "folder", nullptr), -1) << "a folder is no program";
    EXPECT_EQ(_spawnl(7, kChild.c_str(), "x", "exit", "0", nullptr), -1);
}

std::string Lines(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines)
        text += l + "\n";
    return text;
}

TEST(Spawn, ArgumentsArrivePlainWithoutWindowsQuotes)
{
    TestDir dir;
    const std::string out = dir / "args.txt";
    ASSERT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "qlwin_child.exe", "args", out.c_str(), "-i", "\"/tmp/a b.raw\"", "\"\"",
                      "x\"y", "\"", nullptr),
              0);
    EXPECT_EQ(dir.read("args.txt"), Lines({"-i", "/tmp/a b.raw", "", "x\"y", "\""}));
}

TEST(Spawn, NoWaitReturnsAtOnceAndTheChildRuns)
{
    TestDir dir;
    const std::string out = dir / "done.txt";
    const std::intptr_t pid = _spawnl(_P_NOWAIT, kChild.c_str(), "qlwin_child.exe", "args", out.c_str(), "ok", nullptr);
    ASSERT_GT(pid, 0);
    ASSERT_TRUE(WaitForFile(out));
    EXPECT_EQ(dir.read("done.txt"), "ok\n");
}

struct SplitCase {
    const char* line;
    std::vector<std::string> words;
};

TEST(CommandLine, SplitsAsTheWindowsRuntimeDoes)
{
    const SplitCase cases[] = {
        {"", {}},
        {"  a  b\tc ", {"a", "b", "c"}},
        {"\"a b\" c", {"a b", "c"}},
        {"a\"b c\"d", {"ab cd"}},
        {"\"\"", {""}},
        {"a\\\\\"b c\"", {"a\\b c"}},
        {"a\\\"b", {"a\"b"}},
        {"a\\b", {"a\\b"}},
        {"\"open", {"open"}},
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(qlwin::SplitCommandLine(c.line), c.words) << c.line;
}

// A folder with a blank in its name holding a link to the child program.
struct BlankFolder {
    TestDir dir;
    std::string program;
    BlankFolder()
    {
        std::filesystem::create_directory(dir.path() / "my tools");
        program = dir / "my tools/child";
        std::filesystem::create_symlink(kChild, program);
    }
};

TEST(WinExec, FindsAProgramWhosePathHasBlanks)
{
    BlankFolder f;
    const std::string out = f.dir / "winexec.txt";
    EXPECT_GT(WinExec((f.program + ".exe args " + out + " \"one two\" three").c_str(), 0), 31u);
    ASSERT_TRUE(WaitForFile(out));
    EXPECT_EQ(f.dir.read("winexec.txt"), Lines({"one two", "three"}));

    EXPECT_EQ(WinExec((f.dir / "my tools/none.exe").c_str(), 0), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(WinExec("", 0), ERROR_FILE_NOT_FOUND);
}

TEST(WinExec, QuotedProgram)
{
    BlankFolder f;
    const std::string out = f.dir / "quoted.txt";
    EXPECT_GT(WinExec(("\"" + f.program + "\" args " + out + " z").c_str(), 0), 31u);
    ASSERT_TRUE(WaitForFile(out));
    EXPECT_EQ(f.dir.read("quoted.txt"), "z\n");
}

// xdg-open replaced by a script that records what it was asked to open.
struct FakeOpener {
    TestDir dir;
    std::string record = dir / "opened.txt";
    std::unique_ptr<EnvScope> path;
    FakeOpener()
    {
        std::filesystem::create_directory(dir.path() / "bin");
        const std::string script = dir / "bin/xdg-open";
        std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << record << ".part'\nmv '" << record
                              << ".part' '" << record << "'\n";
        ::chmod(script.c_str(), 0755);
        const char* old = std::getenv("PATH");
        path = std::make_unique<EnvScope>("PATH", (dir / "bin") + ":" + (old ? old : "/usr/bin:/bin"));
    }
};

auto Code(HINSTANCE h) { return reinterpret_cast<std::uintptr_t>(h); }

TEST(ShellExecute, UrlsAndDocumentsGoToXdgOpen)
{
    {
        FakeOpener opener;
        EXPECT_GT(Code(ShellExecute(nullptr, "open", "https://example.org/qlnew.aspx?Ver=1&Lang=0", nullptr, nullptr, 5)),
                  32u);
        ASSERT_TRUE(WaitForFile(opener.record));
        EXPECT_EQ(opener.dir.read("opened.txt"), "https://example.org/qlnew.aspx?Ver=1&Lang=0\n");
    }
    {
        FakeOpener opener;
        opener.dir.write("help file.chm", "x");
        EXPECT_GT(Code(ShellExecute(nullptr, nullptr, (opener.dir / "help file.chm").c_str(), nullptr, nullptr, 5)),
                  32u);
        ASSERT_TRUE(WaitForFile(opener.record));
        EXPECT_EQ(opener.dir.read("opened.txt"), (opener.dir / "help file.chm") + "\n");
    }
}

TEST(ShellExecute, ProgramsStartDirectlyWithTheirParameters)
{
    FakeOpener opener;
    const std::string out = opener.dir / "started.txt";
    EXPECT_GT(Code(ShellExecute(nullptr, "OPEN", (kChild + ".exe").c_str(),
                                ("args " + out + " \"/photos/a b.jpg\"").c_str(), nullptr, 5)),
              32u);
    ASSERT_TRUE(WaitForFile(out));
    EXPECT_EQ(opener.dir.read("started.txt"), "/photos/a b.jpg\n");
    EXPECT_FALSE(std::filesystem::exists(opener.record)) << "not handed to xdg-open";
}

TEST(ShellExecute, UnknownVerbsAndMissingFilesFail)
{
    FakeOpener opener;
    opener.dir.write("SlideSaver.scr", "x");
    EXPECT_EQ(Code(ShellExecute(nullptr, "install", (opener.dir / "SlideSaver.scr").c_str(), nullptr, nullptr, 5)),
              SE_ERR_NOASSOC);
    EXPECT_EQ(Code(ShellExecute(nullptr, "open", (opener.dir / "none.chm").c_str(), nullptr, nullptr, 5)),
              ERROR_FILE_NOT_FOUND);
}

// ---- named mutexes across processes ----

TEST(NamedMutex, SecondMakerLearnsItExistsInThisAndOtherProcesses)
{
    TestDir dir;
    EnvScope runtime("XDG_RUNTIME_DIR", dir.path().string());
    const char* name = "QuilloViewer";
    EXPECT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "c", "mutex", name, nullptr), 0) << "nobody holds it yet";

    HANDLE first = CreateMutex(nullptr, FALSE, name);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE again = CreateMutex(nullptr, FALSE, name);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "c", "mutex", name, nullptr), 3);
    EXPECT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "c", "mutex", "OtherName", nullptr), 0);

    CloseHandle(again);
    EXPECT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "c", "mutex", name, nullptr), 3) << "one handle still open";
    CloseHandle(first);
    EXPECT_EQ(_spawnl(_P_WAIT, kChild.c_str(), "c", "mutex", name, nullptr), 0) << "gone with the last handle";
}

TEST(NamedMutex, UnnamedMutexesStayPrivate)
{
    TestDir dir;
    EnvScope runtime("XDG_RUNTIME_DIR", dir.path().string());
    HANDLE m = CreateMutex(nullptr, TRUE, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    EXPECT_EQ(dir.count(), 0u) << "no lock file";
    ReleaseMutex(m);
    CloseHandle(m);
}

} // namespace
