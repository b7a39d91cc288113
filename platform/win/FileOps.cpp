#include "platform/win/FileOps.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<qlwin::FileConfirmHook> g_confirm{nullptr};

DWORD errorOf(int err)
{
    switch (err) {
    case ENOENT:
        return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EEXIST:
        return ERROR_ALREADY_EXISTS;
    case ENOTEMPTY:
        return ERROR_DIR_NOT_EMPTY;
    case EXDEV:
        return ERROR_NOT_SAME_DEVICE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

BOOL fail(int err)
{
    SetLastError(errorOf(err));
    return FALSE;
}

bool exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

bool writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Copies the bytes, permissions and modification time of from into a new
// file (O_EXCL). On failure the new file is removed and errno tells why.
bool copyData(const std::string& from, const std::string& to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat st {};
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(in);
        errno = err;
        return false;
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (out < 0) {
        const int err = errno;
        ::close(in);
        errno = err;
        return false;
    }
    bool ok = true;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(in, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || (n > 0 && !writeAll(out, buf, static_cast<size_t>(n))))
            ok = false;
        if (n <= 0)
            break;
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ok = ok && ::futimens(out, times) == 0;
    const int err = errno;
    ::close(in);
    ok = ::close(out) == 0 && ok;
    if (!ok) {
        ::unlink(to.c_str());
        errno = err ? err : EIO;
    }
    return ok;
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Copies from over to as one step: a temporary copy beside the target is
// renamed over it, so the old target stays whole until the new one is.
bool copyReplacing(const std::string& from, const std::string& to)
{
    static std::atomic<unsigned> counter{0};
    const std::string tmp = folderOf(to) + ".ql-copy-" + std::to_string(::getpid()) + '-' +
                            std::to_string(counter++) + ".tmp";
    if (!copyData(from, tmp))
        return false;
    if (::rename(tmp.c_str(), to.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmp.c_str());
        errno = err;
        return false;
    }
    return true;
}

// Removes name inside the folder dirFd; a folder is emptied first. Links are
// removed as links: the folders are opened with O_NOFOLLOW, so a link swapped
// in meanwhile cannot lead the walk out of the tree either.
bool removeAt(int dirFd, const char* name)
{
    struct stat st {};
    if (::fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (!S_ISDIR(st.st_mode))
        return ::unlinkat(dirFd, name, 0) == 0;
    const int fd = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    bool ok = true;
    for (const std::string& n : names)
        ok = removeAt(::dirfd(dir), n.c_str()) && ok;
    ::closedir(dir);
    return ok && ::unlinkat(dirFd, name, AT_REMOVEDIR) == 0;
}

bool removeTree(const std::string& path) { return removeAt(AT_FDCWD, path.c_str()); }

// Copies a file, link or folder tree; links are copied as links. With
// replace, existing files are replaced and existing folders merged into.
bool copyTree(const std::string& from, const std::string& to, bool replace)
{
    struct stat st {};
    if (::lstat(from.c_str(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode)) {
        std::string target(4096, '\0');
        const ssize_t n = ::readlink(from.c_str(), target.data(), target.size());
        if (n < 0)
            return false;
        target.resize(static_cast<size_t>(n));
        if (replace && exists(to) && ::unlink(to.c_str()) != 0)
            return false;
        return ::symlink(target.c_str(), to.c_str()) == 0;
    }
    if (S_ISREG(st.st_mode))
        return replace && exists(to) ? copyReplacing(from, to) : copyData(from, to);
    if (!S_ISDIR(st.st_mode)) {
        errno = EPERM;
        return false;
    }
    if (::mkdir(to.c_str(), st.st_mode & 07777) != 0 && !(replace && errno == EEXIST))
        return false;
    DIR* dir = ::opendir(from.c_str());
    if (!dir)
        return false;
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir))
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
            names.emplace_back(e->d_name);
    ::closedir(dir);
    for (const std::string& n : names)
        if (!copyTree(from + '/' + n, to + '/' + n, replace))
            return false;
    return true;
}

// rename without replacing: the kernel checks and renames in one step; on a
// file system that cannot, the check comes first.
bool renameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (exists(to)) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

} // namespace

namespace qlwin {
void SetFileConfirmHook(FileConfirmHook hook) { g_confirm = hook; }
} // namespace qlwin

BOOL MoveFileEx(LPCSTR from, LPCSTR to, DWORD flags)
{
    if (!from || !to)
        return fail(EINVAL);
    struct stat st {};
    if (::lstat(from, &st) != 0)
        return fail(errno);
    const bool replace = flags & MOVEFILE_REPLACE_EXISTING;
    if (replace ? ::rename(from, to) == 0 : renameNoReplace(from, to))
        return TRUE;
    if (errno != EXDEV || S_ISDIR(st.st_mode))
        return fail(errno);
    // Across file systems a file is copied, then the original removed.
    if (!(replace ? copyReplacing(from, to) : copyData(from, to)))
        return fail(errno);
    if (::unlink(from) != 0)
        return fail(errno);
    return TRUE;
}

BOOL MoveFile(LPCSTR from, LPCSTR to)
{
    return MoveFileEx(from, to, MOVEFILE_COPY_ALLOWED);
}

BOOL CopyFile(LPCSTR from, LPCSTR to, BOOL failIfExists)
{
    if (!from || !to)
        return fail(EINVAL);
    const bool ok = failIfExists || !exists(to) ? copyData(from, to) : copyReplacing(from, to);
    return ok ? TRUE : fail(errno);
}

BOOL DeleteFile(LPCSTR path)
{
    struct stat st {};
    if (!path || ::lstat(path, &st) != 0)
        return fail(path ? errno : EINVAL);
    // A read-only file (no write permission for its owner) stays, as on Windows.
    if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR)))
        return fail(EACCES);
    return ::unlink(path) == 0 ? TRUE : fail(errno);
}

