#include "album/shell/ThumbListModel.h"

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace shelf {

namespace {

const char* BaseName(const char* text)
{
    const char* slash = std::strrchr(text, '/');
    return slash ? slash + 1 : text;
}

} // namespace


void LayoutList(ThumbListGeometry& g, int clientWidth, int clientHeight, int mode, bool reset)
{
    g.area = RECT{1, 1, clientWidth - 21, clientHeight - 1};
    const int width = std::max(0, static_cast<int>(g.area.right - g.area.left));
    if (mode == kThumbModeDetails) {
        g.cellWidth = std::max(1, width);
        g.cellHeight = ThumbListGeometry::kRowHeight;
        g.columns = 1;
    } else {
        g.cellWidth = ThumbListGeometry::kCellWidth;
        g.cellHeight = ThumbListGeometry::kCellHeight;
        g.columns = std::max(1, width / g.cellWidth);
    }
    if (reset)
        g.scroll = 0;
}

int ListContentHeight(const ThumbListGeometry& g, int count) { return (count / g.columns + 1) * g.cellHeight; }

int ListMaxScroll(const ThumbListGeometry& g) { return std::max(0, g.content - g.AreaHeight()); }

int ListClampScroll(const ThumbListGeometry& g, int offset) { return std::clamp(offset, 0, ListMaxScroll(g)); }

bool IsRectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT ListItemRect(const ThumbListGeometry& g, int index, int count)
{
    if (index < 0 || index >= count)
        return RECT{};
    const int top = index / g.columns * g.cellHeight - g.scroll;
    if (top + g.cellHeight < 0 || top > g.AreaHeight())
        return RECT{};
    const int left = index % g.columns * g.cellWidth;
    return RECT{left, top, left + g.cellWidth - 1, top + g.cellHeight - 1};
}

int ListHitTest(const ThumbListGeometry& g, int x, int y, int count)
{
    if (x < 0 || y + g.scroll < 0)
        return -1;
    const int column = x / g.cellWidth;
    if (column >= g.columns)
        return -1;
    const int index = column + g.columns * ((y + g.scroll) / g.cellHeight);
    return index < count ? index : -1;
}

int ListLineStep(int mode) { return mode == kThumbModeDetails ? 80 : 50; }

int ListScrollFor(const ThumbListGeometry& g, int mode, UINT code, int pos)
{
    int offset = g.scroll;
    switch (code) {
    case SB_LINEUP: offset -= ListLineStep(mode); break;
    case SB_LINEDOWN: offset += ListLineStep(mode); break;
    case SB_PAGEUP: offset -= g.AreaHeight(); break;
    case SB_PAGEDOWN: offset += g.AreaHeight(); break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: offset = pos; break;
    default: break;
    }
    return ListClampScroll(g, offset);
}

int ListWheelScroll(const ThumbListGeometry& g, int mode, int delta)
{
    if (g.content < g.AreaHeight())
        return g.scroll;
    return ListClampScroll(g, g.scroll + (delta > 0 ? -ListLineStep(mode) : ListLineStep(mode)));
}

int ListEnsureVisible(const ThumbListGeometry& g, int index, int count)
{
    if (index < 0)
        return g.scroll;
    const RECT r = ListItemRect(g, index, count);
    if (!IsRectEmpty(r) && r.top >= 0 && r.bottom <= g.AreaHeight())
        return g.scroll;
    return ListClampScroll(g, index / g.columns * g.cellHeight);
}

int FirstSelected(const ThumbItems& items)
{
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].selected)
            return static_cast<int>(i);
    return -1;
}

int LastSelected(const ThumbItems& items)
{
    for (std::size_t i = items.size(); i-- > 0;)
        if (items[i].selected)
            return static_cast<int>(i);
    return -1;
}

SelectionChange ApplySelection(ThumbItems& items, UINT flags, int index, bool multi)
{
    SelectionChange change;
    const int count = static_cast<int>(items.size());
    if (index == -1) {
        for (int i = 0; i < count; ++i)
            if (items[i].selected) {
                items[i].selected = 0;
                change.items.push_back(i);
            }
        return change;
    }
    if (multi && index == -2) {
        for (auto& item : items)
            item.selected = 1;
        change.all = true;
        return change;
    }
    if (multi && (flags & MK_CONTROL)) {
        if (index >= 0 && index < count) {
            items[index].selected = !items[index].selected;
            change.items.push_back(index);
        }
        return change;
    }
    if (multi && (flags & MK_SHIFT)) {
        if (index >= 0 && index < count) {
            const int anchor = std::max(0, FirstSelected(items));
            for (int i = std::min(anchor, index); i <= std::max(anchor, index); ++i)
                items[i].selected = 1;
        }
        change.all = true;
        return change;
    }
    for (int i = 0; i < count; ++i) {
        const int want = i == index ? 1 : 0;
        if (items[i].selected != want || i == index) {
            items[i].selected = want;
            change.items.push_back(i);
        }
    }
    return change;
}

bool IsNavigationKey(UINT keyFlags) { return (keyFlags & 0x100) != 0 || (keyFlags > 70 && keyFlags < 82); }

