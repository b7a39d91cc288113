// Screen grabs on a real X server: pixel for pixel by both paths, the window
// under a point, and F10 pressed while another window has focus.
#include "SnapTestSupport.h"

#include "platform/capture/HotKeyGrab.h"
#include "platform/capture/ScreenGrab.h"
#include "platform/capture/ScreenWindows.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Painted {
    Window id;
    int x, y, w, h;
    unsigned long rgb;
};

// Plain X windows of known colours on a connection of the test's own.
class TestWindows {
public:
    TestWindows() : m_d(XOpenDisplay(nullptr)) {}
    ~TestWindows()
    {
        if (m_d)
            XCloseDisplay(m_d);
    }
    bool ok() const { return m_d != nullptr; }
    Window Add(int x, int y, int w, int h, unsigned long rgb)
    {
        XSetWindowAttributes a{};
        a.background_pixel = rgb;
        a.override_redirect = True;  // placed exactly, with or without a manager
        const Window win = XCreateWindow(m_d, DefaultRootWindow(m_d), x, y, static_cast<unsigned>(w),
                                         static_cast<unsigned>(h), 0, CopyFromParent, InputOutput, CopyFromParent,
                                         CWBackPixel | CWOverrideRedirect, &a);
        XMapRaised(m_d, win);
        XSync(m_d, False);
        m_windows.push_back({win, x, y, w, h, rgb});
        return win;
    }
    Window AddChild(Window parent, int x, int y, int w, int h, unsigned long rgb)
    {
        const Window win = XCreateSimpleWindow(m_d, parent, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h),
                                               0, 0, rgb);
        XMapWindow(m_d, win);
        XSync(m_d, False);
        return win;
    }
    void Settle()
    {
        XSync(m_d, False);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    Display* display() const { return m_d; }

private:
    Display* m_d;
    std::vector<Painted> m_windows;
};

unsigned long PixelAt(const std::vector<std::uint32_t>& px, int w, int x, int y)
{
    return px[static_cast<size_t>(y) * w + x] & 0xFFFFFF;
}

} // namespace

