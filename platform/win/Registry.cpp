#include "platform/win/Registry.h"
#include "platform/win/RegistryFile.h"
#include "platform/win/FileReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

struct QlKeyRecord {
    std::string path; // "HKEY_CLASSES_ROOT\QuilloFile"
};

namespace qlwin {

namespace {

constexpr char kMagic[4] = {'Q', 'L', 'R', 'G'};
constexpr std::uint32_t kVersion = 1;

class Reader {
public:
    Reader(const unsigned char* p, std::size_t n) : p_(p), n_(n) {}
    bool u32(std::uint32_t& v)
    {
        if (n_ - pos_ < 4)
            return false;
        v = static_cast<std::uint32_t>(p_[pos_]) | static_cast<std::uint32_t>(p_[pos_ + 1]) << 8 |
            static_cast<std::uint32_t>(p_[pos_ + 2]) << 16 | static_cast<std::uint32_t>(p_[pos_ + 3]) << 24;
        pos_ += 4;
        return true;
    }
    bool text(std::string& s)
    {
        std::uint32_t len = 0;
        if (!u32(len) || n_ - pos_ < len)
            return false;
        s.assign(reinterpret_cast<const char*>(p_ + pos_), len);
        pos_ += len;
        return true;
    }
    bool bytes(const char* expect, std::size_t len)
    {
        if (n_ - pos_ < len || std::memcmp(p_ + pos_, expect, len) != 0)
            return false;
        pos_ += len;
        return true;
    }
    std::size_t left() const { return n_ - pos_; }

private:
    const unsigned char* p_;
    std::size_t n_;
    std::size_t pos_ = 0;
};

void putU32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putText(std::string& out, const std::string& s)
{
    putU32(out, static_cast<std::uint32_t>(s.size()));
    out += s;
}

std::string lowered(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}

} // namespace

bool ParseRegistry(const unsigned char* bytes, std::size_t size, RegistryData& out)
{
    out.keys.clear();
    Reader r(bytes, size);
    std::uint32_t version = 0;
    std::uint32_t keyCount = 0;
    if (!r.bytes(kMagic, 4) || !r.u32(version) || version != kVersion || !r.u32(keyCount))
        return false;
    std::set<std::string> paths;
    // Every key takes at least 8 bytes, so a count beyond that is a lie.
    if (keyCount > r.left() / 8)
        return false;
    RegistryData data;
    data.keys.reserve(keyCount);
    for (std::uint32_t k = 0; k < keyCount; ++k) {
        RegistryKey key;
        std::uint32_t valueCount = 0;
        if (!r.text(key.path) || key.path.empty() || !paths.insert(lowered(key.path)).second || !r.u32(valueCount) ||
            valueCount > r.left() / 12)
            return false;
        std::set<std::string> names;
        for (std::uint32_t v = 0; v < valueCount; ++v) {
            RegistryValue value;
            if (!r.text(value.name) || !names.insert(lowered(value.name)).second || !r.u32(value.type) ||
                !r.text(value.data))
                return false;
            key.values.push_back(std::move(value));
        }
        data.keys.push_back(std::move(key));
    }
    if (r.left() != 0)
        return false;
    out = std::move(data);
    return true;
}

std::string SerializeRegistry(const RegistryData& data)
{
    std::string out(kMagic, 4);
    putU32(out, kVersion);
    putU32(out, static_cast<std::uint32_t>(data.keys.size()));
    for (const RegistryKey& key : data.keys) {
        putText(out, key.path);
        putU32(out, static_cast<std::uint32_t>(key.values.size()));
        for (const RegistryValue& value : key.values) {
            putText(out, value.name);
            putU32(out, value.type);
            putText(out, value.data);
        }
    }
    return out;
}

} // namespace qlwin

namespace {

using qlwin::RegistryData;
using qlwin::RegistryKey;
using qlwin::RegistryValue;

std::string configFolder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (xdg && xdg[0] == '/') {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/')
            return {};
        base = std::string(home) + "/.config";
    }
    return base + "/quillo/";
}

