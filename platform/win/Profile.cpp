#include "platform/win/Profile.h"
#include "platform/win/FileReplace.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr auto npos = std::string_view::npos;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

std::string_view unquote(std::string_view v)
{
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

enum class Kind { Other, Section, Key };

// One line of the file as bytes [begin, end), terminator included, so that a
// write can copy every untouched line exactly.
struct Line {
    size_t begin = 0;
    size_t end = 0;
    bool terminated = false;
    Kind kind = Kind::Other;
    std::string_view name;  // section or key, trimmed
    std::string_view value; // trimmed, one pair of quotes stripped
};

std::vector<Line> parse(std::string_view data)
{
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < data.size()) {
        const size_t nl = data.find('\n', pos);
        const size_t textEnd = nl == npos ? data.size() : nl;
        Line line;
        line.begin = pos;
        line.end = nl == npos ? data.size() : nl + 1;
        line.terminated = nl != npos;
        std::string_view text = data.substr(pos, textEnd - pos);
        if (!text.empty() && text.back() == '\r')
            text.remove_suffix(1);
        text = trim(text);
        if (!text.empty() && text.front() == '[') {
            line.kind = Kind::Section;
            line.name = trim(text.substr(1, text.find(']') - 1));
        } else if (!text.empty() && text.front() != ';') {
            const size_t eq = text.find('=');
            if (eq != npos) {
                line.kind = Kind::Key;
                line.name = trim(text.substr(0, eq));
                line.value = unquote(trim(text.substr(eq + 1)));
            }
        }
        lines.push_back(line);
        pos = line.end;
    }
    return lines;
}

// A section's lines: its header and everything up to the next header.
struct Range {
    size_t header;
    size_t end;
};

std::optional<Range> findSection(const std::vector<Line>& lines, std::string_view name)
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Kind::Section || !equalNoCase(lines[i].name, name))
            continue;
        size_t end = i + 1;
        while (end < lines.size() && lines[end].kind != Kind::Section)
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<size_t> findKey(const std::vector<Line>& lines, Range range, std::string_view name)
{
    for (size_t i = range.header + 1; i < range.end; ++i)
        if (lines[i].kind == Kind::Key && equalNoCase(lines[i].name, name))
            return i;
    return std::nullopt;
}

std::optional<std::string_view> findValue(const std::vector<Line>& lines, LPCSTR section, LPCSTR key)
{
    const auto range = findSection(lines, trim(section));
    if (!range)
        return std::nullopt;
    const auto line = findKey(lines, *range, trim(key));
    if (!line)
        return std::nullopt;
    return lines[*line].value;
}

// Names of one kind in [first, last), each once (the first spelling wins, as a lookup would).
std::vector<std::string_view> names(const std::vector<Line>& lines, Kind kind, size_t first, size_t last)
{
    std::vector<std::string_view> result;
    for (size_t i = first; i < last; ++i) {
        if (lines[i].kind != kind)
            continue;
        const auto seen = [&](std::string_view n) { return equalNoCase(n, lines[i].name); };
        if (std::none_of(result.begin(), result.end(), seen))
            result.push_back(lines[i].name);
    }
    return result;
}

DWORD copyString(LPSTR out, DWORD size, std::string_view s)
{
    const size_t n = std::min<size_t>(s.size(), size - 1);
    std::memmove(out, s.data(), n); // the default may live in the output buffer
    out[n] = '\0';
    return static_cast<DWORD>(n);
}

// NUL-separated list with a final extra NUL. When it does not fit, the last
// string is cut and followed by two NULs, and the result is size - 2.
DWORD copyList(LPSTR out, DWORD size, const std::vector<std::string_view>& list)
{
    if (size < 2) {
        out[0] = '\0';
        return 0;
    }
    size_t pos = 0;
    for (std::string_view s : list) {
        if (pos + s.size() + 2 > size) {
            if (pos < size - 2)
                std::memcpy(out + pos, s.data(), std::min<size_t>(s.size(), size - 2 - pos));
            out[size - 2] = '\0';
            out[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(out + pos, s.data(), s.size());
        pos += s.size();
        out[pos++] = '\0';
    }
    out[pos] = '\0';
    if (pos == 0)
        out[1] = '\0'; // an empty list is two NULs too
    return static_cast<DWORD>(pos);
}

// False when the file exists but cannot be read; a missing file reads as empty.
bool readFile(LPCSTR path, std::string& data)
{
    data.clear();
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT;
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return n == 0;
        }
        data.append(buf, static_cast<size_t>(n));
    }
}

