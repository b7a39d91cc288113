// What the album's thumbnail list computes without a window: its layout,
// item rectangles, hit test, scroll limits, selection, keys, type-to-find,
// sort, captions and the part of the background that erasing keeps.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/WinUser.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace shelf {

struct ThumbListItem {
    CQLImage* image = nullptr; // the owner's; no pixels: drawn as an icon
    char text[128] = {};
    DWORD_PTR data = 0;
    int selected = 0;
};

using ThumbItems = std::vector<ThumbListItem>;

inline constexpr int kThumbModeCells = 0, kThumbModeDetails = 1;

struct ThumbListGeometry {
    static constexpr int kCellWidth = 120, kCellHeight = 150, kRowHeight = 22;
    static constexpr int kScrollBarWidth = 20;
    RECT area{};        // client less 1, 1, 21, 1
    int cellWidth = kCellWidth;
    int cellHeight = kCellHeight;
    int columns = 1;
    int scroll = 0;
    int content = 0;    // from the last scroll-bar update
    int AreaHeight() const { return area.bottom - area.top; }
};

// RecalcLayout: the area of a client rectangle and the cells of the mode.
void LayoutList(ThumbListGeometry& g, int clientWidth, int clientHeight, int mode, bool reset);
// One row more than the full rows.
int ListContentHeight(const ThumbListGeometry& g, int count);
int ListMaxScroll(const ThumbListGeometry& g);
int ListClampScroll(const ThumbListGeometry& g, int offset);
RECT ListItemRect(const ThumbListGeometry& g, int index, int count);
int ListHitTest(const ThumbListGeometry& g, int x, int y, int count);
int ListLineStep(int mode);
// The offset after a WM_VSCROLL code, clamped.
int ListScrollFor(const ThumbListGeometry& g, int mode, UINT code, int pos);
// The offset after one wheel message; unchanged on short content.
int ListWheelScroll(const ThumbListGeometry& g, int mode, int delta);
// The offset that shows the item (the current one when it is in view).
int ListEnsureVisible(const ThumbListGeometry& g, int index, int count);
bool IsRectEmpty(const RECT& r);

// SelectItem on the records: the items whose state may have changed, or
// all = true when the whole window is to be redrawn.
struct SelectionChange {
    bool all = false;
    std::vector<int> items;
};
SelectionChange ApplySelection(ThumbItems& items, UINT flags, int index, bool multi);
int FirstSelected(const ThumbItems& items);
int LastSelected(const ThumbItems& items);

// The key flags (high word of lParam) of a navigation key: extended, or a
// keypad scan code without any higher bit.
bool IsNavigationKey(UINT keyFlags);

struct KeyAction {
    enum Kind { None, SelectFirst, Select, PageUp, PageDown, Delete, Find } kind = None;
    int index = -1;
    UINT flags = 0; // MK_SHIFT for the moves made with Shift held
    UINT code = 0;  // Find: the key code masked to 7 bits
};
KeyAction KeyDownAction(const ThumbItems& items, int columns, UINT vk, UINT keyFlags, bool shift);
// Type-to-find from the first selected item: the next item that starts with
// the key past the run of matching items; -1 when none or all match.
int FindNextByChar(const ThumbItems& items, UINT code);

void CopyCaption(char (&out)[128], const char* text);
// Icon items first, then the texts ignoring case.
bool ThumbItemLess(const ThumbListItem& a, const ThumbListItem& b);
// Rearranges the records whole by the order.
void SortThumbItems(ThumbItems& items, const std::function<bool(const ThumbListItem&, const ThumbListItem&)>& less);

// The cells of the complete visible rows inside the client part c, which
// erasing leaves alone; empty when no item is visible.
RECT ListEraseBlock(const ThumbListGeometry& g, int count, const RECT& c);

// Bytes of the character that starts at text (a UTF-8 sequence is one).
int CharBytes(const char* text);
// The caption's lines: one when it fits in fitWidth, else wrapped so that a
// line ends with the character that took it past wrapWidth.
std::vector<std::string> WrapCaption(const char* text, const std::function<int(const std::string&)>& width,
                                     int fitWidth, int wrapWidth);

// The name without folder and extension; past 27 bytes its first 24 (a
// character that starts in them kept whole) and "...".
std::string MakeShortName(const char* text);
// The extension upper-cased without its dot, or empty.
std::string ExtensionText(const char* text);

} // namespace shelf
