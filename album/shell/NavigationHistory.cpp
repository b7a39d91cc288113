#include "album/shell/NavigationHistory.h"

namespace shelf {

// The caller's text is copied before the separator is appended.
void NavigationHistory::Add(const std::string& path)
{
    if (m_index < static_cast<int>(m_entries.size()))
        m_entries.erase(m_entries.begin() + m_index, m_entries.end());
    m_entries.push_back(path + "/");
    ++m_index;
    if (static_cast<int>(m_entries.size()) > kMaxEntries) {
        m_entries.erase(m_entries.begin());
        m_index = kMaxEntries;
    }
}

std::string NavigationHistory::Back()
{
    if (m_index < 1)
        return {};
    --m_index;
    return m_entries[static_cast<std::size_t>(m_index)];
}

std::string NavigationHistory::Forward()
{
    if (m_index >= static_cast<int>(m_entries.size()) - 1)
        return {};
    ++m_index;
    return m_entries[static_cast<std::size_t>(m_index)];
}

void NavigationHistory::Clear()
{
    m_entries.clear();
    m_index = 0;
}

} // namespace shelf
