// The exchange with the update server, the download and its checks, the
// install rules, the progress line and the schedule, on a loopback server
// and a fixed clock (TZ=UTC).
#include "LoopbackServer.h"
#include "beacon/Install.h"
#include "beacon/Schedule.h"
#include "beacon/UpdateQuery.h"
#include "platform/inet/Internet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;
using inettest::Connection;
using inettest::LoopbackServer;

namespace {

class UtcTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        char tmpl[] = "/tmp/beacontest-XXXXXX";
        m_dir = std::string(mkdtemp(tmpl)) + "/";
    }
    void TearDown() override { fs::remove_all(m_dir); }
    static std::time_t Utc(int y, int mo, int d, int h, int mi, int s)
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
    std::string m_dir;
};

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

using QueryTest = UtcTest;

TEST_F(QueryTest, LastTextAndPath)
{
    EXPECT_EQ(beacon::LastText(Utc(2008, 1, 5, 9, 3, 0)), "2008-1-5 9:3:0");
    EXPECT_EQ(beacon::LastText(beacon::AllUpdatesTime()), "2004-1-1 0:0:0");
    EXPECT_EQ(beacon::QueryPath("", "2008-1-5 9:3:0"), "engupdate.aspx?ID=&CODE=&Serial=&Last=2008-1-5%209%3A3%3A0");
}

TEST_F(QueryTest, ServerSetting)
{
    struct Case {
        const char* setting;
        bool https;
        const char* host;
        unsigned short port;
        const char* root;
    } cases[] = {
        {"updates.quillo.invalid", false, "updates.quillo.invalid", 0, "http://updates.quillo.invalid"},
        {"127.0.0.1:8080", false, "127.0.0.1", 8080, "http://127.0.0.1:8080"},
        {"https://example.invalid/quillo/", true, "example.invalid", 0, "https://example.invalid/quillo"},
        {"", false, "updates.quillo.invalid", 0, "http://updates.quillo.invalid"},
    };
    for (const Case& c : cases) {
        const beacon::ServerAddress s = beacon::ParseServer(c.setting);
        EXPECT_EQ(s.https, c.https) << c.setting;
        EXPECT_EQ(s.host, c.host) << c.setting;
        EXPECT_EQ(s.port, c.port) << c.setting;
        EXPECT_EQ(beacon::ServerRoot(s), c.root) << c.setting;
    }
    EXPECT_EQ(beacon::DownloadPageUrl(beacon::ParseServer("h:81"), "77", ""), "http://h:81/EngDL.aspx?ID=77&Serial=");
}

TEST_F(QueryTest, FetchSendsThePathAndReadsTheWholeBody)
{
    const std::string body = "a,b,1,t,1,2\r\n" + std::string(90000, ' ');
    LoopbackServer server([&](const std::string&, Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n");
        for (std::size_t at = 0; at < body.size(); at += 7000) {
            const std::string part = body.substr(at, 7000);
            char size[16];
            std::snprintf(size, sizeof size, "%zx\r\n", part.size());
            c.Send(size + part + "\r\n");
        }
        c.Send("0\r\n\r\n");
    });
    const auto f = beacon::FetchReply(beacon::ParseServer(server.Base()),
                                      beacon::QueryPath("", beacon::LastText(Utc(2008, 1, 5, 9, 3, 0))));
    EXPECT_EQ(f.result, beacon::ReplyFetch::kReply);
    EXPECT_EQ(f.body, body);
    ASSERT_EQ(server.RequestLines().size(), 1u);
    EXPECT_EQ(server.RequestLines()[0],
              "GET /engupdate.aspx?ID=&CODE=&Serial=&Last=2008-1-5%209%3A3%3A0 HTTP/1.1");
}

