// Messages between processes. The program plays the other process itself
// when started with --ipc-child, so a handle value it publishes belongs to a
// copy of the same program, as in a single-instance hand-over.
#include "platform/afx/Afx.h"
#include "platform/afx/IpcWire.h"
#include "platform/afx/tests/WndTestSupport.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <poll.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr UINT kHandOver = WM_USER + 315;
constexpr UINT kQuit = WM_USER + 99;

std::string g_log; // the child's log file

void Append(const std::string& path, const std::string& line)
{
    std::ofstream(path, std::ios::app | std::ios::binary) << line << "\n";
}

// Written beside the target and renamed: a waiting reader never sees half.
void WriteWhole(const std::string& path, const std::string& text)
{
    std::ofstream(path + ".part", std::ios::binary) << text;
    std::rename((path + ".part").c_str(), path.c_str());
}

std::string Read(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

LRESULT ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        std::string hex;
        for (DWORD i = 0; i < cds->cbData; ++i) {
            char b[3];
            std::snprintf(b, sizeof b, "%02x", static_cast<const unsigned char*>(cds->lpData)[i]);
            hex += b;
        }
        Append(g_log, "copydata " + std::to_string(cds->dwData) + " " + std::to_string(cds->cbData) + " [" + hex +
                          "] from " + std::to_string(wParam));
        return 77;
    }
    if (msg == kQuit) {
        Append(g_log, "quit");
        QCoreApplication::quit();
        return 0;
    }
    if (msg >= WM_USER) {
        Append(g_log, "user " + std::to_string(msg - WM_USER) + " " + std::to_string(wParam) + " " +
                          std::to_string(lParam));
        return static_cast<LRESULT>(wParam + 1);
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// serve TITLE LOG: a window of that title that logs what reaches it; its
// handle value goes to LOG.hwnd, as a program writes it to its settings.
// send TITLE OUT: finds the window and sends it WM_COPYDATA "hi" (dwData 5).
// handover HANDLE OUT: sends the hand-over message to a bare handle value.
int ChildMain(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string mode = argc > 2 ? argv[2] : "";
    if (mode == "serve" && argc > 4) {
        g_log = argv[4];
        WNDCLASS wc{};
        wc.lpfnWndProc = ChildProc;
        wc.lpszClassName = "QlIpcChild";
        RegisterClass(&wc);
        HWND hwnd = CreateWindowEx(0, "QlIpcChild", argv[3], WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
        if (!hwnd)
            return 2;
        WriteWhole(g_log + ".hwnd", std::to_string(reinterpret_cast<std::uintptr_t>(hwnd)));
        app.exec();
        DestroyWindow(hwnd);
        return 0;
    }
    if (mode == "send" && argc > 4) {
        HWND target = FindWindow(nullptr, argv[3]);
        if (!target)
            return 3;
        char payload[] = "hi";
        COPYDATASTRUCT cds{5, 2, payload};
        const LRESULT r = SendMessage(target, WM_COPYDATA, 1234, reinterpret_cast<LPARAM>(&cds));
        WriteWhole(argv[4], std::to_string(r));
        return 0;
    }
    if (mode == "handover" && argc > 4) {
        const auto value = static_cast<std::uintptr_t>(std::strtoull(argv[3], nullptr, 10));
        const LRESULT r = SendMessage(reinterpret_cast<HWND>(value), kHandOver, 41, 0);
        WriteWhole(argv[4], std::to_string(r));
        return 0;
    }
    return 100;
}

std::string SelfPath()
{
    return std::filesystem::read_symlink("/proc/self/exe").string();
}

// Each test has its own runtime folder (inherited by the children), so
// parallel runs never see each other's windows.
class Ipc : public ::testing::Test {
protected:
    std::string dir;
    std::string log;
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "qlafx-ipc-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        log = dir + "/child.log";
    }
    void TearDown() override
    {
        if (serverExit >= 0)
            ::close(serverExit);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::intptr_t Start(std::initializer_list<std::string> args)
    {
        std::vector<std::string> words{"child", "--ipc-child"};
        words.insert(words.end(), args);
        std::vector<const char*> argv;
        for (const std::string& w : words)
            argv.push_back(w.c_str());
        argv.push_back(nullptr);
        return _spawnv(_P_NOWAIT, SelfPath().c_str(), argv.data());
    }
    // A serving child, up and found by its title. Its end can be awaited
    // with WaitForServerExit.
    HWND StartServer(const char* title)
    {
        const std::intptr_t pid = Start({"serve", title, log});
        if (pid <= 0)
            return nullptr;
        // Taken at once, before the child can have ended and been reaped.
        serverExit = static_cast<int>(::syscall(SYS_pidfd_open, static_cast<pid_t>(pid), 0));
        HWND found = nullptr;
        PumpUntil([&] { return (found = FindWindow(nullptr, title)) != nullptr; });
        return found;
    }
    // Waits, however long it takes, until the serving child has ended: only
    // then are its windows surely gone.
    void WaitForServerExit()
    {
        ASSERT_GE(serverExit, 0);
        pollfd p{serverExit, POLLIN, 0};
        while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
        }
    }
    int serverExit = -1; // a process descriptor of the serving child
    bool WaitForLog(const std::string& text)
    {
        return PumpUntil([&] { return Read(log).find(text) != std::string::npos; });
    }
};

TEST_F(Ipc, FindWindowAndCopyDataCarryBytesToAnotherProcess)
{
    HWND child = StartServer("QL Kelvane Core");
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(IsWindow(child)) << "a window of another process";
    EXPECT_EQ(GetWindowThreadProcessId(child, nullptr), 0u);
    EXPECT_EQ(FindWindow("QlIpcChild", "QL Kelvane Core"), child) << "by class and title, the same handle";
    EXPECT_EQ(FindWindow("qlipcchild", nullptr), child) << "class names without regard to case";
    EXPECT_EQ(FindWindow(nullptr, "ql kelvane core"), nullptr) << "titles exactly";

    const char bytes[] = {'a', '\0', 'b', '\xff'};
    COPYDATASTRUCT cds{42, sizeof bytes, const_cast<char*>(bytes)};
    EXPECT_EQ(SendMessage(child, WM_COPYDATA, 99, reinterpret_cast<LPARAM>(&cds)), 77) << "the handler's result";
    COPYDATASTRUCT notice{1, 0, nullptr};
    EXPECT_EQ(SendMessage(child, WM_COPYDATA, 99, reinterpret_cast<LPARAM>(&notice)), 77);
    EXPECT_EQ(SendMessage(child, WM_USER + 7, 3, -4), 4);
    char title[64] = "unchanged";
    EXPECT_EQ(SendMessage(child, WM_GETTEXT, sizeof title, reinterpret_cast<LPARAM>(title)), 0)
        << "a pointer would mean nothing over there: not sent";
    EXPECT_STREQ(title, "unchanged");
    EXPECT_TRUE(PostMessage(child, WM_USER + 8, 5, 6));
    EXPECT_FALSE(PostMessage(child, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds))) << "refused, as on Windows";
    ASSERT_TRUE(PostMessage(child, kQuit, 0, 0));
    ASSERT_TRUE(WaitForLog("quit"));
    EXPECT_EQ(Read(log), "copydata 42 4 [610062ff] from 99\n"
                         "copydata 1 0 [] from 99\n"
                         "user 7 3 -4\n"
                         "user 8 5 6\n"
                         "quit\n");
    WaitForServerExit();
    EXPECT_EQ(FindWindow(nullptr, "QL Kelvane Core"), nullptr) << "gone with its process";
    EXPECT_FALSE(IsWindow(child));
    EXPECT_EQ(SendMessage(child, WM_USER, 0, 0), 0);
}

