// CQLLinkFile: "QuilloLink 1\n" followed by the target path and "\n".

#include "platform/codec/QLImageCodec.h"

#include "platform/codec/CodecInternal.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kMagic[] = "QuilloLink 1\n";
constexpr std::size_t kMaxLinkBytes = 64 * 1024;

// 100-ns ticks since 1601-01-01.
FILETIME ToFileTime(long long seconds, unsigned nanoseconds)
{
    const long long ticks = (seconds + 11644473600LL) * 10000000LL + nanoseconds / 100;
    const ULONGLONG u = ticks < 0 ? 0 : static_cast<ULONGLONG>(ticks);
    return FILETIME{static_cast<DWORD>(u), static_cast<DWORD>(u >> 32)};
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ReadTarget(const char* path, std::string& target)
{
    qlcodec::FileBytes f;
    if (!qlcodec::ReadFileBytes(path, f, kMaxLinkBytes))
        return false;
    const std::size_t m = sizeof kMagic - 1;
    if (f.size <= m || std::memcmp(f.data.get(), kMagic, m) != 0)
        return false;
    std::string t(reinterpret_cast<const char*>(f.data.get()) + m, f.size - m);
    const std::size_t end = t.find_first_of("\r\n");
    if (end != std::string::npos)
        t.resize(end);
    if (t.empty() || t.find('\0') != std::string::npos)
        return false;
    target = t;
    return true;
}

} // namespace

int CQLLinkFile::Create(const char* photoPath, const char* folder)
{
    if (!photoPath || !*photoPath || !folder || !*folder)
        return 0;
    const std::string photo(photoPath);
    if (photo.find_first_of("\r\n") != std::string::npos)
        return 0;
    const std::string name = BaseName(photo);
    if (name.empty())
        return 0;
    std::string dir(folder);
    while (dir.size() > 1 && (dir.back() == '/' || dir.back() == '\\'))
        dir.pop_back();
    const std::string content = std::string(kMagic) + photo + "\n";
    for (int n = 1; n < 1000; ++n) {
        const std::string link = dir + "/" + name + (n == 1 ? "" : " (" + std::to_string(n) + ")") + kExtension;
        const int fd = ::open(link.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0) {
            if (errno != EEXIST)
                return 0;
            std::string existing;
            if (ReadTarget(link.c_str(), existing) && existing == photo) {
                m_link = link;
                m_target = photo;
                return 1; // already filed
            }
            continue;
        }
        const bool ok = qlcodec::WriteAll(fd, reinterpret_cast<const BYTE*>(content.data()), content.size());
        if (::close(fd) != 0 || !ok) {
            ::unlink(link.c_str());
            return 0;
        }
        m_link = link;
        m_target = photo;
        return 1;
    }
    return 0;
}

int CQLLinkFile::Read(const char* path)
{
    std::string target;
    if (!path || !ReadTarget(path, target)) {
        m_link.clear();
        m_target.clear();
        return 0;
    }
    m_link = path;
    m_target = target;
    return 1;
}

int CQLLinkFile::GetFileTime(FILETIME* creation, FILETIME* access, FILETIME* write) const
{
    if (m_target.empty())
        return 0;
    struct statx sx {};
    if (::statx(AT_FDCWD, m_target.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) != 0)
        return 0;
    const FILETIME modified = ToFileTime(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    if (creation)
        *creation = (sx.stx_mask & STATX_BTIME) ? ToFileTime(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec) : modified;
    if (access)
        *access = ToFileTime(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    if (write)
        *write = modified;
    return 1;
}
