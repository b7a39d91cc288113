// The update list, the download dialog and the run-mode dialog, driven
// through the modal hook against a loopback server, on a fixed clock
// (TZ=UTC) and a private program folder.
#include "LoopbackServer.h"
#include "beacon/DownloadDlg.h"
#include "beacon/DownloadThread.h"
#include "beacon/RunModeDlg.h"
#include "beacon/UpdateListDlg.h"
#include "platform/afx/Controls.h"
#include "platform/afx/Menu.h"
#include "platform/afx/MessageBox.h"
#include "platform/afx/Wnd.h"
#include "platform/inet/Internet.h"
#include "platform/afx/WinApp.h"
#include "platform/win/Process.h"
#include "platform/win/Profile.h"
#include "platform/win/ProgramFolder.h"

#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;
using inettest::Connection;
using inettest::LoopbackServer;

namespace {

constexpr const char kListCaption[] = "Check for new updates of Quillo";

std::time_t Utc(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    return timegm(&tm);
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Text(CWnd* dlg, int id)
{
    CString s;
    dlg->GetDlgItemText(id, s);
    return s.GetString();
}

bool Enabled(CWnd* dlg, int id) { return dlg->GetDlgItem(id) && dlg->GetDlgItem(id)->IsWindowEnabled(); }

void SaveGrab(CWnd* wnd, const char* name)
{
    QWidget* w = qlafx::WidgetOf(wnd->m_hWnd);
    ASSERT_TRUE(w);
    fs::create_directories(QUILLO_TEST_OUT);
    EXPECT_TRUE(w->grab().toImage().save(QString::fromStdString(std::string(QUILLO_TEST_OUT) + "/" + name + ".png")));
}

struct Box {
    std::string caption, text;
};

// Answers message boxes (recording them) and hands each dialog, by its
// caption, to a script; unscripted dialogs are cancelled.
class Hooks {
public:
    Hooks()
    {
        qlafx::SetModalHook([this](CWnd* dlg, const char* caption, const char* text, UINT) -> int {
            if (!dlg) {
                boxes.push_back({caption ? caption : "", text ? text : ""});
                return boxAnswer;
            }
            const std::string c = caption ? caption : "";
            auto it = scripts.find(c);
            opened.push_back(c);
            if (it == scripts.end())
                return IDCANCEL;
            return it->second(dlg);
        });
        qlwin::SetShellExecuteHook([this](LPCSTR verb, LPCSTR file, LPCSTR) {
            shell.push_back(std::string(verb ? verb : "") + " " + (file ? file : ""));
            return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(42));
        });
    }
    ~Hooks()
    {
        qlafx::SetModalHook({});
        qlafx::SetPopupMenuHook({});
        qlwin::SetShellExecuteHook({});
    }
    std::map<std::string, std::function<int(CWnd*)>> scripts;
    std::vector<Box> boxes;
    std::vector<std::string> opened;
    std::vector<std::string> shell;
    int boxAnswer = IDOK;
};

const std::string kDigestOfPayload = qlinet::Sha256Hex("0123456789", 10);

class BeaconWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        char tmpl[] = "/tmp/beaconui-XXXXXX";
        m_dir = std::string(mkdtemp(tmpl)) + "/";
        fs::create_directories(m_dir + "tmp");
        m_profile = m_dir + "Quillo.ini";
        qlwin::SetProgramFolder(m_dir);
        m_now = Utc(2026, 3, 10, 8, 0, 0);
    }
    void TearDown() override
    {
        if (AfxGetApp())
            AfxGetApp()->m_pMainWnd = nullptr;
        beacon::DownloadThread() = nullptr;
        fs::remove_all(m_dir);
    }
    // A steady installation: introduced, weekly, last run a day ago.
    void Steady(int runMode = 0)
    {
        beacon::WriteProfileInt(m_profile, "RunMode", runMode);
        beacon::WriteProfileInt(m_profile, "FirstWeek", 0);
        beacon::WriteLastRun(m_profile, m_now - 86400);
        beacon::WriteLastSuccess(m_profile, m_now - 2 * 86400);
    }
    void Fill(beacon::CUpdateListDlg& dlg, const std::string& server)
    {
        dlg.m_profile = m_profile;
        dlg.m_programFolder = m_dir;
        dlg.m_tempFolder = m_dir + "tmp/";
        dlg.m_server = beacon::ParseServer(server);
        dlg.m_clock = [this] { return m_now; };
    }
    // Runs the list window; script works it after its opening.
    int RunList(Hooks& hooks, const std::string& server, bool automatic, std::function<int(beacon::CUpdateListDlg&)> script)
    {
        beacon::CUpdateListDlg dlg;
        Fill(dlg, server);
        dlg.m_automatic = automatic;
        hooks.scripts[kListCaption] = [&](CWnd*) {
            const int result = script ? script(dlg) : IDCANCEL;
            // Closed as the user closes it, so the closing time is written.
            if (::IsWindow(dlg.m_hWnd))
                dlg.SendDlgItemMessage(IDCANCEL, BM_CLICK);
            return result;
        };
        return static_cast<int>(dlg.DoModal());
    }
    static void ClickCheck(beacon::CUpdateListDlg& dlg, UINT span)
    {
        qlafx::SetPopupMenuHook([span](HMENU, QMenu*) -> UINT { return span; });
        dlg.SendDlgItemMessage(IDOK, BM_CLICK);
        qlafx::SetPopupMenuHook({});
        // The chosen command arrives as a posted WM_COMMAND.
        for (int i = 0; i < 500 && Enabled(&dlg, IDOK); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    static void Select(beacon::CUpdateListDlg& dlg, int row)
    {
        for (int i = 0; i < dlg.List().GetItemCount(); ++i)
            dlg.List().SetItemState(i, i == row ? LVIS_SELECTED | LVIS_FOCUSED : 0, LVIS_SELECTED | LVIS_FOCUSED);
    }
    static void DoubleClick(beacon::CUpdateListDlg& dlg, int row)
    {
        NMITEMACTIVATE nm{};
        nm.hdr.hwndFrom = dlg.List().m_hWnd;
        nm.hdr.idFrom = 1004;
        nm.hdr.code = NM_DBLCLK;
        nm.iItem = row;
        dlg.SendMessage(WM_NOTIFY, 1004, reinterpret_cast<LPARAM>(&nm));
    }

    std::string m_dir, m_profile;
    std::time_t m_now = 0;
};

// A reply with a row of each type.
const std::string kEveryType =
    "Quillo news,http://www.quillo.invalid/news,0,2026-3-1,1,1,What is new this month\r\n"
    "Autumn frame,files/Autumn.FRM,245.3,2026-3-2,2,2,A frame of falling leaves in warm colours," + kDigestOfPayload +
    "\r\n"
    "Sketch tools,files/sketch.zip,1820,2026-3-3,3,3,Pencil and charcoal tools," + kDigestOfPayload + "\r\n"
    "Sunset theme,files/sunset.cth,12.4,2026-3-4,4,4,Warm evening colours\r\n"
    "QuilloGlance 2,files/QuilloGlance.exe,5230.7,2026-3-5,5,5,A faster viewer," + kDigestOfPayload + "\r\n"
    "Sample photos,files/samples.dat,30720,2026-3-6,6,6,Photos to try the tools on," + kDigestOfPayload + "\r\n"
    "Thanks,x,0,2026-3-7,7,0,Thank you for using Quillo\r\n";

struct Served {
    std::string reply = kEveryType;
    std::string payload = "0123456789";
    std::function<void(Connection&)> download;  // instead of the payload
};

std::unique_ptr<LoopbackServer> Serve(const Served& s)
{
    return std::make_unique<LoopbackServer>([s](const std::string& line, Connection& c) {
        if (line.find("/engupdate.aspx") != std::string::npos)
            c.Answer(200, "OK", s.reply);
        else if (s.download)
            s.download(c);
        else
            c.Answer(200, "OK", s.payload);
    });
}

TEST_F(BeaconWindows, AllUpdatesFillsTheListAndOneQueryAWindow)
{
    Steady();
    auto server = Serve({});
    Hooks hooks;
    std::vector<std::tuple<std::string, std::string, bool>> actions;
    RunList(hooks, server->Base(), false, [&](beacon::CUpdateListDlg& dlg) {
        EXPECT_EQ(dlg.StatusText(), "Please connect to internet first.");
        EXPECT_EQ(Text(&dlg, 1014), "Do Nothing");
        EXPECT_FALSE(Enabled(&dlg, 1014));
        ClickCheck(dlg, 32775);
        EXPECT_EQ(dlg.StatusText(), "Found 7 update(s) since 2004-1-1 0:0:0");
        EXPECT_FALSE(Enabled(&dlg, IDOK)) << "one query a window";
        EXPECT_EQ(dlg.List().GetItemText(0, 0), "Quillo news  [Doubleclick To Know More]");
        EXPECT_EQ(dlg.List().GetItemText(1, 1), "Frame");
        EXPECT_EQ(dlg.List().GetItemText(1, 2), "245.3KB");
        EXPECT_EQ(dlg.List().GetItemText(1, 3), "2026-3-2");
        EXPECT_EQ(dlg.List().GetItemText(0, 2), "");
        for (int row = 0; row < dlg.List().GetItemCount(); ++row) {
            Select(dlg, row);
            actions.emplace_back(Text(&dlg, 1014), Text(&dlg, 1013), Enabled(&dlg, 1014));
        }
        Select(dlg, -1);
        EXPECT_EQ(Text(&dlg, 1014), "Do Nothing");
        EXPECT_FALSE(Enabled(&dlg, 1014));
        Select(dlg, 1);
        SaveGrab(&dlg, "beacon_list");
        return IDCANCEL;
    });
    ASSERT_EQ(server->RequestLines().size(), 1u);
    EXPECT_EQ(server->RequestLines()[0],
              "GET /engupdate.aspx?ID=&CODE=&Serial=&Last=2004-1-1%200%3A0%3A0 HTTP/1.1");
    const std::vector<std::tuple<std::string, std::string, bool>> expected = {
        {"Know More ...", "What is new this month", true},
        {"Download and Install ...", "A frame of falling leaves in warm colours", true},
        {"Download and Install ...", "Pencil and charcoal tools", true},
        {"Download and Install ...", "Warm evening colours", true},
        {"Download and Install ...", "A faster viewer", true},
        {"Download and Install ...", "Photos to try the tools on", true},
        {"Do Nothing", "Thank you for using Quillo", false},
    };
    EXPECT_EQ(actions, expected);
    EXPECT_EQ(beacon::ReadProfileTime(m_profile, "LastRun"), m_now);
    EXPECT_EQ(beacon::ReadProfileTime(m_profile, "SucRun"), m_now) << "Close writes the closing time";
    EXPECT_TRUE(hooks.boxes.empty());
}

TEST_F(BeaconWindows, SpansAskFromTheirTimes)
{
    Steady();
    auto server = Serve({"", ""});
    Hooks hooks;
    RunList(hooks, server->Base(), false, [&](beacon::CUpdateListDlg& dlg) {
        EXPECT_EQ(dlg.SpanTime(32771), m_now - 2 * 86400);
        EXPECT_EQ(dlg.SpanTime(32772), m_now - 604800);
        EXPECT_EQ(dlg.SpanTime(32773), m_now - 2592000);
        EXPECT_EQ(dlg.SpanTime(32774), m_now - 31536000);
        ClickCheck(dlg, 32771);
        EXPECT_EQ(dlg.StatusText(), "Found 0 update(s) since 2026-3-8 8:0:0");
        EXPECT_FALSE(Enabled(&dlg, IDOK)) << "stays disabled after finding nothing";
        return IDCANCEL;
    });
    ASSERT_EQ(server->RequestLines().size(), 1u);
    EXPECT_NE(server->RequestLines()[0].find("Last=2026-3-8%208%3A0%3A0 "), std::string::npos);
}

TEST_F(BeaconWindows, FailedQueriesKeepListAndTimes)
{
    Steady();
    auto good = Serve({});
    LoopbackServer notFound([](const std::string&, Connection& c) { c.Answer(404, "Not Found", kEveryType); });
    LoopbackServer tooLarge([](const std::string&, Connection& c) { c.Answer(200, "OK", std::string(120000, 'x')); });
    const std::string closed = "127.0.0.1:" + std::to_string(inettest::ClosedPort());
    Hooks hooks;
    RunList(hooks, good->Base(), false, [&](beacon::CUpdateListDlg& dlg) {
        dlg.QueryUpdates(m_now - 100);
        const std::time_t lastRun = beacon::ReadProfileTime(m_profile, "LastRun");
        m_now += 3600;
        struct Case {
            std::string server, status, box;
        } cases[] = {
            {closed, "Check for new updates...", "*"},
            {notFound.Base(), "Check for new updates...", "HTTP/1.1 404 Not Found"},
            {tooLarge.Base(), "Error Occurs!", ""},
        };
        for (const Case& c : cases) {
            hooks.boxes.clear();
            dlg.m_server = beacon::ParseServer(c.server);
            dlg.QueryUpdates(m_now - 100);
            EXPECT_EQ(dlg.List().GetItemCount(), 7) << c.server;
            EXPECT_EQ(dlg.m_items.size(), 7u) << c.server;
            EXPECT_EQ(dlg.StatusText(), c.status) << c.server;
            EXPECT_EQ(beacon::ReadProfileTime(m_profile, "LastRun"), lastRun) << c.server;
            if (c.box.empty()) {
                EXPECT_TRUE(hooks.boxes.empty()) << c.server;
            } else {
                EXPECT_EQ(hooks.boxes.size(), 1u) << c.server;
                if (!hooks.boxes.empty() && c.box != "*") {
                    EXPECT_EQ(hooks.boxes[0].text, c.box);
                }
            }
        }
        return IDCANCEL;
    });
}

TEST_F(BeaconWindows, LinkRowDoubleClickOpensItsPageWithoutADialog)
{
    Steady();
    auto server = Serve({});
    Hooks hooks;
    RunList(hooks, server->Base(), false, [&](beacon::CUpdateListDlg& dlg) {
        ClickCheck(dlg, 32775);
        Select(dlg, 0);
        DoubleClick(dlg, 0);
        Select(dlg, 6);
        DoubleClick(dlg, 6);
        return IDCANCEL;
    });
    EXPECT_EQ(hooks.shell, std::vector<std::string>{"open http://www.quillo.invalid/news"});
    EXPECT_EQ(hooks.opened, std::vector<std::string>{kListCaption});
}

TEST_F(BeaconWindows, SettingsPresetsEveryWeekAndWritesOnlyOnOk)
{
    Steady();
    WritePrivateProfileString("Beacon", "RunMode", nullptr, m_profile.c_str());
    beacon::WriteProfileInt(m_profile, "FirstWeek", 0);
    Hooks hooks;
    std::string shown;
    hooks.scripts["Settings"] = [&](CWnd* d) {
        CString text;
        d->GetDlgItem(1009)->GetWindowText(text);
        shown = text.GetString();
        d->SendDlgItemMessage(1009, CB_SETCURSEL, 1);
        return d->SendDlgItemMessage(IDOK, BM_CLICK), IDOK;
    };
    beacon::CUpdateListDlg dlg;
    Fill(dlg, "127.0.0.1:1");
    dlg.m_profile = m_profile;
    // Settings is reached from a steady window: RunMode is read back with 0.
    beacon::WriteProfileInt(m_profile, "RunMode", 0);
    hooks.scripts[kListCaption] = [&](CWnd*) {
        WritePrivateProfileString("Beacon", "RunMode", nullptr, m_profile.c_str());
        dlg.SendDlgItemMessage(1001, BM_CLICK);
        return IDCANCEL;
    };
    dlg.DoModal();
    EXPECT_EQ(shown, "Every Week");
    EXPECT_EQ(beacon::ReadProfileInt(m_profile, "RunMode", -1), 1);
}

TEST_F(BeaconWindows, RunModeDialogGrab)
{
    Hooks hooks;
    hooks.scripts["Settings"] = [&](CWnd* d) {
        SaveGrab(d, "beacon_runmode");
        return IDCANCEL;
    };
    beacon::CRunModeDlg dlg;
    dlg.m_runMode = 1;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
}

TEST_F(BeaconWindows, FirstStartOnlySetsUpEvenFromTheMenu)
{
    auto server = Serve({});
    for (bool automatic : {false, true}) {
        fs::remove(m_profile);
        Hooks hooks;
        RunList(hooks, server->Base(), automatic, nullptr);
        EXPECT_EQ(beacon::ReadProfileInt(m_profile, "RunMode", -1), 0);
        EXPECT_EQ(beacon::ReadProfileTime(m_profile, "LastRun"), m_now);
        EXPECT_EQ(beacon::ReadProfileInt(m_profile, "SucRunYear", -1), -1) << "no closing time";
        EXPECT_TRUE(hooks.boxes.empty());
    }
    EXPECT_TRUE(server->RequestLines().empty());
}

TEST_F(BeaconWindows, FirstManualStartIntroducesAndCancelMeansManually)
{
    beacon::WriteProfileInt(m_profile, "RunMode", 0);
    beacon::WriteLastRun(m_profile, m_now - 60);
    Hooks hooks;
    hooks.scripts["Settings"] = [](CWnd*) { return IDCANCEL; };
    bool listShown = false;
    RunList(hooks, "127.0.0.1:1", false, [&](beacon::CUpdateListDlg&) {
        listShown = true;
        return IDCANCEL;
    });
    EXPECT_TRUE(listShown);
    ASSERT_EQ(hooks.boxes.size(), 2u);
    EXPECT_EQ(hooks.boxes[0].caption, "Quillo - Check for new updates");
    EXPECT_EQ(hooks.boxes[0].text.rfind("This program can help you find new version", 0), 0u);
    EXPECT_EQ(hooks.boxes[1].text.rfind("Select cancel, this programe will run in 'manually mode'.", 0), 0u);
    EXPECT_EQ(hooks.opened.front(), "Settings");
    EXPECT_EQ(beacon::ReadProfileInt(m_profile, "RunMode", -1), 2);
    EXPECT_EQ(beacon::ReadProfileInt(m_profile, "FirstWeek", -1), 0);
}

TEST_F(BeaconWindows, AutomaticStarts)
{
    struct Case {
        const char* name;
        int runMode;
        std::time_t lastRunAgo;
        std::string reply;
        bool serverUp;
        bool queried;
        bool listShown;
        bool closingWritten;
        bool lastRunWritten;
    } cases[] = {
        {"DueAndFound", 0, 7 * 86400, kEveryType, true, true, true, true, true},
        {"NotDue", 0, 6 * 86400 + 23 * 3600, kEveryType, true, false, false, false, false},
        {"NeverInManualMode", 2, 5000 * 86400, kEveryType, true, false, false, false, false},
        {"FoundNothing", 0, 8 * 86400, "", true, true, false, true, true},
        {"InternetFailure", 1, 40 * 86400, "", false, true, false, true, false},
    };
    for (const Case& c : cases) {
        fs::remove(m_profile);
        beacon::WriteProfileInt(m_profile, "RunMode", c.runMode);
        beacon::WriteProfileInt(m_profile, "FirstWeek", 0);
        beacon::WriteLastRun(m_profile, m_now - c.lastRunAgo);
        auto server = Serve({c.reply, ""});
        const std::string address =
            c.serverUp ? server->Base() : "127.0.0.1:" + std::to_string(inettest::ClosedPort());
        Hooks hooks;
        bool shown = false, checkEnabled = true;
        RunList(hooks, address, true, [&](beacon::CUpdateListDlg& dlg) {
            shown = true;
            checkEnabled = Enabled(&dlg, IDOK);
            return IDCANCEL;
        });
        EXPECT_EQ(shown, c.listShown) << c.name;
        if (shown) {
            EXPECT_FALSE(checkEnabled) << c.name;
        }
        if (c.serverUp)
            EXPECT_EQ(!server->RequestLines().empty(), c.queried) << c.name;
        EXPECT_EQ(beacon::ReadProfileInt(m_profile, "SucRunYear", -1) != -1, c.closingWritten) << c.name;
        EXPECT_EQ(beacon::ReadProfileTime(m_profile, "LastRun") == m_now, c.lastRunWritten) << c.name;
    }
}

// Downloads: the list's action on row `row` of a reply, the dialog run by
// the modal loop until it ends or, when it stays open, cancelled.
class Downloads : public BeaconWindows {
protected:
    struct Result {
        int dialogEnd = 0;
        std::vector<Box> boxes;
        std::vector<std::string> shell;
        std::string status;
    };
    Result Download(const std::string& reply, int row, const std::string& payload, int boxAnswer = IDNO,
                    std::function<void(Connection&)> raw = {})
    {
        Steady();
        auto server = Serve({reply, payload, raw});
        Hooks hooks;
        hooks.boxAnswer = boxAnswer;
        beacon::CUpdateListDlg list;
        Fill(list, server->Base());
        Result r;
        hooks.scripts["Download And Install"] = [&](CWnd* d) {
            beacon::PumpUntil([&] { return !beacon::DownloadThread()->m_busy.load(); });
            // The done message, the checks and the install (boxes answered).
            for (int i = 0; i < 20; ++i)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (::IsWindow(d->m_hWnd))
                r.status = Text(d, 1003);
            // A dialog still open is cancelled; an ended one drops this.
            d->PostMessage(WM_COMMAND, IDCANCEL, 0);
            return qlafx::kModalRun;
        };
        hooks.scripts[kListCaption] = [&](CWnd*) {
            ClickCheck(list, 32775);
            Select(list, row);
            list.SendDlgItemMessage(1014, BM_CLICK);
            return IDCANCEL;
        };
        list.DoModal();
        r.boxes = hooks.boxes;
        r.shell = hooks.shell;
        return r;
    }
};

std::string ReplyLine(const std::string& url, double kb, int type, const std::string& digest)
{
    char size[32];
    std::snprintf(size, sizeof size, "%.4f", kb);
    return "Item," + url + "," + size + ",2026-3-1,42," + std::to_string(type) + ",About it," + digest + "\r\n";
}

TEST_F(Downloads, VerifiedFrameInstallsUnderItsName)
{
    const std::string payload(3000, 'f');
    const auto r = Download(ReplyLine("files/name.FRM", 3000 / 1024.0, 2, qlinet::Sha256Hex(payload.data(), 3000)), 0,
                            payload);
    EXPECT_EQ(ReadAll(m_dir + "Frame/name.FRM"), payload);
    EXPECT_TRUE(r.boxes.empty());
}

TEST_F(Downloads, UnsoundDownloadsInstallNothing)
{
    const std::string payload(3000, 'f');
    const std::string good = qlinet::Sha256Hex(payload.data(), payload.size());
    struct Case {
        const char* name;
        std::string line;
        std::string served;
        const char* boxPiece;
        bool keptInTemp;
    } cases[] = {
        {"WrongDigest", ReplyLine("a/name.frm", 3000 / 1024.0, 2, std::string(64, 'a')), payload, "checksum differs",
         false},
        {"SizeOff60", ReplyLine("a/name.frm", 3060 / 1024.0, 2, good), payload, "were announced", false},
        {"ShortTransfer", ReplyLine("a/name.frm", 3000 / 1024.0, 2, good), "cut", "", false},
        {"NoDigest", ReplyLine("a/name.frm", 3000 / 1024.0, 2, ""), payload, "qlupdate.dat", true},
        {"Refused", ReplyLine("a/name.frm", 3000 / 1024.0, 2, good), "Error: please log in",
         "Error: please log in\r\nNot a registered user? Sign up ", false},
    };
    for (const Case& c : cases) {
        fs::remove_all(m_dir + "Frame");
        fs::remove_all(m_dir + "tmp");
        fs::create_directories(m_dir + "tmp");
        std::function<void(Connection&)> raw;
        if (std::string(c.name) == "ShortTransfer")
            raw = [&](Connection& conn) {
                conn.Send("HTTP/1.1 200 OK\r\nContent-Length: 3000\r\n\r\n" + payload.substr(0, 2000));
            };
        const Result r = Download(c.line, 0, c.served, IDNO, raw);
        EXPECT_FALSE(fs::exists(m_dir + "Frame/name.frm")) << c.name;
        std::string all;
        for (const Box& b : r.boxes)
            all += b.text + "|";
        EXPECT_NE(all.find(c.boxPiece), std::string::npos) << c.name << ": " << all;
        EXPECT_FALSE(all.empty()) << c.name;
        EXPECT_EQ(fs::exists(m_dir + "tmp/qlupdate.dat"), c.keptInTemp) << c.name;
    }
}

TEST_F(Downloads, PackagesAndOthers)
{
    const std::string payload(2048, 'z');
    const std::string good = qlinet::Sha256Hex(payload.data(), payload.size());
    // A plug-in package: kept under its own name, the prompt names plugins/.
    auto r = Download(ReplyLine("files/Tools.zip", 2.0, 3, good), 0, payload, IDYES);
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].caption, "Compressed Packet");
    EXPECT_EQ(r.boxes[0].text, "This is a compressed file. To make it work in Quillo, you need to uncompress it "
                               "into:\r\n" + m_dir + "plugins/\r\nMannually, Do it now?");
    EXPECT_EQ(r.shell, std::vector<std::string>{"open " + m_dir + "tmp/Tools.zip"});
    EXPECT_EQ(ReadAll(m_dir + "tmp/Tools.zip"), payload);
    EXPECT_FALSE(fs::exists(m_dir + "plugins/Tools.zip"));
    // Type 6: downloaded, nothing installed, closed with OK.
    fs::remove_all(m_dir + "tmp");
    fs::create_directories(m_dir + "tmp");
    r = Download(ReplyLine("files/other.bin", 2.0, 6, good), 0, payload);
    EXPECT_TRUE(r.boxes.empty());
    EXPECT_EQ(ReadAll(m_dir + "tmp/qlupdate.dat"), payload);
    // A program: told first, copied plain.
    r = Download(ReplyLine("files/Tool.exe", 2.0, 5, good), 0, payload);
    ASSERT_EQ(r.boxes.size(), 1u);
    EXPECT_EQ(r.boxes[0].caption, "Exe File");
    EXPECT_EQ(ReadAll(m_dir + "Tool.exe"), payload);
    EXPECT_EQ(fs::status(m_dir + "Tool.exe").permissions() & fs::perms::owner_exec, fs::perms::none);
}