TEST_F(QueryTest, FailuresParseNothing)
{
    struct Case {
        const char* name;
        std::function<void(Connection&)> answer;
        beacon::ReplyFetch::Result result;
        const char* failure;
    } cases[] = {
        {"404", [](Connection& c) { c.Answer(404, "Not Found", "a,b,1,t,1,2"); },
         beacon::ReplyFetch::kInternetFailure, "HTTP/1.1 404 Not Found"},
        {"TooLarge", [](Connection& c) { c.Answer(200, "OK", std::string(120000, 'x')); },
         beacon::ReplyFetch::kTooLarge, ""},
        {"Exactly99999", [](Connection& c) { c.Answer(200, "OK", std::string(99999, ' ')); },
         beacon::ReplyFetch::kReply, ""},
        {"Dropped", [](Connection& c) { c.Send("HTTP/1.1 200 OK\r\nContent-Length: 50\r\n\r\nshort"); },
         beacon::ReplyFetch::kInternetFailure, nullptr},
    };
    for (const Case& c : cases) {
        LoopbackServer server([&](const std::string&, Connection& conn) { c.answer(conn); });
        const auto f = beacon::FetchReply(beacon::ParseServer(server.Base()), "engupdate.aspx");
        EXPECT_EQ(f.result, c.result) << c.name;
        if (c.result != beacon::ReplyFetch::kReply) {
            EXPECT_TRUE(f.body.empty()) << c.name;
        }
        if (c.failure) {
            EXPECT_EQ(f.failureText, c.failure) << c.name;
        } else {
            EXPECT_FALSE(f.failureText.empty()) << c.name;
        }
    }
    const auto closed = beacon::FetchReply(
        beacon::ParseServer("127.0.0.1:" + std::to_string(inettest::ClosedPort())), "engupdate.aspx");
    EXPECT_EQ(closed.result, beacon::ReplyFetch::kInternetFailure);
    EXPECT_FALSE(closed.failureText.empty());
}

TEST(Progress, ArithmeticAndText)
{
    const auto p = beacon::ComputeProgress(512000, 1000.0, 10);
    EXPECT_EQ(p.percent, 50);
    EXPECT_EQ(p.remaining, 10);
    EXPECT_EQ(beacon::ProgressText(p), "Receiveing data. Speed:400.00Kbps, Remain Time: 0:10");
    // Under one byte announced: no divisor, the bar stays at 0.
    EXPECT_EQ(beacon::ComputeProgress(5000, 0.0005, 1).percent, 0);
    // Nothing yet: no speed, no remaining time; elapsed 0 counts as 1.
    const auto none = beacon::ComputeProgress(0, 10, 0);
    EXPECT_EQ(none.percent, 0);
    EXPECT_EQ(none.remaining, 0);
    // Beyond 2 GB the percent still fits.
    EXPECT_EQ(beacon::ComputeProgress(3000000000LL, 4000000000.0 / 1024, 100).percent, 75);
    EXPECT_EQ(beacon::ComputeProgress(2000, 1, 1).percent, 100);
}

TEST(InstallRules, NamesAndFolders)
{
    struct Case {
        const char* url;
        bool ok;
        const char* name;
        const char* ext;
        const char* temp;
    } cases[] = {
        {"files/a.frm", true, "a", ".frm", "/t/qlupdate.dat"},
        {"dl\\sub\\Pack.ZIP", true, "Pack", ".ZIP", "/t/Pack.ZIP"},
        {"x/y.tar.rar", true, "y.tar", ".rar", "/t/y.tar.rar"},
        {"noext", true, "noext", "", "/t/qlupdate.dat"},
        {"dir/", false, "", "", ""},
        {"a/..", false, "", "", ""},
        {".", false, "", "", ""},
        {"a/b\x01.frm", false, "", "", ""},
    };
    for (const Case& c : cases) {
        beacon::DownloadName n;
        ASSERT_EQ(beacon::SplitDownloadName(c.url, &n), c.ok) << c.url;
        if (!c.ok)
            continue;
        EXPECT_EQ(n.name, c.name) << c.url;
        EXPECT_EQ(n.ext, c.ext) << c.url;
        EXPECT_EQ(beacon::DownloadTempPath("/t/", n), c.temp) << c.url;
    }
    EXPECT_EQ(beacon::DestinationFolder("/p/", 2), "/p/Frame/");
    EXPECT_EQ(beacon::DestinationFolder("/p/", 3), "/p/plugins/");
    EXPECT_EQ(beacon::DestinationFolder("/p/", 4), "/p/ColorTheme/");
    EXPECT_EQ(beacon::DestinationFolder("/p/", 5), "/p/");
    EXPECT_EQ(beacon::DestinationFolder("/p/", 6), "/p/");
}

using DownloadTest = UtcTest;

