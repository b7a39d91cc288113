// Replacing a file's whole content safely: a temporary file beside it is
// written, synced and renamed over it, so readers see either the old file or
// the whole new one, and a failure leaves the old one as it was.
//
// Every writer of the suite that replaces a file goes through WriteReplacing:
// - a symbolic link is followed to the file it names, and that file is
//   replaced, so the link stays a link; a dangling link or a loop is refused;
// - a file nobody may write (marked read-only), one this user may not write,
//   or one that is not a regular file is refused and left alone;
// - the new file keeps the old one's owner, group and mode where the user may
//   set them;
// - temporary files that a crashed process left in the folder (its name
//   pattern below, process gone) are removed first.
// Temporary files are named ".<name>.ql<pid>-<n>.tmp".
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace qlwin {

// writer fills the temporary file through fd (it must not close it) or by
// opening tempPath again; it returns false on failure. False (errno set where
// the system gave a reason), leaving path as it was, when anything fails. A
// new file gets newMode less the umask.
bool WriteReplacing(const std::string& path, const std::function<bool(int fd, const std::string& tempPath)>& writer,
                    unsigned newMode = 0666);

// The same with the whole content at hand.
bool ReplaceFileContents(const std::string& path, std::string_view content, unsigned newMode = 0666);

// Writes all bytes to fd, retrying short writes.
bool WriteAllTo(int fd, const void* data, std::size_t size);

// The file that a save of path replaces: path itself, or the end of its chain
// of symbolic links. False for a dangling link or a loop.
bool SaveTarget(const std::string& path, std::string& target);

// Removes the temporary files of processes that are gone from folder.
void RemoveStaleTemporaries(const std::string& folder);

} // namespace qlwin
