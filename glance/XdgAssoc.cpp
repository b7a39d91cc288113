#include "glance/XdgAssoc.h"

#include "platform/win/FileReplace.h"
#include "platform/win/Profile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <strings.h>

namespace glance {

namespace {

constexpr const char* kDefaults = "Default Applications";
constexpr const char* kAdded = "Added Associations";
constexpr const char* kOldFileOpen = "OldFileOpen";

std::string Trim(std::string_view s)
{
    const size_t b = s.find_first_not_of(" \t\r");
    if (b == std::string_view::npos)
        return {};
    const size_t e = s.find_last_not_of(" \t\r");
    return std::string(s.substr(b, e - b + 1));
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string MimeAppsPath() { return XdgConfigHome() + "/mimeapps.list"; }

// Desktop entry Exec argument: quoted, with the escapes both levels need.
std::string ExecArgument(const std::string& path)
{
    std::string quoted = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += "\\\\";  // the quoting backslash, itself escaped for the value
        if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

std::vector<std::string> SplitList(const std::string& value)
{
    std::vector<std::string> items;
    std::string item;
    std::istringstream in(value);
    while (std::getline(in, item, ';'))
        if (!item.empty())
            items.push_back(item);
    return items;
}

std::string JoinList(const std::vector<std::string>& items)
{
    std::string value;
    for (const std::string& item : items)
        value += item + ';';
    return value;
}

std::string ProfileText(const char* section, const char* key, const char* def, const std::string& file)
{
    std::string buffer(4096, '\0');
    const DWORD n = GetPrivateProfileString(section, key, def, buffer.data(), static_cast<DWORD>(buffer.size()),
                                            file.c_str());
    buffer.resize(n);
    return buffer;
}

std::vector<std::string> DataDirs()
{
    std::vector<std::string> dirs{XdgDataHome()};
    const char* env = std::getenv("XDG_DATA_DIRS");
    std::string list = env && *env ? env : "/usr/local/share:/usr/share";
    std::istringstream in(list);
    std::string dir;
    while (std::getline(in, dir, ':'))
        if (!dir.empty())
            dirs.push_back(dir);
    return dirs;
}

} // namespace

std::string XdgConfigHome()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config";
}

std::string XdgDataHome()
{
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/')
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.local/share";
}

std::string MimeTypeInGlobs(std::string_view globs2, const std::string& ext)
{
    const std::string wanted = "*." + ext;
    std::string best;
    long bestWeight = -1;
    size_t pos = 0;
    while (pos < globs2.size()) {
        size_t end = globs2.find('\n', pos);
        if (end == std::string_view::npos)
            end = globs2.size();
        const std::string_view line = globs2.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        const size_t c1 = line.find(':');
        const size_t c2 = c1 == std::string_view::npos ? c1 : line.find(':', c1 + 1);
        if (c2 == std::string_view::npos)
            continue;
        std::string glob(line.substr(c2 + 1));
        if (const size_t c3 = glob.find(':'); c3 != std::string::npos)
            glob.resize(c3);
        if (::strcasecmp(Trim(glob).c_str(), wanted.c_str()) != 0)
            continue;
        const long weight = std::strtol(std::string(line.substr(0, c1)).c_str(), nullptr, 10);
        if (weight > bestWeight) {
            bestWeight = weight;
            best = Trim(line.substr(c1 + 1, c2 - c1 - 1));
        }
    }
    return best;
}

std::string MimeTypeOfExtension(const std::string& ext)
{
    for (const std::string& dir : DataDirs()) {
        const std::string type = MimeTypeInGlobs(ReadFile(dir + "/mime/globs2"), ext);
        if (!type.empty())
            return type;
    }
    return {};
}

void MimeAppsList::Parse(std::string_view text)
{
    m_head.clear();
    m_groups.clear();
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(pos, end - pos));
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string trimmed = Trim(line);
        if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']')
            m_groups.push_back({trimmed.substr(1, trimmed.size() - 2), {}});
        else if (m_groups.empty())
            m_head.push_back(line);
        else
            m_groups.back().lines.push_back(line);
    }
}

std::string MimeAppsList::Text() const
{
    std::string text;
    for (const std::string& line : m_head)
        text += line + '\n';
    for (const Group& g : m_groups) {
        text += '[' + g.name + "]\n";
        for (const std::string& line : g.lines)
            text += line + '\n';
    }
    return text;
}

MimeAppsList::Group* MimeAppsList::Find(const std::string& name)
{
    for (Group& g : m_groups)
        if (g.name == name)
            return &g;
    return nullptr;
}

