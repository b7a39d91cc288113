// The user's keyword tags, kept in "TagSet.ql" in the program folder: one
// line, tags separated by one blank, no line end.
#pragma once

#include <string>
#include <vector>

namespace shelf {

class CTagSet {
public:
    static constexpr int kMaxTagLength = 31;

    virtual ~CTagSet() = default;

    int GetCount() const { return static_cast<int>(m_tags.size()); }
    const char* GetAt(int index) const;
    // Appends a valid tag unless an equal one (case-blind) is there.
    void Add(const char* tag);
    int Remove(const char* tag);
    int Find(const char* tag) const;
    void RemoveAll() { m_tags.clear(); }
    int GetTextLength() const;
    // "" and null when size < GetTextLength() + 1.
    char* GetText(char* buffer, int size) const;
    // Appends every blank-separated word; 0 at the first word longer than
    // 31 characters (the words before it stay).
    int Parse(const char* text);
    // The program folder's "TagSet.ql".
    int Load();
    int Save() const;
    int LoadFrom(const std::string& path);
    int SaveTo(const std::string& path) const;
    // Not empty, at most 31 characters, no blank, CR or LF.
    static int IsValidTag(const char* text);

private:
    std::string Joined() const;

    std::vector<std::string> m_tags;
};

} // namespace shelf