TEST_F(Downloads, CancelDuringTheDripAndTheHalfwayGrab)
{
    const std::string photo = std::string(QUILLO_CORPUS_DIR) + "/exif-samples/jpg/hdr/canon_hdr_NO.jpg";
    if (!fs::exists(photo))
        GTEST_SKIP() << "corpus absent";
    const std::string bytes = ReadAll(photo);
    const std::string digest = qlinet::Sha256Hex(bytes.data(), bytes.size());
    Steady();
    LoopbackServer server([&](const std::string& line, Connection& c) {
        if (line.find("/engupdate.aspx") != std::string::npos) {
            c.Answer(200, "OK", ReplyLine("photos/canon_hdr_NO.jpg", bytes.size() / 1024.0, 6, digest));
            return;
        }
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(bytes.size()) + "\r\n\r\n");
        // Half, and the reads' last 4096-byte block past it.
        c.Send(bytes.substr(0, bytes.size() / 2 + 8192));
        c.WaitRelease();
    });
    Hooks hooks;
    beacon::CUpdateListDlg list;
    Fill(list, server.Base());
    // The clock moves 10 s into the download.
    std::time_t now = m_now;
    list.m_clock = [&] { return now; };
    int bar = -1;
    std::string status;
    hooks.scripts["Download And Install"] = [&](CWnd* d) {
        now += 10;
        beacon::PumpUntil([&] {
            return static_cast<int>(d->SendDlgItemMessage(1015, PBM_GETPOS)) >= 50;
        });
        bar = static_cast<int>(d->SendDlgItemMessage(1015, PBM_GETPOS));
        status = Text(d, 1003);
        SaveGrab(d, "beacon_download");
        d->SendDlgItemMessage(IDCANCEL, BM_CLICK);
        return qlafx::kModalRun;
    };
    hooks.scripts[kListCaption] = [&](CWnd*) {
        ClickCheck(list, 32775);
        Select(list, 0);
        list.SendDlgItemMessage(1014, BM_CLICK);
        return IDCANCEL;
    };
    list.DoModal();
    server.Release();
    EXPECT_EQ(bar, 50);
    EXPECT_EQ(status.rfind("Receiveing data. Speed:", 0), 0u) << status;
    EXPECT_FALSE(fs::exists(m_dir + "tmp/qlupdate.dat")) << "Cancel deletes the partial file";
    EXPECT_TRUE(hooks.boxes.empty());
}

} // namespace

