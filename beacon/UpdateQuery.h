// The question to the update server and its transport: the server setting,
// the Last text, the query path, and the exchange itself.
#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace beacon {

inline constexpr const char kDefaultServer[] = "updates.quillo.invalid";
inline constexpr std::size_t kReplyCapacity = 99999;

// Beacon/Server: "host", "host:port", or a base address "https://host[:port][/base]".
struct ServerAddress {
    bool https = false;
    std::string host;
    unsigned short port = 0;  // 0: the scheme's default
    std::string base;         // "" or "/folder"
};
ServerAddress ParseServer(const std::string& setting);
// "http://host[:port][/base]" without a trailing '/'.
std::string ServerRoot(const ServerAddress& server);

// "%d-%d-%d %d:%d:%d" of t in local time, nothing zero-padded.
std::string LastText(std::time_t t);
// "engupdate.aspx?ID=&CODE=&Serial=..&Last=.." with both values percent-encoded.
std::string QueryPath(const std::string& serial, const std::string& last);
// The download page of an item.
std::string DownloadPageUrl(const ServerAddress& server, const std::string& itemId, const std::string& serial);
// 1 January 2004, 00:00:00 local time ("All updates").
std::time_t AllUpdatesTime();

struct ReplyFetch {
    enum Result { kReply, kInternetFailure, kTooLarge, kCancelled } result = kInternetFailure;
    std::string body;         // kReply
    std::string failureText;  // kInternetFailure: the session's text or the status line
};

// The whole exchange: GET of the query path, the body read to its end.
// A status other than 200 is an internet failure; a body over 99,999
// bytes is refused whole.
ReplyFetch FetchReply(const ServerAddress& server, const std::string& path, const std::function<bool()>& cancel = {});

} // namespace beacon
