// The session against a loopback server: bodies in every shape, redirects,
// failures, cancelling; the digest and the query encoding.
#include "LoopbackServer.h"
#include "platform/inet/Internet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>

using inettest::Connection;
using inettest::LoopbackServer;

namespace {

struct Fetched {
    DWORD status = 0;
    std::string body;
    bool complete = false;
    std::string error;
};

Fetched Fetch(const std::string& url, std::function<bool()> cancel = {})
{
    Fetched f;
    CInternetSession session("QuilloBeacon");
    session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 5000);
    try {
        std::unique_ptr<CHttpFile> file(session.OpenURL(url.c_str()));
        file->SetCancelCheck(std::move(cancel));
        file->QueryInfoStatusCode(f.status);
        char buf[1000];
        while (UINT n = file->Read(buf, sizeof buf))
            f.body.append(buf, n);
        f.complete = file->IsComplete();
    } catch (const CInternetException& e) {
        f.error = e.Message();
    }
    return f;
}

std::string Chunked(const std::vector<std::string>& parts)
{
    std::string s;
    char size[16];
    for (const auto& p : parts) {
        std::snprintf(size, sizeof size, "%zx\r\n", p.size());
        s += size + p + "\r\n";
    }
    return s + "0\r\n\r\n";
}

struct BodyCase {
    const char* name;
    std::function<void(Connection&)> answer;
    DWORD status;
    std::string body;
    bool complete;
    bool error;
};

class BodyShapes : public ::testing::TestWithParam<BodyCase> {};

TEST_P(BodyShapes, ReadsWhatTheServerSent)
{
    const BodyCase& c = GetParam();
    LoopbackServer server([&](const std::string&, Connection& conn) { c.answer(conn); });
    const Fetched f = Fetch(server.Url("/x"));
    EXPECT_EQ(f.status, c.status);
    EXPECT_EQ(f.body, c.body);
    EXPECT_EQ(f.complete, c.complete);
    EXPECT_EQ(!f.error.empty(), c.error) << f.error;
}

const std::string kBig(150000, 'q');

INSTANTIATE_TEST_SUITE_P(
    Answers, BodyShapes,
    ::testing::Values(
        BodyCase{"Plain", [](Connection& c) { c.Answer(200, "OK", "hello"); }, 200, "hello", true, false},
        BodyCase{"Empty", [](Connection& c) { c.Answer(200, "OK", ""); }, 200, "", true, false},
        BodyCase{"NotFound", [](Connection& c) { c.Answer(404, "Not Found", "gone"); }, 404, "gone", true, false},
        BodyCase{"Large", [](Connection& c) { c.Answer(200, "OK", kBig); }, 200, kBig, true, false},
        BodyCase{"Chunked",
                 [](Connection& c) {
                     c.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n");
                     c.Send(Chunked({"ab", "cde", std::string(5000, 'z')}));
                 },
                 200, "abcde" + std::string(5000, 'z'), true, false},
        BodyCase{"NoLengthUntilClose",
                 [](Connection& c) { c.Send("HTTP/1.0 200 OK\r\n\r\nuntil the end"); }, 200, "until the end", true,
                 false},
        BodyCase{"SlowDrip",
                 [](Connection& c) {
                     c.Send("HTTP/1.1 200 OK\r\nContent-Length: 6\r\nConnection: close\r\n\r\n");
                     for (char ch : std::string("drip!!")) {
                         c.Send(std::string(1, ch));
                         c.Sleep(20);
                     }
                 },
                 200, "drip!!", true, false},
        BodyCase{"DroppedMidBody",
                 [](Connection& c) {
                     c.Send("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nonly part");
                 },
                 200, "only part", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Internet, FollowsRedirectsUpToFive)
{
    LoopbackServer server([](const std::string& line, Connection& c) {
        const int hop = line[5] - '0';  // "GET /<n>"
        if (hop < 5)
            c.Answer(302, "Found", "", "Location: /" + std::to_string(hop + 1) + "\r\n");
        else
            c.Answer(200, "OK", "arrived");
    });
    const Fetched f = Fetch(server.Url("/0"));
    EXPECT_EQ(f.body, "arrived");
    EXPECT_EQ(f.status, 200u);
    EXPECT_EQ(server.RequestLines().size(), 6u);
}

TEST(Internet, ASixthRedirectIsAFailure)
{
    LoopbackServer server([](const std::string&, Connection& c) {
        c.Answer(302, "Found", "", "Location: /again\r\n");
    });
    const Fetched f = Fetch(server.Url("/0"));
    EXPECT_FALSE(f.error.empty());
    EXPECT_EQ(server.RequestLines().size(), 6u);
}

TEST(Internet, AClosedPortThrowsWithTheFailuresText)
{
    const Fetched f = Fetch("http://127.0.0.1:" + std::to_string(inettest::ClosedPort()) + "/x");
    EXPECT_FALSE(f.error.empty());
    EXPECT_EQ(f.body, "");
}

TEST(Internet, AnUnknownSchemeIsRefused)
{
    const Fetched f = Fetch("ftp://127.0.0.1/x");
    EXPECT_FALSE(f.error.empty());
}

TEST(Internet, CancelStopsAStalledTransfer)
{
    LoopbackServer server([](const std::string&, Connection& c) {
        c.Send("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nConnection: close\r\n\r\nfirst");
        c.WaitRelease();
    });
    std::atomic<int> asked{0};
    // The check says stop once the first bytes are in hand.
    const Fetched f = Fetch(server.Url("/x"), [&] { return ++asked > 20; });
    EXPECT_EQ(f.body, "first");
    EXPECT_FALSE(f.complete);
    EXPECT_TRUE(f.error.empty()) << f.error;
    server.Release();
}

TEST(Internet, RequestCarriesAgentAndPathAsGiven)
{
    LoopbackServer server([](const std::string&, Connection& c) { c.Answer(200, "OK", "x"); });
    CInternetSession session("QuilloBeacon");
    std::unique_ptr<CHttpConnection> conn(session.GetHttpConnection("127.0.0.1", server.Port()));
    std::unique_ptr<CHttpFile> file(conn->OpenRequest("GET", "engupdate.aspx?ID=&Last=2008-1-5%209%3A3%3A0"));
    ASSERT_TRUE(file->SendRequest());
    DWORD status = 0;
    EXPECT_TRUE(file->QueryInfoStatusCode(status));
    EXPECT_EQ(status, 200u);
    EXPECT_EQ(file->StatusLine(), "HTTP/1.1 200 OK");
    ASSERT_EQ(server.RequestLines().size(), 1u);
    EXPECT_EQ(server.RequestLines()[0], "GET /engupdate.aspx?ID=&Last=2008-1-5%209%3A3%3A0 HTTP/1.1");
    EXPECT_NE(server.Requests()[0].find("User-Agent: QuilloBeacon\r\n"), std::string::npos);
}

TEST(Internet, ErrorMessageIsCutToTheBuffer)
{
    CInternetException e(7, "Couldn't connect to server");
    char small[8];
    ASSERT_TRUE(e.GetErrorMessage(small, sizeof small));
    EXPECT_STREQ(small, "Couldn'");
}

TEST(Internet, DigestAndEncoding)
{
    EXPECT_EQ(qlinet::Sha256Hex("abc", 3), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(qlinet::Sha256OfFile("/nonexistent/file"), "");
    EXPECT_EQ(qlinet::PercentEncode("2008-1-5 9:3:0"), "2008-1-5%209%3A3%3A0");
    EXPECT_EQ(qlinet::PercentEncode("a&b=c~_."), "a%26b%3Dc~_.");
}

} // namespace
