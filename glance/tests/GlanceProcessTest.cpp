// Two copies of the real program: the second hands its photo to the first.
#include "GlanceTempDir.h"
#include "platform/afx/Ipc.h"
#include "platform/afx/WinUser.h"
#include "platform/win/Process.h"
#include "platform/win/Profile.h"

#include <QImage>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

namespace {

const std::string kProgram = std::string(QUILLO_PROGRAM_DIR) + "/QuilloGlance";
const std::string kProfile = std::string(QUILLO_PROGRAM_DIR) + "/QuilloView.ini";

template <class Done>
bool WaitFor(Done done, int ms = 20000)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

std::string Open()
{
    char buf[4096];
    GetPrivateProfileString("Temp", "Open", "", buf, sizeof buf, kProfile.c_str());
    return buf;
}

int RunCopy(const std::string& arg)
{
    return static_cast<int>(_spawnl(_P_WAIT, kProgram.c_str(), kProgram.c_str(), arg.empty() ? nullptr : arg.c_str(),
                                    nullptr));
}

} // namespace

TEST(GlanceProcess, SecondCopyHandsItsPhotoOverAndEnds)
{
    GlanceTempDir dir;
    GlanceTempDir runtime;
    std::filesystem::permissions(runtime.Path(), std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QImage photo(64, 48, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    ASSERT_TRUE(photo.save(QString::fromStdString(dir.Path() + "a.jpg")));
    ASSERT_TRUE(photo.save(QString::fromStdString(dir.Path() + "b.jpg")));
    WritePrivateProfileString("Temp", "Handle", "0", kProfile.c_str());
    WritePrivateProfileString("Config", "Max", "0", kProfile.c_str());

    const std::intptr_t first = _spawnl(_P_NOWAIT, kProgram.c_str(), kProgram.c_str(), (dir.Path() + "a.jpg").c_str(),
                                        nullptr);
    ASSERT_GT(first, 0);
    ASSERT_TRUE(WaitFor([] { return GetPrivateProfileInt("Temp", "Handle", 0, kProfile.c_str()) != 0; }));
    ASSERT_TRUE(WaitFor([] { return qlafx::FindWindowOfOtherProcess(nullptr, "Quillo Image Viewer - a.jpg"); }));

    // Without a path: nothing changes.
    EXPECT_EQ(RunCopy(""), 0);
    EXPECT_TRUE(qlafx::FindWindowOfOtherProcess(nullptr, "Quillo Image Viewer - a.jpg"));

    EXPECT_EQ(RunCopy(dir.Path() + "b.jpg"), 0);
    EXPECT_EQ(Open(), "");
    EXPECT_TRUE(WaitFor([] { return qlafx::FindWindowOfOtherProcess(nullptr, "Quillo Image Viewer - b.jpg"); }));

    // While the running copy has no window yet (Handle 0) a second one ends at once.
    char handle[64];
    GetPrivateProfileString("Temp", "Handle", "0", handle, sizeof handle, kProfile.c_str());
    WritePrivateProfileString("Temp", "Handle", "0", kProfile.c_str());
    EXPECT_EQ(RunCopy(dir.Path() + "a.jpg"), 0);
    EXPECT_EQ(Open(), "");
    WritePrivateProfileString("Temp", "Handle", handle, kProfile.c_str());

    HWND viewer = qlafx::FindWindowOfOtherProcess(nullptr, "Quillo Image Viewer - b.jpg");
    ASSERT_TRUE(viewer);
    qlafx::PostToOtherProcess(viewer, WM_CLOSE, 0, 0);
    // _spawnl reaps the child itself: it is gone when it cannot be signalled.
    EXPECT_TRUE(WaitFor([&] { return ::kill(static_cast<pid_t>(first), 0) != 0; }));
    EXPECT_EQ(GetPrivateProfileInt("Temp", "Handle", 7, kProfile.c_str()), 0u);
    if (::kill(static_cast<pid_t>(first), 0) == 0)
        ::kill(static_cast<pid_t>(first), SIGKILL);
}
