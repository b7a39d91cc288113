#include "platform/win/Drives.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace qlwin {
namespace {

const char* const kDiskTypes[] = {"ext2", "ext3", "ext4", "xfs", "btrfs", "vfat", "exfat", "ntfs", "ntfs3"};

std::string WithSlash(std::string path)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    return path;
}

// Mount points escape blanks and a few other bytes as octal "\040".
std::string Unescape(std::string_view field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() &&
            std::all_of(field.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                        field.begin() + static_cast<std::ptrdiff_t>(i) + 4, [](char c) { return c >= '0' && c <= '7'; })) {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// The label of a block device, from the links in /dev/disk/by-label.
std::string LabelOf(const std::string& device)
{
    std::error_code ec;
    const std::filesystem::path target = std::filesystem::canonical(device, ec);
    if (ec)
        return {};
    for (std::filesystem::directory_iterator it("/dev/disk/by-label", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkError;
        if (std::filesystem::canonical(it->path(), linkError) == target && !linkError)
            return Unescape(it->path().filename().string());
    }
    return {};
}

struct MountLine {
    std::string device, point, type;
};

std::vector<MountLine> ParseMounts(std::string_view mounts)
{
    std::vector<MountLine> lines;
    std::istringstream in{std::string(mounts)};
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        MountLine m;
        if (fields >> m.device >> m.point >> m.type) {
            m.point = Unescape(m.point);
            lines.push_back(std::move(m));
        }
    }
    return lines;
}

bool IsDiskType(const std::string& type)
{
    return std::any_of(std::begin(kDiskTypes), std::end(kDiskTypes), [&](const char* t) { return type == t; });
}

std::vector<FixedDrive> Parse(std::string_view mounts, const std::string& home, bool withLabels)
{
    std::vector<FixedDrive> drives;
    auto add = [&](const std::string& root, const std::string& name) {
        const std::string r = WithSlash(root);
        if (std::none_of(drives.begin(), drives.end(), [&](const FixedDrive& d) { return d.root == r; }))
            drives.push_back({r, name});
    };
    if (!home.empty())
        add(home, "Home");
    const std::vector<MountLine> lines = ParseMounts(mounts);
    std::string rootName;
    for (const MountLine& m : lines)
        if (m.point == "/" && IsDiskType(m.type) && withLabels)
            rootName = LabelOf(m.device);
    add("/", rootName);
    for (const MountLine& m : lines)
        if (m.point != "/" && IsDiskType(m.type))
            add(m.point, withLabels ? LabelOf(m.device) : std::string());
    return drives;
}

} // namespace

std::vector<FixedDrive> ParseFixedDrives(std::string_view mounts, const std::string& home)
{
    return Parse(mounts, home, false);
}

std::vector<FixedDrive> GetFixedDrives()
{
    std::ifstream in("/proc/self/mounts");
    std::stringstream text;
    text << in.rdbuf();
    const char* home = std::getenv("HOME");
    std::vector<FixedDrive> drives = Parse(text.str(), home ? home : "", true);
    std::erase_if(drives, [](const FixedDrive& d) {
        std::error_code ec;
        return !std::filesystem::is_directory(d.root, ec);
    });
    return drives;
}

std::string DriveLabel(const FixedDrive& drive)
{
    return drive.name.substr(0, 20) + "(" + drive.root + ")";
}

} // namespace qlwin

namespace {

const qlwin::FixedDrive* FindDrive(const std::vector<qlwin::FixedDrive>& drives, LPCSTR root)
{
    if (!root)
        return nullptr;
    std::string r = root;
    if (r.empty() || r.back() != '/')
        r += '/';
    const auto it = std::find_if(drives.begin(), drives.end(), [&](const qlwin::FixedDrive& d) { return d.root == r; });
    return it == drives.end() ? nullptr : &*it;
}

} // namespace

UINT GetDriveType(LPCSTR root)
{
    if (FindDrive(qlwin::GetFixedDrives(), root))
        return DRIVE_FIXED;
    std::error_code ec;
    return root && std::filesystem::is_directory(root, ec) ? DRIVE_UNKNOWN : DRIVE_NO_ROOT_DIR;
}

BOOL GetVolumeInformation(LPCSTR root, LPSTR volumeName, DWORD volumeNameSize, DWORD* serial,
                          DWORD* maxComponentLength, DWORD* fileSystemFlags, LPSTR fileSystemName,
                          DWORD fileSystemNameSize)
{
    const std::vector<qlwin::FixedDrive> drives = qlwin::GetFixedDrives();
    const qlwin::FixedDrive* drive = FindDrive(drives, root);
    if (!drive)
        return FALSE;
    if (volumeName && volumeNameSize > 0)
        std::snprintf(volumeName, volumeNameSize, "%s", drive->name.c_str());
    if (serial)
        *serial = 0;
    if (maxComponentLength)
        *maxComponentLength = 255;
    if (fileSystemFlags)
        *fileSystemFlags = 0;
    if (fileSystemName && fileSystemNameSize > 0)
        fileSystemName[0] = '\0';
    return TRUE;
}
