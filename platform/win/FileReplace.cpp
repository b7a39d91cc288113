#include "platform/win/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlwin {

namespace {

bool writeAll(int fd, std::string_view data)
{
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

} // namespace

bool ReplaceFileContents(const std::string& path, std::string_view content, unsigned newMode)
{
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;
    static std::atomic<unsigned> counter{0};
    std::string tmp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        tmp = path + '.' + std::to_string(::getpid()) + '-' + std::to_string(counter++) + ".tmp";
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, newMode);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = (!existed || ::fchmod(fd, old.st_mode & 07777) == 0) && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(tmp.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

} // namespace qlwin
