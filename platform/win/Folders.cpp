#include "platform/win/Folders.h"

#include "platform/win/Library.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Copies s cut to size - 1 chars plus NUL; out may be NULL.
void copyCut(char* out, size_t size, std::string_view s)
{
    if (!out)
        return;
    const size_t n = std::min(s.size(), size - 1);
    std::copy_n(s.data(), n, out);
    out[n] = '\0';
}

std::string executablePath()
{
    std::string path(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0)
            return {};
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// Makes the folder on first use, then accepts it only as a real directory of
// ours: a link or a foreign folder planted under the shared /tmp would let
// another user read or replace the files the programs hand to each other.
bool makePrivateFolder(const std::string& path)
{
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid();
    // The umask may have narrowed the new folder, or someone widened it.
    if (ok && (st.st_mode & 07777) != 0700)
        ok = ::fchmod(fd, 0700) == 0;
    ::close(fd);
    return ok;
}

} // namespace

DWORD GetModuleFileName(HMODULE module, LPSTR out, DWORD size)
{
    if (!out || size == 0)
        return 0;
    const std::string path = module ? qlwin::ModulePath(module) : executablePath();
    if (path.empty())
        return 0;
    copyCut(out, size, path);
    return path.size() < size ? static_cast<DWORD>(path.size()) : size;
}

DWORD GetTempPath(DWORD size, LPSTR out)
{
    const char* env = std::getenv("TMPDIR");
    std::string path = env && env[0] == '/' ? env : "/tmp";
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    if (path.back() != '/')
        path += '/';
    path += "quillo-" + std::to_string(::geteuid());
    if (!makePrivateFolder(path))
        return 0;
    path += '/';
    if (!out || path.size() >= size)
        return static_cast<DWORD>(path.size() + 1);
    copyCut(out, size, path);
    return static_cast<DWORD>(path.size());
}

void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext)
{
    const std::string_view p = path ? path : "";
    const size_t slash = p.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = p.substr(nameStart);
    const size_t dot = name.rfind('.');
    copyCut(drive, _MAX_DRIVE, {});
    copyCut(dir, _MAX_DIR, p.substr(0, nameStart));
    copyCut(fname, _MAX_FNAME, name.substr(0, dot));
    copyCut(ext, _MAX_EXT, dot == std::string_view::npos ? std::string_view{} : name.substr(dot));
}