bool makeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    return true;
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The key path under a parent: '\'-separated, empty parts dropped.
std::string joinPath(const std::string& parent, LPCSTR sub)
{
    std::string path = parent;
    std::string_view rest = sub ? sub : "";
    while (!rest.empty()) {
        const size_t sep = rest.find('\\');
        const std::string_view part = rest.substr(0, sep);
        if (!part.empty())
            path.append("\\").append(part);
        rest = sep == std::string_view::npos ? std::string_view{} : rest.substr(sep + 1);
    }
    return path;
}

enum class Load { Ok, Missing, Bad };

// Reads the whole file; a missing file is an empty registry.
Load readRegistry(const std::string& file, RegistryData& data)
{
    data.keys.clear();
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? Load::Missing : Load::Bad;
    std::string bytes;
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            ::close(fd);
            return Load::Bad;
        }
        if (n == 0)
            break;
        bytes.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return qlwin::ParseRegistry(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), data) ? Load::Ok
                                                                                                         : Load::Bad;
}

RegistryKey* findKey(RegistryData& data, const std::string& path)
{
    for (RegistryKey& key : data.keys)
        if (equalNoCase(key.path, path))
            return &key;
    return nullptr;
}

bool isRootPath(const std::string& path) { return path.find('\\') == std::string::npos; }

bool keyExists(RegistryData& data, const std::string& path) { return isRootPath(path) || findKey(data, path); }

RegistryValue* findValue(RegistryKey& key, LPCSTR name)
{
    const std::string_view n = name ? name : "";
    for (RegistryValue& v : key.values)
        if (equalNoCase(v.name, n))
            return &v;
    return nullptr;
}

std::mutex& liveLock()
{
    static auto* m = new std::mutex;
    return *m;
}

std::set<HKEY>& liveKeys()
{
    static auto* s = new std::set<HKEY>;
    return *s;
}

// The key's path, or "" for a handle that is neither a root nor open.
std::string pathOf(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return "HKEY_CLASSES_ROOT";
    if (key == HKEY_CURRENT_USER)
        return "HKEY_CURRENT_USER";
    if (key == HKEY_LOCAL_MACHINE)
        return "HKEY_LOCAL_MACHINE";
    if (key == HKEY_USERS)
        return "HKEY_USERS";
    std::lock_guard lock(liveLock());
    return liveKeys().count(key) ? key->path : std::string();
}

HKEY newHandle(const std::string& path)
{
    auto* rec = new QlKeyRecord{path};
    std::lock_guard lock(liveLock());
    liveKeys().insert(rec);
    return rec;
}