TEST_F(DownloadTest, ChecksOfAFinishedDownload)
{
    const std::string path = m_dir + "f";
    std::ofstream(path, std::ios::binary) << std::string(1024, 'a');
    const std::string good = qlinet::Sha256OfFile(path);
    EXPECT_EQ(beacon::CheckDownload(path, 1.0, good), "");
    EXPECT_EQ(beacon::CheckDownload(path, 1.0, ""), "");
    EXPECT_EQ(beacon::CheckDownload(path, 1.05, good), "") << "within 52 bytes";
    EXPECT_NE(beacon::CheckDownload(path, (1024.0 + 60) / 1024, good), "") << "60 bytes off";
    EXPECT_NE(beacon::CheckDownload(path, 1.0, std::string(64, '0')), "");
    EXPECT_NE(beacon::CheckDownload(m_dir + "missing", 1.0, ""), "");
}

TEST_F(DownloadTest, InstallCopiesThroughATemporaryFileAndNeverMarksExecutable)
{
    const std::string from = m_dir + "qlupdate.dat";
    std::ofstream(from, std::ios::binary) << "payload";
    ::chmod(from.c_str(), 0755);
    ASSERT_TRUE(beacon::InstallFile(from, m_dir + "Frame/", "name.FRM"));
    EXPECT_EQ(ReadAll(m_dir + "Frame/name.FRM"), "payload");
    EXPECT_FALSE(fs::exists(m_dir + "Frame/name.FRM.part"));
    EXPECT_EQ(fs::status(m_dir + "Frame/name.FRM").permissions() & fs::perms::owner_exec, fs::perms::none);
    // A failed copy leaves the old file as it was and says so.
    EXPECT_FALSE(beacon::InstallFile(m_dir + "missing", m_dir + "Frame/", "name.FRM"));
    EXPECT_EQ(ReadAll(m_dir + "Frame/name.FRM"), "payload");
}

TEST_F(DownloadTest, TransferOutcomes)
{
    struct Case {
        const char* name;
        std::function<void(Connection&)> answer;
        bool succeeded;
        std::string file;
        const char* message;  // a piece of it; "" for none
    } cases[] = {
        {"Whole", [](Connection& c) { c.Answer(200, "OK", std::string(10000, 'z')); }, true, std::string(10000, 'z'),
         ""},
        {"Refused", [](Connection& c) { c.Answer(200, "OK", "error: not allowed"); }, false, "",
         "error: not allowed\r\nNot a registered user? Sign up "},
        {"NotFound", [](Connection& c) { c.Answer(404, "Not Found", "x"); }, false, "", "404 Not Found"},
        {"Short", [](Connection& c) { c.Send("HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n\r\n" + std::string(5000, 's')); },
         false, std::string(4096, 's'), ""},
    };
    for (const Case& c : cases) {
        LoopbackServer server([&](const std::string&, Connection& conn) { c.answer(conn); });
        std::atomic<int> cancel{0};
        std::int64_t last = 0;
        const std::string path = m_dir + "qlupdate.dat";
        const auto out = beacon::RunDownload(server.Url("/EngDL.aspx?ID=1&Serial="), path, cancel,
                                             [&](std::int64_t total) {
                                                 EXPECT_GT(total, last);
                                                 last = total;
                                             });
        EXPECT_EQ(out.succeeded, c.succeeded) << c.name;
        EXPECT_NE(out.message.find(c.message), std::string::npos) << c.name << ": " << out.message;
        if (c.succeeded) {
            EXPECT_EQ(ReadAll(path), c.file) << c.name;
        } else {
            EXPECT_FALSE(out.message.empty()) << c.name;
        }
    }
}

TEST_F(DownloadTest, CancelDuringADripStops)
{
    LoopbackServer server([](const std::string&, Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(8192, 'd'));
        c.WaitRelease();
    });
    std::atomic<int> cancel{0};
    const auto out = beacon::RunDownload(server.Url("/x"), m_dir + "qlupdate.dat", cancel,
                                         [&](std::int64_t total) {
                                             if (total >= 8192)
                                                 cancel = 1;
                                         });
    EXPECT_FALSE(out.succeeded);
    EXPECT_TRUE(out.cancelled);
    server.Release();
}

