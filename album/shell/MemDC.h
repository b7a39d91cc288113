// A memory DC over a rectangle of a target DC: drawing goes into a bitmap of
// the rectangle's size (window origin at its corner) that the destructor
// copies to the target in one go; on a printer it draws directly.
#pragma once

#include "platform/afx/DC.h"
#include "platform/afx/GdiObjects.h"

namespace shelf {

class CMemDC : public CDC {
public:
    CMemDC(CDC* target, const RECT& rect);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

private:
    CDC* m_target;
    RECT m_rect;
    bool m_memory = false;
    CBitmap m_bitmap;
    CBitmap* m_oldBitmap = nullptr;
};

} // namespace shelf