// The editor's way at close: through CWnd::FindWindow and the object it gives.
TEST_F(Ipc, CWndOfAnotherProcessesWindowSendsToIt)
{
    ASSERT_NE(StartServer("QL Kelvane Core"), nullptr);
    CWnd* companion = CWnd::FindWindow(nullptr, "QL Kelvane Core");
    ASSERT_NE(companion, nullptr);
    COPYDATASTRUCT cds{1, 0, nullptr};
    EXPECT_EQ(companion->SendMessage(WM_COPYDATA, 0x10010, reinterpret_cast<LPARAM>(&cds)), 77);
    EXPECT_TRUE(companion->PostMessage(kQuit));
    ASSERT_TRUE(WaitForLog("quit"));
    EXPECT_EQ(Read(log), "copydata 1 0 [] from 65552\nquit\n");
}

class CReceiver : public CWnd {
public:
    std::string m_bytes;
    ULONG_PTR m_data = 0;
    WPARAM m_from = 0;

protected:
    BOOL OnCopyData(CWnd*, COPYDATASTRUCT* cds)
    {
        m_data = cds->dwData;
        m_from = GetCurrentMessage()->wParam;
        m_bytes.assign(static_cast<const char*>(cds->lpData), cds->cbData);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReceiver, CWnd)
    ON_WM_COPYDATA()
END_MESSAGE_MAP()

TEST_F(Ipc, WindowOfThisProcessReceivesFromAnother)
{
    CReceiver wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "Receiver", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    wnd.SetWindowText("Quillo Receiver");
    const std::string out = dir + "/sent.txt";
    ASSERT_GT(Start({"send", "Quillo Receiver", out}), 0);
    ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(out); }));
    EXPECT_EQ(Read(out), "1") << "OnCopyData's TRUE came back";
    EXPECT_EQ(wnd.m_bytes, "hi");
    EXPECT_EQ(wnd.m_data, 5u);
    EXPECT_EQ(wnd.m_from, 1234u);
    wnd.DestroyWindow();
}

