#include "beacon/UpdateQuery.h"

#include "platform/inet/Internet.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace beacon {

ServerAddress ParseServer(const std::string& setting)
{
    ServerAddress s;
    std::string rest = setting;
    if (rest.rfind("https://", 0) == 0) {
        s.https = true;
        rest = rest.substr(8);
    } else if (rest.rfind("http://", 0) == 0) {
        rest = rest.substr(7);
    }
    const std::size_t slash = rest.find('/');
    if (slash != std::string::npos) {
        s.base = rest.substr(slash);
        rest.resize(slash);
        while (!s.base.empty() && s.base.back() == '/')
            s.base.pop_back();
    }
    const std::size_t colon = rest.rfind(':');
    if (colon != std::string::npos) {
        const long port = std::strtol(rest.c_str() + colon + 1, nullptr, 10);
        if (port > 0 && port < 65536)
            s.port = static_cast<unsigned short>(port);
        rest.resize(colon);
    }
    s.host = rest.empty() ? kDefaultServer : rest;
    return s;
}

std::string ServerRoot(const ServerAddress& server)
{
    std::string root = server.https ? "https://" : "http://";
    root += server.host;
    if (server.port)
        root += ":" + std::to_string(server.port);
    return root + server.base;
}

std::string LastText(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char text[64];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                  tm.tm_min, tm.tm_sec);
    return text;
}

std::string QueryPath(const std::string& serial, const std::string& last)
{
    return "engupdate.aspx?ID=&CODE=&Serial=" + qlinet::PercentEncode(serial) + "&Last=" + qlinet::PercentEncode(last);
}

std::string DownloadPageUrl(const ServerAddress& server, const std::string& itemId, const std::string& serial)
{
    return ServerRoot(server) + "/EngDL.aspx?ID=" + qlinet::PercentEncode(itemId) +
           "&Serial=" + qlinet::PercentEncode(serial);
}

std::time_t AllUpdatesTime()
{
    std::tm tm{};
    tm.tm_year = 2004 - 1900;
    tm.tm_mon = 0;
    tm.tm_mday = 1;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

ReplyFetch FetchReply(const ServerAddress& server, const std::string& path, const std::function<bool()>& cancel)
{
    ReplyFetch out;
    CInternetSession session("QuilloBeacon");
    session.SetCancelCheck(cancel);
    try {
        std::unique_ptr<CHttpConnection> conn(session.GetHttpConnection(server.host.c_str(), server.port));
        const std::string object = server.base + "/" + path;
        std::unique_ptr<CHttpFile> file(conn->OpenRequest("GET", object.c_str(), nullptr, 1, nullptr, nullptr,
                                                          INTERNET_FLAG_EXISTING_CONNECT |
                                                              (server.https ? INTERNET_FLAG_SECURE : 0)));
        file->SendRequest();
        DWORD status = 0;
        file->QueryInfoStatusCode(status);
        if (status != HTTP_STATUS_OK) {
            out.failureText = file->StatusLine().empty() ? "HTTP " + std::to_string(status) : file->StatusLine();
            return out;
        }
        char buf[4096];
        while (UINT n = file->Read(buf, sizeof buf)) {
            out.body.append(buf, n);
            if (out.body.size() > kReplyCapacity) {
                out.body.clear();
                out.result = ReplyFetch::kTooLarge;
                return out;
            }
        }
        if (file->WasCancelled()) {
            out.body.clear();
            out.result = ReplyFetch::kCancelled;
            return out;
        }
        out.result = ReplyFetch::kReply;
    } catch (const CInternetException& e) {
        out.body.clear();
        out.failureText = e.Message();
        out.result = ReplyFetch::kInternetFailure;
    }
    return out;
}

} // namespace beacon
