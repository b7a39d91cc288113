#include "platform/win/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlwin {

namespace {

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The process id of a temporary file's name ".<name>.ql<pid>-<n>.tmp", or 0.
pid_t temporaryOwner(std::string_view name)
{
    constexpr std::string_view suffix = ".tmp";
    if (name.size() < 2 || name.front() != '.' || !name.ends_with(suffix))
        return 0;
    name.remove_suffix(suffix.size());
    const std::size_t dash = name.find_last_of('-');
    if (dash == std::string_view::npos || dash + 1 == name.size() ||
        name.find_first_not_of("0123456789", dash + 1) != std::string_view::npos)
        return 0;
    const std::size_t ql = name.rfind(".ql", dash);
    if (ql == std::string_view::npos || ql + 3 == dash || ql == 0)
        return 0;
    const std::string_view digits = name.substr(ql + 3, dash - ql - 3);
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos)
        return 0;
    long pid = 0;
    for (char c : digits)
        pid = pid * 10 + (c - '0');
    return static_cast<pid_t>(pid);
}

bool processGone(pid_t pid)
{
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

// Opens a new temporary file beside target; -1 when none can be made.
int createTemporary(const std::string& target, unsigned mode, std::string& temp)
{
    static std::atomic<unsigned> counter{0};
    const std::string folder = folderOf(target);
    // Short enough that the whole name stays within NAME_MAX.
    const std::string base = nameOf(target).substr(0, 180);
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = folder + (folder == "/" ? "" : "/") + "." + base + ".ql" + std::to_string(::getpid()) + "-" +
               std::to_string(counter.fetch_add(1)) + ".tmp";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// The old file's owner and group where this user may set them, then its mode
// (after the owner: a change of owner clears the set-id bits).
void keepOwnerAndMode(int fd, const struct stat& old)
{
    if (::fchown(fd, old.st_uid, old.st_gid) != 0)
        (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
    (void)::fchmod(fd, old.st_mode & 07777);
}

} // namespace

bool WriteAllTo(int fd, const void* data, std::size_t size)
{
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool SaveTarget(const std::string& path, std::string& target)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        target = path;
        return true;
    }
    // realpath fails with ENOENT for a dangling link and ELOOP for a loop.
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return false;
    target = real;
    std::free(real);
    return true;
}

void RemoveStaleTemporaries(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const int dfd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t pid = temporaryOwner(entry->d_name);
        if (pid <= 0 || pid == ::getpid() || !processGone(pid))
            continue;
        // Only our own leftovers: regular files of this user.
        struct stat st {};
        if (::fstatat(dfd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
            st.st_uid == ::geteuid())
            (void)::unlinkat(dfd, entry->d_name, 0);
    }
    ::closedir(dir);
}

bool WriteReplacing(const std::string& path, const std::function<bool(int fd, const std::string& tempPath)>& writer,
                    unsigned newMode)
{
    std::string target;
    if (path.empty() || !SaveTarget(path, target))
        return false;
    if (nameOf(target).empty()) {
        errno = EISDIR;
        return false;
    }
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing) {
        if (!S_ISREG(old.st_mode)) {
            errno = S_ISDIR(old.st_mode) ? EISDIR : EINVAL;
            return false;
        }
        // Marked read-only, or not ours to write: left alone, as a write in
        // place would be refused.
        if ((old.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(target.c_str(), W_OK) != 0) {
            errno = EACCES;
            return false;
        }
    }

    const std::string folder = folderOf(target);
    RemoveStaleTemporaries(folder);
    std::string temp;
    // Private while written; writers may reopen it by name, so writable.
    const int fd = createTemporary(target, replacing ? 0600 : newMode, temp);
    if (fd < 0)
        return false;
    bool ok = false;
    try {
        ok = writer(fd, temp);
    } catch (...) {
        // An encoder's allocation failed: clean up below and report failure.
        ok = false;
    }
    if (ok && replacing)
        keepOwnerAndMode(fd, old);
    ok = ok && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        errno = error;
        return false;
    }
    syncFolder(folder);
    return true;
}

bool ReplaceFileContents(const std::string& path, std::string_view content, unsigned newMode)
{
    return WriteReplacing(
        path, [&](int fd, const std::string&) { return WriteAllTo(fd, content.data(), content.size()); }, newMode);
}

} // namespace qlwin
