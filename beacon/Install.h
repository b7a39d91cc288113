// Downloads and their installation: where each item type goes, the name a
// download is saved and installed under, the checks a download must pass,
// the progress line, and the transfer itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace beacon {

// programFolder ends in '/'; "Frame/", "plugins/", "ColorTheme/" or nothing.
std::string DestinationFolder(const std::string& programFolder, int type);
// ".frm", ".qli", ".cth", ".exe" for types 2 to 5, else "".
const char* ExpectedExtension(int type);

// The url's last component after '/' or '\\', split at its last dot.
// False for an empty name, ".", "..", or control characters.
struct DownloadName {
    std::string name;
    std::string ext;  // with its dot, or ""
};
bool SplitDownloadName(const std::string& url, DownloadName* out);
// Where the download is written: its own name for ".zip" and ".rar", else
// "qlupdate.dat". tempFolder ends in '/'.
std::string DownloadTempPath(const std::string& tempFolder, const DownloadName& name);
bool IsPackageName(const DownloadName& name);

// The bar, speed and remaining time after bytes of sizeKB in elapsed seconds.
struct DownloadProgress {
    int percent = 0;               // 0..100
    double kbps = 0;               // kilobits a second
    std::int64_t remaining = 0;    // seconds
};
DownloadProgress ComputeProgress(std::int64_t bytes, double sizeKB, std::int64_t elapsedSeconds);
// "Receiveing data. Speed:%.2fKbps, Remain Time: %d:%d"
std::string ProgressText(const DownloadProgress& p);

// Why a finished transfer is not the announced file; "" when it is.
// sha256 empty: not announced (the size is still checked).
std::string CheckDownload(const std::string& path, double sizeKB, const std::string& sha256);

// Copies from to folder + fileName through a temporary file there and a
// rename; the folder is made when missing. False (nothing replaced) on failure.
bool InstallFile(const std::string& from, const std::string& folder, const std::string& fileName);

// The transfer of one download into path.
struct DownloadOutcome {
    bool succeeded = false;
    bool cancelled = false;
    std::string message;  // to show the user; "" for none
};
DownloadOutcome RunDownload(const std::string& url, const std::string& path, const std::atomic<int>& cancel,
                            const std::function<void(std::int64_t total)>& progress);

// The address of the forum named in a refusal.
inline constexpr const char kForumAddress[] = "https://forum.quillo.invalid/";

} // namespace beacon