BOOL CreateDirectory(LPCSTR path, LPSECURITY_ATTRIBUTES)
{
    if (!path)
        return fail(EINVAL);
    if (::mkdir(path, 0777) == 0)
        return TRUE;
    return fail(errno == ENOENT ? ENOTDIR : errno); // a missing parent is ERROR_PATH_NOT_FOUND
}

BOOL RemoveDirectory(LPCSTR path)
{
    if (!path)
        return fail(EINVAL);
    return ::rmdir(path) == 0 ? TRUE : fail(errno);
}

BOOL GetFileAttributesEx(LPCSTR path, GET_FILEEX_INFO_LEVELS level, LPVOID info)
{
    if (!path || !info || level != GetFileExInfoStandard)
        return fail(EINVAL);
    WIN32_FIND_DATA found{};
    if (!qlwin::DescribeFile(path, &found))
        return fail(ENOENT);
    auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(info);
    *data = {found.dwFileAttributes, found.ftCreationTime, found.ftLastAccessTime, found.ftLastWriteTime,
             found.nFileSizeHigh, found.nFileSizeLow};
    return TRUE;
}

DWORD GetFileAttributes(LPCSTR path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    return GetFileAttributesEx(path, GetFileExInfoStandard, &data) ? data.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

namespace {

std::vector<std::string> pathList(LPCSTR list)
{
    std::vector<std::string> paths;
    for (const char* p = list; p && *p; p += std::strlen(p) + 1)
        paths.emplace_back(p);
    return paths;
}

bool isFolder(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool sameFile(const std::string& a, const std::string& b)
{
    struct stat sa {};
    struct stat sb {};
    return ::lstat(a.c_str(), &sa) == 0 && ::lstat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// "name (2).ext", "name (3).ext"...: the first that is free.
std::string freeName(const std::string& target, bool folder)
{
    const std::string dir = folderOf(target);
    const std::string name = nameOf(target);
    const size_t dot = folder ? std::string::npos : name.rfind('.');
    const std::string stem = dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
    const std::string ext = stem.size() == name.size() ? std::string() : name.substr(dot);
    for (int n = 2;; ++n) {
        const std::string candidate = dir + stem + " (" + std::to_string(n) + ")" + ext;
        if (!exists(candidate))
            return candidate;
    }
}

// True when target lies inside the folder tree of source.
bool insideOf(const std::string& source, const std::string& target)
{
    char* src = ::realpath(source.c_str(), nullptr);
    std::string parent = folderOf(target);
    char* dst = ::realpath(parent.empty() ? "." : parent.c_str(), nullptr);
    bool inside = false;
    if (src && dst) {
        const std::string s = std::string(src) + '/';
        const std::string d = std::string(dst) + '/';
        inside = d.compare(0, s.size(), s) == 0;
    }
    std::free(src);
    std::free(dst);
    return inside;
}

bool confirm(HWND owner, qlwin::FileQuestion question, const std::string& path)
{
    const qlwin::FileConfirmHook hook = g_confirm;
    if (!hook)
        return question == qlwin::FileQuestion::Delete;
    return hook(owner, question, path.c_str());
}

int deleteAll(SHFILEOPSTRUCT* op, const std::vector<std::string>& sources)
{
    for (const std::string& source : sources) {
        if (!exists(source))
            return static_cast<int>(ERROR_FILE_NOT_FOUND);
        if (!(op->fFlags & FOF_NOCONFIRMATION) && !confirm(op->hwnd, qlwin::FileQuestion::Delete, source)) {
            op->fAnyOperationsAborted = TRUE;
            continue;
        }
        if (!removeTree(source))
            return static_cast<int>(errorOf(errno));
    }
    return 0;
}

int transferOne(SHFILEOPSTRUCT* op, const std::string& source, std::string target)
{
    struct stat st {};
    if (::lstat(source.c_str(), &st) != 0)
        return static_cast<int>(ERROR_FILE_NOT_FOUND);
    const bool folder = S_ISDIR(st.st_mode);
    const bool move = op->wFunc == FO_MOVE || op->wFunc == FO_RENAME;
    bool replace = false;
    if (exists(target)) {
        if (op->fFlags & FOF_RENAMEONCOLLISION) {
            target = freeName(target, folder);
        } else if (sameFile(source, target) || op->wFunc == FO_RENAME) {
            return sameFile(source, target) ? DE_SAMEFILE : static_cast<int>(ERROR_ALREADY_EXISTS);
        } else if ((op->fFlags & FOF_NOCONFIRMATION) || confirm(op->hwnd, qlwin::FileQuestion::Replace, target)) {
            replace = true;
        } else {
            op->fAnyOperationsAborted = TRUE;
            return 0;
        }
    }
    if (folder && insideOf(source, target))
        return DE_DESTSUBTREE;
    if (move) {
        if (!replace && renameNoReplace(source, target))
            return 0;
        if (replace && !folder && ::rename(source.c_str(), target.c_str()) == 0)
            return 0;
        if (!replace && errno != EXDEV)
            return static_cast<int>(errorOf(errno));
        // Across file systems, or a folder merged into an existing one.
        if (!copyTree(source, target, replace) || !removeTree(source))
            return static_cast<int>(errorOf(errno));
        return 0;
    }
    return copyTree(source, target, replace) ? 0 : static_cast<int>(errorOf(errno));
}

} // namespace

int SHFileOperation(LPSHFILEOPSTRUCT op)
{
    if (!op)
        return static_cast<int>(ERROR_INVALID_PARAMETER);
    op->fAnyOperationsAborted = FALSE;
    const std::vector<std::string> sources = pathList(op->pFrom);
    if (sources.empty())
        return static_cast<int>(ERROR_INVALID_PARAMETER);
    if (op->wFunc == FO_DELETE)
        return deleteAll(op, sources);
    if (op->wFunc != FO_COPY && op->wFunc != FO_MOVE && op->wFunc != FO_RENAME)
        return static_cast<int>(ERROR_INVALID_PARAMETER);

    const std::vector<std::string> dests = pathList(op->pTo);
    const bool multi = (op->fFlags & FOF_MULTIDESTFILES) || op->wFunc == FO_RENAME;
    if (dests.empty() || (multi && dests.size() != sources.size()))
        return static_cast<int>(ERROR_INVALID_PARAMETER);
    // One source to a name that is not a folder: that name is the target.
    // Several sources go into the folder, made when missing.
    const bool intoFolder = !multi && (isFolder(dests[0]) || sources.size() > 1);
    if (intoFolder && !isFolder(dests[0]) && ::mkdir(dests[0].c_str(), 0777) != 0)
        return static_cast<int>(errorOf(errno));
    for (size_t i = 0; i < sources.size(); ++i) {
        std::string target = multi ? dests[i] : dests[0];
        if (intoFolder)
            target = (target.back() == '/' ? target : target + '/') + nameOf(sources[i]);
        if (const int rc = transferOne(op, sources[i], target))
            return rc;
    }
    return 0;
}
