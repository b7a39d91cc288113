// Files in and out: whole-file reads, and saving through a temporary file
// that is renamed over the target, so that a failed save loses nothing.

#include "platform/codec/CodecInternal.h"
#include "platform/win/FileReplace.h"

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
    return path && *path && qlwin::WriteReplacing(path, writer);
}

} // namespace qlcodec
