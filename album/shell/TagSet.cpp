#include "album/shell/TagSet.h"

#include "platform/win/Folders.h"
#include "platform/win/FileReplace.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

namespace shelf {
namespace {

std::string tagSetPath()
{
    char program[MAX_PATH] = {};
    GetModuleFileName(nullptr, program, MAX_PATH);
    char* slash = std::strrchr(program, '/');
    if (slash)
        slash[1] = '\0';
    return std::string(program) + "TagSet.ql";
}

} // namespace

const char* CTagSet::GetAt(int index) const
{
    return index >= 0 && index < GetCount() ? m_tags[index].c_str() : nullptr;
}

void CTagSet::Add(const char* tag)
{
    // A blank or an over-long word would load back as other tags, or end the load.
    if (IsValidTag(tag) && Find(tag) < 0)
        m_tags.emplace_back(tag);
}

int CTagSet::Remove(const char* tag)
{
    const int index = Find(tag);
    if (index < 0)
        return 0;
    m_tags.erase(m_tags.begin() + index);
    return 1;
}

int CTagSet::Find(const char* tag) const
{
    if (!tag)
        return -1;
    for (int i = 0; i < GetCount(); ++i)
        if (strcasecmp(m_tags[i].c_str(), tag) == 0)
            return i;
    return -1;
}

std::string CTagSet::Joined() const
{
    std::string text;
    for (const auto& tag : m_tags) {
        if (!text.empty())
            text += ' ';
        text += tag;
    }
    return text;
}

int CTagSet::GetTextLength() const { return static_cast<int>(Joined().size()); }

char* CTagSet::GetText(char* buffer, int size) const
{
    const std::string text = Joined();
    if (!buffer || size <= 0)
        return nullptr;
    if (size < static_cast<int>(text.size()) + 1) {
        buffer[0] = '\0';
        return nullptr;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return buffer;
}

int CTagSet::Parse(const char* text)
{
    if (!text)
        return 1;
    const char* p = text;
    while (*p) {
        while (*p == ' ')
            ++p;
        const char* start = p;
        while (*p && *p != ' ')
            ++p;
        if (p - start > kMaxTagLength)
            return 0;
        if (p > start)
            m_tags.emplace_back(start, p);
    }
    return 1;
}

int CTagSet::LoadFrom(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "r");
    if (!file)
        return 0;
    std::string line;
    char chunk[4096];
    bool lineEnded = false;
    while (!lineEnded && std::fgets(chunk, sizeof chunk, file)) {
        line += chunk;
        lineEnded = !line.empty() && line.back() == '\n';
    }
    std::fclose(file);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return Parse(line.c_str());
}

int CTagSet::SaveTo(const std::string& path) const
{
    return qlwin::ReplaceFileContents(path, Joined()) ? 1 : 0;
}

int CTagSet::Load() { return LoadFrom(tagSetPath()); }

int CTagSet::Save() const { return SaveTo(tagSetPath()); }

int CTagSet::IsValidTag(const char* text)
{
    if (!text || !*text || std::strlen(text) > kMaxTagLength)
        return 0;
    return std::strpbrk(text, " \r\n") ? 0 : 1;
}

} // namespace shelf
