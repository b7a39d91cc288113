// Fixed drives: there are no drive letters here, so the fixed "drives" are
// the home folder, "/" and every mounted local disk file system. Roots end
// in '/'.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>
#include <string_view>
#include <vector>

inline constexpr UINT DRIVE_UNKNOWN = 0;
inline constexpr UINT DRIVE_NO_ROOT_DIR = 1;
inline constexpr UINT DRIVE_REMOVABLE = 2;
inline constexpr UINT DRIVE_FIXED = 3;

namespace qlwin {

struct FixedDrive {
    std::string root;  // ends in '/'
    std::string name;  // the volume's label, or "Home" for the home folder; may be empty
};

// From the text of /proc/self/mounts: the home folder first, then "/", then
// each mount point of a local disk file system, without repeats.
std::vector<FixedDrive> ParseFixedDrives(std::string_view mounts, const std::string& home);
// The running system's fixed drives (mount points that are no directory
// left out).
std::vector<FixedDrive> GetFixedDrives();
// "<name>(<root>)", the name cut to 20 characters.
std::string DriveLabel(const FixedDrive& drive);

} // namespace qlwin

// DRIVE_FIXED for the root of a fixed drive (with or without its final '/').
UINT GetDriveType(LPCSTR root);
// The drive's name as its volume label; the other outputs are zero.
BOOL GetVolumeInformation(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, DWORD* serial,
                          DWORD* maxComponentLength, DWORD* fileSystemFlags, LPSTR fileSystemName,
                          DWORD fileSystemNameSize);
inline UINT GetDriveTypeA(LPCSTR root) { return GetDriveType(root); }