namespace {
// "key=value" with blanks round the '=' allowed.
bool KeyOf(const std::string& line, const std::string& key, std::string* value)
{
    const size_t eq = line.find('=');
    if (eq == std::string::npos || Trim(std::string_view(line).substr(0, eq)) != key)
        return false;
    if (value)
        *value = Trim(std::string_view(line).substr(eq + 1));
    return true;
}
} // namespace

std::string MimeAppsList::Get(const std::string& group, const std::string& key) const
{
    for (const Group& g : m_groups)
        if (g.name == group)
            for (const std::string& line : g.lines)
                if (std::string value; KeyOf(line, key, &value))
                    return value;
    return {};
}

void MimeAppsList::Set(const std::string& group, const std::string& key, const std::string& value)
{
    Group* g = Find(group);
    if (!g) {
        m_groups.push_back({group, {}});
        g = &m_groups.back();
    }
    for (std::string& line : g->lines)
        if (KeyOf(line, key, nullptr)) {
            line = key + '=' + value;
            return;
        }
    // Before trailing blank lines, so groups stay apart.
    auto at = g->lines.end();
    while (at != g->lines.begin() && Trim(*(at - 1)).empty())
        --at;
    g->lines.insert(at, key + '=' + value);
}

void MimeAppsList::Remove(const std::string& group, const std::string& key)
{
    if (Group* g = Find(group))
        std::erase_if(g->lines, [&](const std::string& line) { return KeyOf(line, key, nullptr); });
}

std::string DesktopEntryText(const AssocSetup& setup)
{
    std::string types;
    std::vector<std::string> seen;
    for (const char* ext : kExtensions) {
        const std::string type = MimeTypeOfExtension(ext + 1);
        if (!type.empty() && std::find(seen.begin(), seen.end(), type) == seen.end()) {
            seen.push_back(type);
            types += type + ';';
        }
    }
    std::string text = "[Desktop Entry]\nType=Application\nName=" + setup.name + "\nExec="
                       + ExecArgument(setup.programPath) + " %f\nIcon=" + setup.iconPath
                       + "\nTerminal=false\nNoDisplay=true\nCategories=Graphics;Viewer;\n";
    if (!types.empty())
        text += "MimeType=" + types + '\n';
    text += "Actions=edit;\n\n[Desktop Action edit]\nName=" + setup.editCaption + "\nExec="
            + ExecArgument(setup.editorPath) + " %f\n";
    return text;
}

bool RegisterAssociations(const AssocSetup& setup)
{
    const std::string apps = XdgDataHome() + "/applications";
    std::error_code ec;
    std::filesystem::create_directories(apps, ec);
    if (!qlwin::ReplaceFileContents(apps + '/' + kDesktopEntry, DesktopEntryText(setup), 0644))
        return false;
    MimeAppsList list;
    list.Parse(ReadFile(MimeAppsPath()));
    for (const char* ext : kExtensions) {
        const std::string type = MimeTypeOfExtension(ext + 1);
        if (type.empty())
            continue;
        const std::string old = list.Get(kDefaults, type);
        if (old != kDesktopEntry)
            WritePrivateProfileString(kOldFileOpen, ext + 1, old.c_str(), setup.profilePath.c_str());
        std::vector<std::string> added = SplitList(list.Get(kAdded, type));
        if (std::find(added.begin(), added.end(), kDesktopEntry) == added.end())
            added.insert(added.begin(), kDesktopEntry);
        list.Set(kAdded, type, JoinList(added));
        list.Set(kDefaults, type, kDesktopEntry);
    }
    std::filesystem::create_directories(XdgConfigHome(), ec);
    return qlwin::ReplaceFileContents(MimeAppsPath(), list.Text(), 0644);
}

void RestoreAssociations(const AssocSetup& setup)
{
    MimeAppsList list;
    list.Parse(ReadFile(MimeAppsPath()));
    bool changed = false;
    for (const char* ext : kExtensions) {
        const std::string type = MimeTypeOfExtension(ext + 1);
        if (type.empty() || list.Get(kDefaults, type) != kDesktopEntry)
            continue;
        const std::string old = ProfileText(kOldFileOpen, ext + 1, "", setup.profilePath);
        if (old.empty())
            list.Remove(kDefaults, type);
        else
            list.Set(kDefaults, type, old);
        std::vector<std::string> added = SplitList(list.Get(kAdded, type));
        std::erase(added, std::string(kDesktopEntry));
        if (added.empty())
            list.Remove(kAdded, type);
        else
            list.Set(kAdded, type, JoinList(added));
        changed = true;
    }
    if (changed)
        qlwin::ReplaceFileContents(MimeAppsPath(), list.Text(), 0644);
}

} // namespace glance
