// The folder pane's short history of visited folders for Back and Forward.
// Entries are folder paths with one more '/' than the folder path, the form
// in which the main frame's LocatePhoto selects that folder itself.
#pragma once

#include <string>
#include <vector>

namespace shelf {

class NavigationHistory {
public:
    static constexpr int kMaxEntries = 10;

    // Drops every entry from the current index on, then appends path + '/';
    // only the last ten remain.
    void Add(const std::string& path);
    // "" when there is nothing to go to.
    std::string Back();
    std::string Forward();
    bool CanGoBack() const { return m_index > 0; }
    bool CanGoForward() const { return m_index < static_cast<int>(m_entries.size()) - 1; }
    void Clear();

    const std::vector<std::string>& Entries() const { return m_entries; }
    int Index() const { return m_index; }

private:
    std::vector<std::string> m_entries;
    int m_index = 0;
};

} // namespace shelf
