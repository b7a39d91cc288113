#include "beacon/Install.h"

#include "platform/inet/Internet.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <strings.h>

namespace fs = std::filesystem;

namespace beacon {

std::string DestinationFolder(const std::string& programFolder, int type)
{
    switch (type) {
    case 2:
        return programFolder + "Frame/";
    case 3:
        return programFolder + "plugins/";
    case 4:
        return programFolder + "ColorTheme/";
    default:
        return programFolder;
    }
}

const char* ExpectedExtension(int type)
{
    switch (type) {
    case 2:
        return ".frm";
    case 3:
        return ".qli";
    case 4:
        return ".cth";
    case 5:
        return ".exe";
    default:
        return "";
    }
}

bool SplitDownloadName(const std::string& url, DownloadName* out)
{
    const std::size_t cut = url.find_last_of("/\\");
    const std::string file = cut == std::string::npos ? url : url.substr(cut + 1);
    if (file.empty() || file == "." || file == "..")
        return false;
    for (unsigned char c : file)
        if (c < 0x20 || c == 0x7F)
            return false;
    const std::size_t dot = file.rfind('.');
    if (dot == std::string::npos || dot == 0) {
        out->name = file;
        out->ext.clear();
    } else {
        out->name = file.substr(0, dot);
        out->ext = file.substr(dot);
    }
    return true;
}

bool IsPackageName(const DownloadName& name)
{
    return !strcasecmp(name.ext.c_str(), ".zip") || !strcasecmp(name.ext.c_str(), ".rar");
}

std::string DownloadTempPath(const std::string& tempFolder, const DownloadName& name)
{
    return tempFolder + (IsPackageName(name) ? name.name + name.ext : std::string("qlupdate.dat"));
}

DownloadProgress ComputeProgress(std::int64_t bytes, double sizeKB, std::int64_t elapsedSeconds)
{
    DownloadProgress p;
    const std::int64_t expected = sizeKB * 1024.0 >= 1 ? static_cast<std::int64_t>(sizeKB * 1024.0) : 0;
    if (expected > 0 && bytes > 0)
        p.percent = static_cast<int>(std::min<std::int64_t>(100, bytes * 100 / expected));
    const std::int64_t elapsed = std::max<std::int64_t>(1, elapsedSeconds);
    const double speed = static_cast<double>(bytes) * 8.0 / static_cast<double>(elapsed);
    p.kbps = speed / 1024.0;
    if (speed > 0 && expected > bytes)
        p.remaining = static_cast<std::int64_t>(static_cast<double>(expected - bytes) * 8.0 / speed);
    return p;
}

std::string ProgressText(const DownloadProgress& p)
{
    char text[160];
    std::snprintf(text, sizeof text, "Receiveing data. Speed:%.2fKbps, Remain Time: %lld:%lld", p.kbps,
                  static_cast<long long>(p.remaining / 60), static_cast<long long>(p.remaining % 60));
    return text;
}

std::string CheckDownload(const std::string& path, double sizeKB, const std::string& sha256)
{
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec)
        return "The downloaded file can not be read.";
    const double expected = sizeKB * 1024.0;
    if (std::fabs(static_cast<double>(size) - expected) > 52.0) {
        char text[200];
        std::snprintf(text, sizeof text, "The download has %llu bytes, but %.0f were announced.",
                      static_cast<unsigned long long>(size), expected);
        return text;
    }
    if (!sha256.empty() && qlinet::Sha256OfFile(path) != sha256)
        return "The downloaded file is not the announced one (its checksum differs).";
    return {};
}

bool InstallFile(const std::string& from, const std::string& folder, const std::string& fileName)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    const std::string target = folder + fileName;
    const std::string part = target + ".part";
    std::FILE* in = std::fopen(from.c_str(), "rb");
    if (!in)
        return false;
    std::FILE* out = std::fopen(part.c_str(), "wb");
    if (!out) {
        std::fclose(in);
        return false;
    }
    bool ok = true;
    char buf[65536];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, in))
        if (std::fwrite(buf, 1, n, out) != n) {
            ok = false;
            break;
        }
    ok = ok && !std::ferror(in);
    std::fclose(in);
    ok = std::fflush(out) == 0 && ok;
    ok = ::fsync(fileno(out)) == 0 && ok;
    ok = std::fclose(out) == 0 && ok;
    // Plain data, never marked executable, whatever the item says.
    ok = ok && ::chmod(part.c_str(), 0644) == 0;
    ok = ok && std::rename(part.c_str(), target.c_str()) == 0;
    if (!ok)
        std::remove(part.c_str());
    return ok;
}

DownloadOutcome RunDownload(const std::string& url, const std::string& path, const std::atomic<int>& cancel,
                            const std::function<void(std::int64_t)>& progress)
{
    DownloadOutcome out;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return out;
    CInternetSession session("QuilloBeacon");
    session.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, 5000);
    session.SetCancelCheck([&cancel] { return cancel.load() != 0; });
    std::int64_t total = 0;
    bool first = true;
    bool writeFailed = false;
    try {
        std::unique_ptr<CHttpFile> file(session.OpenURL(url.c_str(), 1, INTERNET_FLAG_TRANSFER_BINARY));
        if (!file) {
            out.message = "Can not create temp file";
        } else {
            DWORD status = 0;
            file->QueryInfoStatusCode(status);
            if (file->WasCancelled()) {
                out.cancelled = true;
            } else if (status != HTTP_STATUS_OK) {
                out.message = file->StatusLine().empty() ? "HTTP " + std::to_string(status) : file->StatusLine();
            } else {
                char buf[4096];
                while (!cancel.load()) {
                    const UINT n = file->Read(buf, sizeof buf);
                    if (first && n >= 5 && !strncasecmp(buf, "Error", 5)) {
                        out.message = std::string(buf, std::min<UINT>(n, 100)) +
                                      "\r\nNot a registered user? Sign up " + kForumAddress +
                                      " and login to download some of them freely.";
                        break;
                    }
                    first = false;
                    if (n == 0) {
                        out.cancelled = file->WasCancelled();
                        out.succeeded = !out.cancelled && file->IsComplete();
                        if (!out.succeeded && !out.cancelled)
                            out.message = "The transfer ended before the whole file had arrived.";
                        break;
                    }
                    if (std::fwrite(buf, 1, n, f) != n) {
                        writeFailed = true;
                        break;
                    }
                    total += n;
                    progress(total);
                }
                if (cancel.load())
                    out.cancelled = true;
            }
        }
    } catch (const CInternetException& e) {
        out.message = e.Message();
    }
    if (std::fclose(f) != 0 || writeFailed) {
        out.succeeded = false;
        if (out.message.empty() && !out.cancelled)
            out.message = "Can not write the downloaded file.";
    }
    if (out.cancelled)
        out.succeeded = false;
    return out;
}

} // namespace beacon