TEST(SnapX11Test, ScreenGrabIsPixelForPixelByBothPaths)
{
    TestWindows t;
    ASSERT_TRUE(t.ok());
    t.Add(10, 20, 100, 50, 0xFF0000);
    t.Add(60, 40, 80, 80, 0x00C040);
    t.Settle();
    int w = 0, h = 0;
    ASSERT_TRUE(qlcapture::ScreenSize(&w, &h));
    for (auto path : {qlcapture::GrabPath::SharedMemory, qlcapture::GrabPath::Plain}) {
        std::vector<std::uint32_t> px(static_cast<size_t>(w) * h);
        ASSERT_TRUE(qlcapture::GrabScreen(0, 0, w, h, px.data(), static_cast<size_t>(w) * 4, path));
        EXPECT_EQ(PixelAt(px, w, 11, 21), 0xFF0000u);
        EXPECT_EQ(PixelAt(px, w, 109, 39), 0xFF0000u);
        EXPECT_EQ(PixelAt(px, w, 60, 40), 0x00C040u);   // the later window on top
        EXPECT_EQ(PixelAt(px, w, 139, 119), 0x00C040u);
        EXPECT_NE(PixelAt(px, w, 140, 119), 0x00C040u);
        EXPECT_EQ(px[0] >> 24, 0xFFu);
    }
    // A rectangle: its first pixel is the screen's at its corner.
    std::vector<std::uint32_t> part(20 * 10);
    ASSERT_TRUE(qlcapture::GrabScreen(55, 35, 20, 10, part.data(), 80));
    EXPECT_EQ(part[0] & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(part[5 * 20 + 5] & 0xFFFFFF, 0x00C040u);
    EXPECT_FALSE(qlcapture::GrabScreen(w - 5, 0, 10, 10, part.data(), 80));  // off the screen
}

// A compositing manager draws the windows into the root itself; the root
// grab must still carry them.
TEST(SnapX11Test, ScreenGrabCarriesTheWindowsUnderACompositingManager)
{
    if (std::system("command -v xcompmgr >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xcompmgr is not installed (./quillo test installs it)";
    TestWindows t;
    ASSERT_TRUE(t.ok());
    const pid_t manager = fork();
    if (manager == 0) {
        execlp("xcompmgr", "xcompmgr", "-c", static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(manager, 0);
    struct Stop {
        pid_t pid;
        ~Stop()
        {
            kill(pid, SIGTERM);
            waitpid(pid, nullptr, 0);
        }
    } stop{manager};
    const Atom selection = XInternAtom(t.display(), "_NET_WM_CM_S0", False);
    for (int i = 0; i < 100 && XGetSelectionOwner(t.display(), selection) == None; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_NE(XGetSelectionOwner(t.display(), selection), static_cast<Window>(None)) << "no compositing manager";
    t.Add(200, 200, 100, 60, 0x2040E0);
    t.Add(250, 230, 60, 60, 0xE0C000);
    t.Settle();
    int w = 0, h = 0;
    ASSERT_TRUE(qlcapture::ScreenSize(&w, &h));
    for (auto path : {qlcapture::GrabPath::SharedMemory, qlcapture::GrabPath::Plain}) {
        std::vector<std::uint32_t> px(static_cast<size_t>(w) * h);
        // The manager paints a moment after the windows map.
        for (int i = 0; i < 40; ++i) {
            ASSERT_TRUE(qlcapture::GrabScreen(0, 0, w, h, px.data(), static_cast<size_t>(w) * 4, path));
            if (PixelAt(px, w, 205, 205) == 0x2040E0u && PixelAt(px, w, 300, 280) == 0xE0C000u)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        // Away from the shadow the manager casts up and left of each window.
        EXPECT_EQ(PixelAt(px, w, 205, 205), 0x2040E0u);
        EXPECT_EQ(PixelAt(px, w, 210, 255), 0x2040E0u);
        EXPECT_EQ(PixelAt(px, w, 255, 235), 0xE0C000u);  // the later window on top
        EXPECT_EQ(PixelAt(px, w, 300, 280), 0xE0C000u);
    }
}

TEST(SnapX11Test, OverlayTakesTheScreenThroughTheScreenDc)
{
    snaptest::SetUpProgram();
    TestWindows t;
    ASSERT_TRUE(t.ok());
    t.Add(0, 0, 64, 48, 0x2050F0);
    t.Settle();
    snap::CCaptureOverlayDlg dlg(0);
    dlg.TakeSnapshot();
    UINT w = 0, h = 0;
    dlg.m_snapshot.GetSize(&w, &h);
    int sw = 0, sh = 0;
    ASSERT_TRUE(qlcapture::ScreenSize(&sw, &sh));
    EXPECT_EQ(static_cast<int>(w), sw);
    EXPECT_EQ(static_cast<int>(h), sh);
    const CPixel p = dlg.m_snapshot.GetPixel2(10, 10);  // rows top to bottom
    EXPECT_EQ(p.r, 0x20);
    EXPECT_EQ(p.g, 0x50);
    EXPECT_EQ(p.b, 0xF0);
}

TEST(SnapX11Test, WindowWalkFindsTheTopWindowAndItsChild)
{
    TestWindows t;
    ASSERT_TRUE(t.ok());
    const Window low = t.Add(100, 100, 200, 150, 0x404040);
    const Window high = t.Add(250, 200, 100, 100, 0x808080);
    const Window child = t.AddChild(low, 10, 10, 40, 30, 0xFFFFFF);
    t.Settle();
    const auto all = qlcapture::TopLevelWindows();
    auto at = [&](int x, int y) -> qlcapture::ScreenWindow {
        for (const auto& w : all)
            if (w.left < x && x < w.right && w.top < y && y < w.bottom)
                return qlcapture::DeepestChildAt(w, x, y);
        return {};
    };
    EXPECT_EQ(at(260, 210).id, high);  // over both: the one on top
    EXPECT_EQ(at(150, 200).id, low);
    const qlcapture::ScreenWindow c = at(115, 115);
    EXPECT_EQ(c.id, child);
    EXPECT_EQ(c.left, 110);
    EXPECT_EQ(c.top, 110);
    EXPECT_EQ(c.right, 150);
    EXPECT_EQ(c.bottom, 140);
}

TEST(SnapX11Test, F10PressedElsewhereFiresTheHotKey)
{
    TestWindows t;
    ASSERT_TRUE(t.ok());
    const Window other = t.Add(0, 0, 100, 100, 0x123456);
    XSetInputFocus(t.display(), other, RevertToParent, CurrentTime);
    t.Settle();
    std::atomic<int> fired{0};
    ASSERT_TRUE(qlcapture::GrabHotKey(1861, 0, 0x79, [&](int id) { fired = id; }));
    // A second client cannot have the same key.
    EXPECT_EQ(std::system("xdotool key F10"), 0);
    for (int i = 0; i < 50 && !fired; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(fired.load(), 1861);
    EXPECT_FALSE(qlcapture::GrabHotKey(1861, 0, 0x79, [](int) {}));  // the id is taken
    EXPECT_TRUE(qlcapture::UngrabHotKey(1861));
    EXPECT_FALSE(qlcapture::UngrabHotKey(1861));
}

TEST(SnapX11Test, F10HeldByAnotherClientCannotBeGrabbed)
{
    TestWindows t;
    ASSERT_TRUE(t.ok());
    const int code = XKeysymToKeycode(t.display(), XK_F10);
    XGrabKey(t.display(), code, 0, DefaultRootWindow(t.display()), True, GrabModeAsync, GrabModeAsync);
    XSync(t.display(), False);
    EXPECT_FALSE(qlcapture::GrabHotKey(77, 0, 0x79, [](int) {}));
    XUngrabKey(t.display(), code, 0, DefaultRootWindow(t.display()));
    XSync(t.display(), False);
    EXPECT_TRUE(qlcapture::GrabHotKey(77, 0, 0x79, [](int) {}));
    EXPECT_TRUE(qlcapture::UngrabHotKey(77));
}

TEST(SnapX11Test, PressF10ModeCapturesTheScreenWhileAnotherWindowHasFocus)
{
    snaptest::SetUpProgram();
    TestWindows t;
    ASSERT_TRUE(t.ok());
    const Window other = t.Add(0, 0, 120, 90, 0xC08020);
    t.Settle();
    snap::CCaptureOverlayDlg dlg(4);
    std::vector<std::string> boxes;
    std::thread presser;
    snaptest::HookGuard hook([&](CWnd* d, const char*, const char* text, UINT) {
        if (!d) {
            boxes.push_back(text);
            return boxes.size() == 1 ? IDOK : IDYES;
        }
        dlg.OnTimer(snap::kOverlayTimer);  // grabs F10 and hides the overlay
        EXPECT_FALSE(dlg.IsWindowVisible());
        XSetInputFocus(t.display(), other, RevertToParent, CurrentTime);
        XSync(t.display(), False);
        presser = std::thread([] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            std::system("xdotool key F10");
        });
        return qlafx::kModalRun;
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    presser.join();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0], "When ready, press F10 to capture.");
    EXPECT_EQ(boxes[1], "Confirm the screen capture result.");
    const CPixel p = dlg.m_snapshot.GetPixel2(20, 20);
    EXPECT_EQ(p.r, 0xC0);
    EXPECT_EQ(p.g, 0x80);
    EXPECT_EQ(p.b, 0x20);
    // The grab ended with the overlay: F10 is free again.
    EXPECT_TRUE(qlcapture::GrabHotKey(78, 0, 0x79, [](int) {}));
    EXPECT_TRUE(qlcapture::UngrabHotKey(78));
}
