// One shared cache of fonts by face and height, for the small self-drawn
// controls; the current entry is what PaintText and MeasureText use.
#pragma once

#include "platform/afx/DC.h"
#include "platform/afx/GdiObjects.h"

#include <memory>
#include <vector>

class CFontCache {
public:
    struct Entry {
        char face[32] = {};
        int height = 0;
        int charset = 0;
        std::unique_ptr<CFont> font;
    };

    static CFontCache& Instance();

    // Makes the font of face (any case) and height current, creating it on
    // first use; 0 when it cannot be made.
    int SelectFont(const char* face, int height);
    int FindFont(const char* face, int height) const;
    // Transparent text in the current font; with shadow first in black one
    // pixel right and down.
    void PaintText(CDC* dc, int x, int y, COLORREF color, const char* text, BOOL shadow);
    SIZE MeasureText(CDC* dc, const char* text);
    CFont* Current() const;

    std::vector<Entry> m_entries;
    int m_current = -1;
};

// PaintGradient: FillGradientRect with two points, a mode and two colours.
void PaintGradient(CDC* dc, RECT rect, POINT from, POINT to, BOOL linear, COLORREF from_, COLORREF to_);
