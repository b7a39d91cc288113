#include "develop/UITextMap.h"

#include <algorithm>
#include <strings.h>

namespace {
const char kEmpty[] = "";
}

void CUITextMap::Add(const char* key, const char* text)
{
    m_pairs.push_back({key ? key : "", text ? text : ""});
}

void CUITextMap::Sort()
{
    std::sort(m_pairs.begin(), m_pairs.end(), [](const StringPair& a, const StringPair& b) {
        return ::strcasecmp(a.key.c_str(), b.key.c_str()) < 0;
    });
}

const char* CUITextMap::GetText(const char* key) const
{
    const char* wanted = key ? key : "";
    long lo = 0, hi = static_cast<long>(m_pairs.size()) - 1;
    while (hi >= lo) {
        const long mid = (lo + hi) / 2;
        const int r = ::strcasecmp(m_pairs[static_cast<size_t>(mid)].key.c_str(), wanted);
        if (r == 0)
            return m_pairs[static_cast<size_t>(mid)].text.c_str();
        if (r < 0)
            lo = mid + 1;
        else
            hi = mid - 1;
    }
    return kEmpty;
}