using ScheduleTest = UtcTest;

TEST_F(ScheduleTest, FirstStartOnlySetsUp)
{
    const std::string ini = m_dir + "Quillo.ini";
    const std::time_t now = Utc(2026, 3, 4, 5, 6, 7);
    for (bool automatic : {false, true}) {
        fs::remove(ini);
        beacon::ScheduleTimes t;
        EXPECT_EQ(beacon::EvaluateSchedule(ini, now, automatic, &t), beacon::ScheduleStep::kEnd);
        EXPECT_EQ(beacon::ReadProfileInt(ini, "RunMode", -1), 0);
        EXPECT_EQ(beacon::ReadProfileTime(ini, "LastRun"), now);
        EXPECT_EQ(beacon::ReadProfileInt(ini, "LastRunHour", -1), 5);
        EXPECT_EQ(beacon::ReadProfileInt(ini, "FirstWeek", -1), -1);
    }
}

TEST_F(ScheduleTest, IntervalsByRunMode)
{
    const std::string ini = m_dir + "Quillo.ini";
    const std::time_t last = Utc(2026, 1, 1, 12, 0, 0);
    struct Case {
        int runMode;
        std::time_t now;
        bool automatic;
        beacon::ScheduleStep step;
    } cases[] = {
        {0, last + 7 * 86400, true, beacon::ScheduleStep::kOpen},
        {0, last + 6 * 86400 + 23 * 3600, true, beacon::ScheduleStep::kEnd},
        {1, last + 29 * 86400, true, beacon::ScheduleStep::kEnd},
        {1, last + 30 * 86400, true, beacon::ScheduleStep::kOpen},
        {2, last + 3000 * 86400, true, beacon::ScheduleStep::kEnd},
        {2, last + 60, false, beacon::ScheduleStep::kOpen},
        {0, last + 60, false, beacon::ScheduleStep::kOpen},
        {7, last, true, beacon::ScheduleStep::kOpen},
    };
    for (const Case& c : cases) {
        fs::remove(ini);
        beacon::WriteProfileInt(ini, "RunMode", c.runMode);
        beacon::WriteProfileInt(ini, "FirstWeek", 0);
        beacon::WriteLastRun(ini, last);
        beacon::ScheduleTimes t;
        EXPECT_EQ(beacon::EvaluateSchedule(ini, c.now, c.automatic, &t), c.step)
            << "mode " << c.runMode << " after " << (c.now - last) << " s";
        EXPECT_EQ(t.lastRun, last);
    }
}

TEST_F(ScheduleTest, IntroductionOnceThenSteady)
{
    const std::string ini = m_dir + "Quillo.ini";
    const std::time_t now = Utc(2026, 1, 1, 12, 0, 0);
    beacon::WriteProfileInt(ini, "RunMode", 0);
    beacon::WriteLastRun(ini, now - 60);
    beacon::WriteLastSuccess(ini, now - 3600);
    beacon::ScheduleTimes t;
    EXPECT_EQ(beacon::EvaluateSchedule(ini, now, false, &t), beacon::ScheduleStep::kIntroduce);
    EXPECT_EQ(t.sinceTime, now - 3600);
    EXPECT_EQ(beacon::ReadProfileInt(ini, "FirstWeek", 1), 0);
    EXPECT_EQ(beacon::EvaluateSchedule(ini, now, false, &t), beacon::ScheduleStep::kOpen);
    // Without SucRun keys the closing time reads as 1 January 2005.
    fs::remove(ini);
    beacon::WriteProfileInt(ini, "RunMode", 0);
    beacon::EvaluateSchedule(ini, now, false, &t);
    EXPECT_EQ(t.sinceTime, Utc(2005, 1, 1, 0, 0, 0));
}

TEST(CommandLine, FirstNonSwitchArgumentMeansAutomatic)
{
    struct Case {
        std::vector<const char*> args;
        bool automatic;
    } cases[] = {
        {{"QuilloBeacon"}, false},
        {{"QuilloBeacon", "auto"}, true},
        {{"QuilloBeacon", "-x", "/y"}, false},
        {{"QuilloBeacon", "/silent", "go"}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(beacon::IsAutomaticStart(static_cast<int>(c.args.size()), c.args.data()), c.automatic);
}

} // namespace
