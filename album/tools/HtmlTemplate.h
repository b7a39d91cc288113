// A page template of the HTML gallery: text with "$NAME$" tokens that are
// replaced by values when the page is written.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace shelf {

class HtmlTemplate {
public:
    static constexpr std::size_t kMaxName = 31;

    // 1 when the file was read whole and its tokens parsed, else 0 (the
    // template is then empty). "$$" is stored as " $" so the second "$"
    // opens a token.
    int Read(const char* path);
    // The same from text in memory.
    int Parse(std::string text);
    // Sets the first token of that name (letter case ignored); 0 when none.
    int SetValue(const char* name, const std::string& text);
    // Index of the first token of that name, -1 when none.
    int Find(const char* name) const;
    void ClearValues();
    // Through a temporary file and a rename; 1 on success.
    int Write(const char* path) const;
    // The page as Write would store it; false for a name over 31 characters.
    bool Render(std::string& out) const;

    const std::vector<std::pair<std::string, std::string>>& Tokens() const { return m_tokens; }
    const std::string& Text() const { return m_text; }

private:
    std::string m_text;
    std::vector<std::pair<std::string, std::string>> m_tokens;
};

} // namespace shelf