// Reads the file, lets change() edit it, and writes it back when change()
// says so; all under an exclusive lock, so that concurrent writers of other
// processes cannot lose each other's changes.
template <typename Change>
LONG modify(Change change)
{
    const std::string folder = configFolder();
    if (folder.empty() || !makeFolders(folder))
        return ERROR_CANTWRITE;
    const std::string file = folder + "registry.dat";
    const int lockFd = ::open((folder + "registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (lockFd < 0)
        return ERROR_CANTWRITE;
    while (::flock(lockFd, LOCK_EX) != 0 && errno == EINTR) {
    }
    RegistryData data;
    LONG result = ERROR_BADDB; // a file we cannot read is never replaced
    if (readRegistry(file, data) != Load::Bad) {
        bool changed = false;
        result = change(data, changed);
        if (result == ERROR_SUCCESS && changed && !qlwin::ReplaceFileContents(file, qlwin::SerializeRegistry(data), 0600))
            result = ERROR_CANTWRITE;
    }
    ::close(lockFd); // releases the lock
    return result;
}

template <typename Look>
LONG inspect(Look look)
{
    const std::string folder = configFolder();
    RegistryData data;
    if (!folder.empty() && readRegistry(folder + "registry.dat", data) == Load::Bad)
        return ERROR_BADDB;
    return look(data);
}

} // namespace

LONG RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const std::string parent = pathOf(key);
    if (parent.empty())
        return ERROR_INVALID_HANDLE;
    const std::string path = joinPath(parent, subKey);
    const LONG rc = inspect([&](RegistryData& data) { return keyExists(data, path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND; });
    if (rc == ERROR_SUCCESS)
        *result = newHandle(path);
    return rc;
}

LONG RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY result,
                    LPDWORD disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const std::string parent = pathOf(key);
    if (parent.empty())
        return ERROR_INVALID_HANDLE;
    const std::string path = joinPath(parent, subKey);
    bool created = false;
    const LONG rc = modify([&](RegistryData& data, bool& changed) {
        if (!keyExists(data, parent))
            return static_cast<LONG>(ERROR_FILE_NOT_FOUND); // the parent was deleted meanwhile
        // Every missing key on the way is made, as on Windows.
        size_t sep = path.find('\\');
        while (sep != std::string::npos) {
            sep = path.find('\\', sep + 1);
            const std::string part = path.substr(0, sep);
            if (!keyExists(data, part)) {
                data.keys.push_back(RegistryKey{part, {}});
                changed = true;
            }
        }
        created = changed;
        return static_cast<LONG>(ERROR_SUCCESS);
    });
    if (rc != ERROR_SUCCESS)
        return rc;
    if (disposition)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = newHandle(path);
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, LPCSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    const std::string path = pathOf(key);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    return inspect([&](RegistryData& reg) -> LONG {
        RegistryKey* k = findKey(reg, path);
        RegistryValue* v = k ? findValue(*k, name) : nullptr;
        if (!v)
            return ERROR_FILE_NOT_FOUND;
        if (type)
            *type = v->type;
        const auto needed = static_cast<DWORD>(v->data.size());
        LONG rc = ERROR_SUCCESS;
        if (data) {
            if (*size < needed)
                rc = ERROR_MORE_DATA;
            else
                std::memcpy(data, v->data.data(), needed);
        }
        if (size)
            *size = needed;
        return rc;
    });
}

LONG RegSetValueEx(HKEY key, LPCSTR name, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    const std::string path = pathOf(key);
    if (path.empty() || isRootPath(path))
        return path.empty() ? ERROR_INVALID_HANDLE : ERROR_ACCESS_DENIED;
    if (!data && size)
        return ERROR_INVALID_PARAMETER;
    return modify([&](RegistryData& reg, bool& changed) -> LONG {
        RegistryKey* k = findKey(reg, path);
        if (!k)
            return ERROR_FILE_NOT_FOUND; // deleted since it was opened
        const std::string bytes(reinterpret_cast<const char*>(data), data ? size : 0);
        if (RegistryValue* v = findValue(*k, name)) {
            v->type = type;
            v->data = bytes;
        } else {
            k->values.push_back(RegistryValue{name ? name : "", type, bytes});
        }
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteKey(HKEY key, LPCSTR subKey)
{
    const std::string parent = pathOf(key);
    if (parent.empty())
        return ERROR_INVALID_HANDLE;
    const std::string path = joinPath(parent, subKey);
    if (isRootPath(path))
        return ERROR_ACCESS_DENIED;
    return modify([&](RegistryData& reg, bool& changed) -> LONG {
        const auto it = std::find_if(reg.keys.begin(), reg.keys.end(),
                                     [&](const RegistryKey& k) { return equalNoCase(k.path, path); });
        if (it == reg.keys.end())
            return ERROR_FILE_NOT_FOUND;
        const std::string prefix = path + '\\';
        for (const RegistryKey& k : reg.keys)
            if (k.path.size() > prefix.size() && equalNoCase(std::string_view(k.path).substr(0, prefix.size()), prefix))
                return ERROR_ACCESS_DENIED;
        reg.keys.erase(it);
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValue(HKEY key, LPCSTR name)
{
    const std::string path = pathOf(key);
    if (path.empty())
        return ERROR_INVALID_HANDLE;
    return modify([&](RegistryData& reg, bool& changed) -> LONG {
        RegistryKey* k = findKey(reg, path);
        RegistryValue* v = k ? findValue(*k, name) : nullptr;
        if (!v)
            return ERROR_FILE_NOT_FOUND;
        k->values.erase(k->values.begin() + (v - k->values.data()));
        changed = true;
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE || key == HKEY_USERS)
        return ERROR_SUCCESS;
    std::lock_guard lock(liveLock());
    if (!liveKeys().erase(key))
        return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}