namespace {

TEST_F(Downloads, DownloadDirectlyOpensThePageAndStopsTheTransfer)
{
    Steady();
    LoopbackServer server([&](const std::string& line, Connection& c) {
        if (line.find("/engupdate.aspx") != std::string::npos) {
            c.Answer(200, "OK", ReplyLine("files/Leaves.frm", 8.0, 2, std::string(64, 'b')));
            return;
        }
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 8192\r\n\r\n" + std::string(4096, 'l'));
        c.WaitRelease();
    });
    Hooks hooks;
    hooks.boxAnswer = IDYES;
    beacon::CUpdateListDlg list;
    Fill(list, server.Base());
    bool busyAfter = true;
    hooks.scripts["Download And Install"] = [&](CWnd* d) {
        beacon::PumpUntil([&] { return fs::exists(m_dir + "tmp/qlupdate.dat") && fs::file_size(m_dir + "tmp/qlupdate.dat") > 0; });
        d->SendDlgItemMessage(1017, BM_CLICK);
        busyAfter = beacon::DownloadThread()->m_busy.load() != 0;
        return qlafx::kModalRun;
    };
    hooks.scripts[kListCaption] = [&](CWnd*) {
        ClickCheck(list, 32775);
        Select(list, 0);
        list.SendDlgItemMessage(1014, BM_CLICK);
        return IDCANCEL;
    };
    list.DoModal();
    server.Release();
    ASSERT_EQ(hooks.boxes.size(), 1u);
    EXPECT_EQ(hooks.boxes[0].caption, "Download And Insall Manually");
    EXPECT_EQ(hooks.boxes[0].text,
              "To make it work, You need to copy/uncompress the file into:\r\n" + m_dir + "Frame/\r\nContinue?");
    EXPECT_EQ(hooks.shell, std::vector<std::string>{"open http://" + server.Base() + "/EngDL.aspx?ID=42&Serial="});
    EXPECT_FALSE(busyAfter);
    EXPECT_FALSE(fs::exists(m_dir + "tmp/qlupdate.dat"));
    EXPECT_FALSE(fs::exists(m_dir + "Frame/Leaves.frm"));
}

} // namespace