KeyAction KeyDownAction(const ThumbItems& items, int columns, UINT vk, UINT keyFlags, bool shift)
{
    KeyAction action;
    const int count = static_cast<int>(items.size());
    const int first = FirstSelected(items);
    if (first < 0) {
        if (count > 0) {
            action.kind = KeyAction::SelectFirst;
            action.index = 0;
        }
        return action;
    }
    if (!IsNavigationKey(keyFlags)) {
        action.kind = KeyAction::Find;
        action.code = vk & 0x7F;
        return action;
    }
    const int last = LastSelected(items);
    const UINT moveFlags = shift ? MK_SHIFT : 0;
    auto select = [&](int index, UINT flags) {
        action.kind = KeyAction::Select;
        action.index = index;
        action.flags = flags;
    };
    switch (static_cast<int>(vk)) {
    case VK_PRIOR: action.kind = KeyAction::PageUp; break;
    case VK_NEXT: action.kind = KeyAction::PageDown; break;
    case VK_END: select(count - 1, 0); break;
    case VK_HOME: select(0, 0); break;
    case VK_LEFT:
        if (first > 0)
            select(first - 1, moveFlags);
        break;
    case VK_UP:
        if (first >= columns)
            select(first - columns, moveFlags);
        break;
    case VK_RIGHT:
        if (last < count - 1)
            select(last + 1, moveFlags);
        break;
    case VK_DOWN:
        if (last < count - columns)
            select(last + columns, moveFlags);
        break;
    case VK_DELETE: action.kind = KeyAction::Delete; break;
    default: break;
    }
    return action;
}

namespace {

bool MatchesKey(const ThumbListItem& item, UINT code)
{
    const auto first = static_cast<unsigned char>(item.text[0]);
    return first == code || (first >= 'a' && first <= 'z' && first == code + 32);
}

} // namespace

int FindNextByChar(const ThumbItems& items, UINT code)
{
    const int count = static_cast<int>(items.size());
    const int start = FirstSelected(items);
    if (start < 0)
        return -1;
    int i = start;
    int skipped = 0;
    while (skipped < count && MatchesKey(items[i], code)) {
        i = (i + 1) % count;
        ++skipped;
    }
    if (skipped == count)
        return -1;
    for (int n = 0; n < count; ++n, i = (i + 1) % count)
        if (MatchesKey(items[i], code))
            return i;
    return -1;
}

void CopyCaption(char (&out)[128], const char* text)
{
    std::memset(out, 0, sizeof out);
    if (text)
        std::strncpy(out, text, sizeof out - 1);
}

bool ThumbItemLess(const ThumbListItem& a, const ThumbListItem& b)
{
    const bool iconA = !a.image || !a.image->GetAreaByteSize();
    const bool iconB = !b.image || !b.image->GetAreaByteSize();
    if (iconA != iconB)
        return iconA;
    return strcasecmp(a.text, b.text) < 0;
}

void SortThumbItems(ThumbItems& items, const std::function<bool(const ThumbListItem&, const ThumbListItem&)>& less)
{
    std::stable_sort(items.begin(), items.end(), less);
}

RECT ListEraseBlock(const ThumbListGeometry& g, int count, const RECT& c)
{
    auto inside = [&](LONG x, LONG y) { return x >= c.left && x < c.right && y >= c.top && y < c.bottom; };
    RECT block{};
    bool started = false;
    for (int i = 0; i < count; ++i) {
        const RECT r = ListItemRect(g, i, count);
        if (IsRectEmpty(r) || !(inside(r.left, r.top) || inside(r.right, r.bottom)))
            continue;
        if (!started) {
            block = r;
            started = true;
        } else if ((i + 1) % g.columns == 0) {
            block.left = std::min(block.left, r.left);
            block.top = std::min(block.top, r.top);
            block.right = std::max(block.right, r.right);
            block.bottom = std::max(block.bottom, r.bottom);
        }
    }
    if (started)
        block.bottom = std::min(block.bottom, c.bottom);
    return block;
}

int CharBytes(const char* text)
{
    const auto lead = static_cast<unsigned char>(*text);
    const int n = lead < 0xC0 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    for (int i = 1; i < n; ++i)
        if (text[i] == '\0')
            return i;
    return n;
}

std::vector<std::string> WrapCaption(const char* text, const std::function<int(const std::string&)>& width,
                                     int fitWidth, int wrapWidth)
{
    std::vector<std::string> lines;
    const std::string whole = text;
    if (width(whole) <= fitWidth) {
        lines.push_back(whole);
        return lines;
    }
    std::string line;
    for (const char* p = text; *p;) {
        const int n = CharBytes(p);
        line.append(p, static_cast<std::size_t>(n));
        p += n;
        if (width(line) > wrapWidth) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

std::string MakeShortName(const char* text)
{
    std::string name = BaseName(text);
    if (const auto dot = name.rfind('.'); dot != std::string::npos)
        name.resize(dot);
    if (name.size() <= 27)
        return name;
    std::size_t cut = 0;
    while (cut < 24)
        cut += static_cast<std::size_t>(CharBytes(name.c_str() + cut));
    return name.substr(0, cut) + "...";
}

std::string ExtensionText(const char* text)
{
    const char* dot = std::strrchr(BaseName(text), '.');
    std::string ext = dot ? dot + 1 : "";
    for (char& c : ext)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    return ext;
}

} // namespace shelf
