#include "editor/ui/FontCache.h"

#include "editor/ui/SkinDrawing.h"

#include <cstring>
#include <strings.h>

CFontCache& CFontCache::Instance()
{
    static CFontCache cache;
    return cache;
}

int CFontCache::FindFont(const char* face, int height) const
{
    if (!face)
        return -1;
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].height == height && strncasecmp(m_entries[i].face, face, 31) == 0 &&
            std::strlen(face) <= 31)
            return static_cast<int>(i);
    return -1;
}

int CFontCache::SelectFont(const char* face, int height)
{
    if (!face)
        return 0;
    const int found = FindFont(face, height);
    if (found >= 0) {
        m_current = found;
        return 1;
    }
    Entry entry;
    std::strncpy(entry.face, face, 31);
    // Faces in a double-byte code page take the Chinese character set.
    entry.charset = static_cast<unsigned char>(face[0]) >= 0x80 ? 134 : 0;
    entry.height = height;
    entry.font = std::make_unique<CFont>();
    if (!entry.font->CreateFont(height, 0, 0, 0, 400, FALSE, FALSE, FALSE, static_cast<BYTE>(entry.charset), 3, 2, 4,
                                32, entry.face))
        return 0;
    m_entries.push_back(std::move(entry));
    m_current = static_cast<int>(m_entries.size()) - 1;
    return 1;
}

CFont* CFontCache::Current() const
{
    return m_current >= 0 && m_current < static_cast<int>(m_entries.size()) ? m_entries[m_current].font.get()
                                                                               : nullptr;
}

void CFontCache::PaintText(CDC* dc, int x, int y, COLORREF color, const char* text, BOOL shadow)
{
    if (!dc || !text)
        return;
    CFont* font = Current();
    CFont* old = font ? dc->SelectObject(font) : nullptr;
    dc->SetBkMode(TRANSPARENT);
    if (shadow) {
        dc->SetTextColor(RGB(0, 0, 0));
        dc->TextOut(x + 1, y + 1, text);
    }
    dc->SetTextColor(color);
    dc->TextOut(x, y, text);
    if (font)
        dc->SelectObject(old);
}

SIZE CFontCache::MeasureText(CDC* dc, const char* text)
{
    if (!dc || !text)
        return SIZE{0, 0};
    CFont* font = Current();
    CFont* old = font ? dc->SelectObject(font) : nullptr;
    const SIZE size = dc->GetTextExtent(text);
    if (font)
        dc->SelectObject(old);
    return size;
}

void PaintGradient(CDC* dc, RECT rect, POINT from, POINT to, BOOL linear, COLORREF from_, COLORREF to_)
{
    FillGradientRect(dc, rect, from, to, linear, from_, to_, nullptr, 0);
}