bool hasLineBreak(LPCSTR s) { return s && std::strpbrk(s, "\r\n"); }

// data with bytes [from, to) replaced by text.
std::string splice(std::string_view data, size_t from, size_t to, std::string_view text)
{
    std::string result;
    result.reserve(data.size() + text.size());
    result.append(data.substr(0, from)).append(text).append(data.substr(to));
    return result;
}

std::string keyLine(std::string_view key, std::string_view value)
{
    std::string line;
    line.append(key).append("=").append(value).append("\n");
    return line;
}

} // namespace

DWORD GetPrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size, LPCSTR file)
{
    if (!out || size == 0)
        return 0;
    std::string data;
    if (!file || !readFile(file, data))
        data.clear();
    const auto lines = parse(data);

    if (!section)
        return copyList(out, size, names(lines, Kind::Section, 0, lines.size()));
    if (!key) {
        const auto range = findSection(lines, trim(section));
        return copyList(out, size, range ? names(lines, Kind::Key, range->header + 1, range->end)
                                         : std::vector<std::string_view>{});
    }
    if (const auto value = findValue(lines, section, key))
        return copyString(out, size, *value);

    std::string_view fallback = def ? def : "";
    while (!fallback.empty() && isBlank(fallback.back()))
        fallback.remove_suffix(1);
    return copyString(out, size, fallback);
}

UINT GetPrivateProfileInt(LPCSTR section, LPCSTR key, INT def, LPCSTR file)
{
    std::string data;
    if (!section || !key || !file || !readFile(file, data))
        return static_cast<UINT>(def);
    const auto lines = parse(data);
    const auto value = findValue(lines, section, key);
    if (!value)
        return static_cast<UINT>(def);

    // Leading digits only: "12abc" is 12, "abc" is 0. Negative values come
    // back as their bit pattern, and overflow wraps, as unsigned arithmetic does.
    std::string_view v = *value;
    while (!v.empty() && isBlank(v.front()))
        v.remove_prefix(1);
    const bool negative = !v.empty() && v.front() == '-';
    if (!v.empty() && (v.front() == '-' || v.front() == '+'))
        v.remove_prefix(1);
    UINT result = 0;
    for (char c : v) {
        if (c < '0' || c > '9')
            break;
        result = result * 10u + static_cast<UINT>(c - '0');
    }
    return negative ? 0u - result : result;
}

BOOL WritePrivateProfileString(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    // A line break would split the entry and corrupt the file.
    if (!section || !file || !*file || hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return FALSE;

    // Read, change and replace as one step against the other threads of this program.
    static std::mutex mutex;
    const std::lock_guard lock(mutex);

    std::string data;
    if (!readFile(file, data))
        return FALSE; // never replace a file we could not read
    const auto lines = parse(data);
    const auto sectionEnd = [&](Range r) { return r.end < lines.size() ? lines[r.end].begin : data.size(); };
    const std::string_view sectionName = trim(section);
    const auto range = findSection(lines, sectionName);

    std::string updated;
    if (!key) {
        if (!range)
            return TRUE;
        updated = splice(data, lines[range->header].begin, sectionEnd(*range), {});
    } else {
        const std::string_view keyName = trim(key);
        const auto found = range ? findKey(lines, *range, keyName) : std::nullopt;
        if (found) {
            const Line& line = lines[*found];
            updated = splice(data, line.begin, line.end, value ? keyLine(line.name, value) : std::string());
        } else if (!value) {
            return TRUE;
        } else if (range) {
            // After the section's last key (or its header), before trailing blank lines and comments.
            size_t after = range->header;
            for (size_t i = range->header + 1; i < range->end; ++i)
                if (lines[i].kind == Kind::Key)
                    after = i;
            const Line& line = lines[after];
            updated = splice(data, line.end, line.end, (line.terminated ? "" : "\n") + keyLine(keyName, value));
        } else {
            updated = data;
            if (!updated.empty() && updated.back() != '\n')
                updated += '\n';
            updated.append("[").append(sectionName).append("]\n").append(keyLine(keyName, value));
        }
    }
    return qlwin::ReplaceFileContents(file, updated) ? TRUE : FALSE;
}
