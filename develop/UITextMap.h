// The keyed table of English UI texts that the small programs show: every
// caption and message is looked up by a short lowercase key.
#pragma once

#include <string>
#include <vector>

struct StringPair {
    std::string key;
    std::string text;
};

class CUITextMap {
public:
    CUITextMap() = default;
    virtual ~CUITextMap() = default;
    CUITextMap(const CUITextMap&) = delete;
    CUITextMap& operator=(const CUITextMap&) = delete;

    void Add(const char* key, const char* text);
    // Case-insensitive by key; lookups need it done once after filling.
    void Sort();
    // The text of key (ASCII case ignored); never NULL, "" when missing.
    const char* GetText(const char* key) const;
    size_t GetCount() const { return m_pairs.size(); }

private:
    std::vector<StringPair> m_pairs;
};