TEST_F(Ipc, HandleValueOfACopyOfThisProgramReachesItsWindow)
{
    HWND child = StartServer("QuilloGlance");
    ASSERT_NE(child, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(log + ".hwnd"); }));
    const std::string value = Read(log + ".hwnd");
    const std::string out = dir + "/handover.txt";
    ASSERT_GT(Start({"handover", value, out}), 0);
    ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(out); }));
    EXPECT_EQ(Read(out), "42") << "a blocking send with its result";
    EXPECT_TRUE(WaitForLog("user 315 41 0"));

    // A value that no window has: the send fails quietly.
    const std::string none = dir + "/none.txt";
    ASSERT_GT(Start({"handover", "12345", none}), 0);
    ASSERT_TRUE(PumpUntil([&] { return std::filesystem::exists(none); }));
    EXPECT_EQ(Read(none), "0");
    PostMessage(child, kQuit, 0, 0);
    WaitForLog("quit");
}

TEST_F(Ipc, OnlyNamedLiveWindowsArePublished)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr));
    auto records = [&] {
        size_t n = 0;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(dir + "/quillo-windows", ec))
            n += e.path().extension() == ".info";
        return n;
    };
    EXPECT_EQ(records(), 0u) << "a window without a title is not published";
    wnd.SetWindowText("First");
    EXPECT_EQ(records(), 1u);
    wnd.SetWindowText("Second");
    EXPECT_EQ(records(), 1u);
    wnd.DestroyWindow();
    EXPECT_EQ(records(), 0u);
}

// ---- the wire format ----

TEST(IpcWire, FramesRoundTripAndArriveInPieces)
{
    qlafx::ipc::Frame f;
    f.kind = qlafx::ipc::Kind::Send;
    f.message = WM_COPYDATA;
    f.wParam = 0x0102030405060708u;
    f.lParam = 9;
    f.dwData = 1;
    f.data = std::string("a\0b", 3);
    const std::string bytes = qlafx::ipc::EncodeFrame(f);
    ASSERT_EQ(bytes.size(), 43u);
    EXPECT_EQ(bytes.substr(0, 4), "QLMS");
    EXPECT_EQ(bytes.substr(12, 8), std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8)) << "little-endian";
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        qlafx::ipc::Frame out;
        size_t used = 99;
        EXPECT_EQ(qlafx::ipc::DecodeFrame(reinterpret_cast<const unsigned char*>(bytes.data()), cut, out, used),
                  qlafx::ipc::Parse::NeedMore)
            << cut;
        EXPECT_EQ(used, 0u);
    }
    qlafx::ipc::Frame out;
    size_t used = 0;
    const std::string two = bytes + bytes;
    ASSERT_EQ(qlafx::ipc::DecodeFrame(reinterpret_cast<const unsigned char*>(two.data()), two.size(), out, used),
              qlafx::ipc::Parse::Ok);
    EXPECT_EQ(used, 43u);
    EXPECT_EQ(out.message, f.message);
    EXPECT_EQ(out.wParam, f.wParam);
    EXPECT_EQ(out.dwData, 1u);
    EXPECT_EQ(out.data, f.data);
}

TEST(IpcWire, BadFramesAndRecordsAreRefused)
{
    qlafx::ipc::Frame f;
    std::string good = qlafx::ipc::EncodeFrame(f);
    struct Case {
        const char* name;
        std::string bytes;
    };
    std::string wrongKind = good;
    wrongKind[4] = 7;
    std::string tooLong = good;
    tooLong[39] = 0x7F; // data length far beyond the limit
    const Case cases[] = {{"magic", "QLMX" + good.substr(4)}, {"kind", wrongKind}, {"length", tooLong}};
    for (const Case& c : cases) {
        qlafx::ipc::Frame out;
        size_t used = 0;
        EXPECT_EQ(qlafx::ipc::DecodeFrame(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), out,
                                          used),
                  qlafx::ipc::Parse::Bad)
            << c.name;
    }

    const std::string info = qlafx::ipc::EncodeWindowInfo({0x10010, "QlIpcChild", "QL Kelvane Core"});
    qlafx::ipc::WindowInfo back;
    ASSERT_TRUE(qlafx::ipc::DecodeWindowInfo(reinterpret_cast<const unsigned char*>(info.data()), info.size(), back));
    EXPECT_EQ(back.handle, 0x10010u);
    EXPECT_EQ(back.className, "QlIpcChild");
    EXPECT_EQ(back.title, "QL Kelvane Core");
    for (size_t cut = 0; cut < info.size(); ++cut)
        EXPECT_FALSE(qlafx::ipc::DecodeWindowInfo(reinterpret_cast<const unsigned char*>(info.data()), cut, back))
            << cut;
    const std::string longer = info + "x";
    EXPECT_FALSE(qlafx::ipc::DecodeWindowInfo(reinterpret_cast<const unsigned char*>(longer.data()), longer.size(), back));
}

} // namespace

int main(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (argc > 1 && std::strcmp(argv[1], "--ipc-child") == 0)
        return ChildMain(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
