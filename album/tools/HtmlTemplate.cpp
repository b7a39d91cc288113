#include "album/tools/HtmlTemplate.h"

#include "album/tools/WebExportText.h"
#include "platform/win/FileReplace.h"

#include <fstream>
#include <iterator>

namespace shelf {

int HtmlTemplate::Read(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::string text;
    if (in)
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        m_text.clear();
        m_tokens.clear();
        return 0;
    }
    return Parse(std::move(text));
}

int HtmlTemplate::Parse(std::string text)
{
    m_text.clear();
    m_tokens.clear();
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '$' && text[i + 1] == '$')
            text[i] = ' ';
    std::vector<std::pair<std::string, std::string>> tokens;
    for (std::size_t open = text.find('$'); open != std::string::npos;) {
        const std::size_t close = text.find('$', open + 1);
        if (close == std::string::npos)
            break; // an unclosed token at the end is dropped when written
        if (close - open - 1 > kMaxName)
            return 0;
        tokens.emplace_back(text.substr(open + 1, close - open - 1), std::string());
        open = text.find('$', close + 1);
    }
    m_text = std::move(text);
    m_tokens = std::move(tokens);
    return 1;
}

int HtmlTemplate::Find(const char* name) const
{
    for (std::size_t i = 0; i < m_tokens.size(); ++i)
        if (SameNoCase(m_tokens[i].first, name))
            return static_cast<int>(i);
    return -1;
}

int HtmlTemplate::SetValue(const char* name, const std::string& text)
{
    const int index = Find(name);
    if (index < 0)
        return 0;
    m_tokens[static_cast<std::size_t>(index)].second = text;
    return 1;
}

void HtmlTemplate::ClearValues()
{
    for (auto& token : m_tokens)
        token.second.clear();
}

bool HtmlTemplate::Render(std::string& out) const
{
    out.clear();
    out.reserve(m_text.size());
    std::size_t token = 0, at = 0;
    for (std::size_t open = m_text.find('$'); open != std::string::npos;) {
        const std::size_t close = m_text.find('$', open + 1);
        if (close == std::string::npos)
            break;
        if (close - open - 1 > kMaxName)
            return false;
        out.append(m_text, at, open - at);
        if (token < m_tokens.size())
            out += m_tokens[token++].second;
        at = close + 1;
        open = m_text.find('$', at);
    }
    const std::size_t end = m_text.find('$', at);
    out.append(m_text, at, (end == std::string::npos ? m_text.size() : end) - at);
    return true;
}

int HtmlTemplate::Write(const char* path) const
{
    std::string page;
    if (!Render(page))
        return 0;
    return qlwin::ReplaceFileContents(path, page) ? 1 : 0;
}

} // namespace shelf
