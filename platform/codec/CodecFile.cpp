// Files in and out: whole-file reads, and saving through a temporary file
// that is renamed over the target, so that a failed save loses nothing.

#include "platform/codec/CodecInternal.h"

#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlcodec {

bool MakeImage(CQLImage& image, ULONGLONG width, ULONGLONG height)
{
    if (!SizeOk(width, height) || image.Create(static_cast<UINT>(width), static_cast<UINT>(height)) != 0) {
        image.Free();
        return false;
    }
    return true;
}

bool AnyAlphaBelow255(const CQLImage& image)
{
    const BYTE* p = image.GetBuffer(0, 0);
    const std::size_t n = image.GetAreaByteSize();
    for (std::size_t i = 3; i < n; i += 4)
        if (p[i] != 255)
            return true;
    return false;
}

bool ReadFileBytes(const char* path, FileBytes& out, std::size_t maxBytes)
{
    out.data.reset();
    out.size = 0;
    if (!path || !*path)
        return false;
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return false;
    }
    std::size_t want = static_cast<std::size_t>(st.st_size);
    if (want > maxBytes)
        want = maxBytes;
    std::unique_ptr<BYTE[]> buf(new (std::nothrow) BYTE[want == 0 ? 1 : want]);
    if (!buf) {
        ::close(fd);
        return false;
    }
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd, buf.get() + got, want - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            return false;
        }
        if (n == 0)
            break; // the file shrank meanwhile: take what is there
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    out.data = std::move(buf);
    out.size = got;
    return true;
}

long long FileSize(const char* path)
{
    struct stat st {};
    if (!path || ::stat(path, &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    return static_cast<long long>(st.st_size);
}

bool WriteAll(int fd, const BYTE* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string Extension(const char* path)
{
    if (!path)
        return {};
    const std::string p(path);
    const std::size_t slash = p.find_last_of("/\\");
    const std::size_t dot = p.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    std::string ext = p.substr(dot);
    for (char& c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool WriteReplacing(const char* path, const std::function<bool(int fd, const std::string& tempPath)>& writer)
{
    if (!path || !*path)
        return false;
    std::string target(path);
    struct stat lst {};
    if (::lstat(path, &lst) == 0 && S_ISLNK(lst.st_mode)) {
        // Replace the file that the link names, not the link.
        if (char* real = ::realpath(path, nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const std::size_t slash = target.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    if (base.empty())
        return false;

    static std::atomic<unsigned> counter{0};
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = dir + (dir == "/" ? "" : "/") + "." + base.substr(0, 180) + ".ql" + std::to_string(::getpid()) + "-"
            + std::to_string(counter.fetch_add(1)) + ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;

    struct stat st {};
    const bool replacing = ::stat(target.c_str(), &st) == 0;
    if (replacing) {
        if (!S_ISREG(st.st_mode)) {
            ::close(fd);
            ::unlink(temp.c_str());
            return false;
        }
        // Private while written (writers may reopen it by name, so not
        // read-only yet); the existing photo's permissions come at the end.
        (void)::fchmod(fd, S_IRUSR | S_IWUSR);
    }

    bool ok = false;
    try {
        ok = writer(fd, temp);
    } catch (...) {
        // An encoder's allocation failed: clean up below and report failure.
        ok = false;
    }
    if (ok && replacing)
        (void)::fchmod(fd, st.st_mode & 07777);
    if (::close(fd) != 0)
        ok = false;
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

} // namespace qlcodec
