#include "album/shell/MemDC.h"

#include "platform/afx/Print.h"

namespace shelf {

CMemDC::CMemDC(CDC* target, const RECT& rect) : m_target(target), m_rect(rect)
{
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (target->GetDeviceCaps(TECHNOLOGY) != DT_RASPRINTER && CreateCompatibleDC(target) &&
        m_bitmap.CreateCompatibleBitmap(target, w, h)) {
        m_memory = true;
        m_oldBitmap = SelectObject(&m_bitmap);
        SetWindowOrg(rect.left, rect.top);
        return;
    }
    if (m_hDC)
        DeleteDC();
    Attach(target->GetSafeHdc());
}

CMemDC::~CMemDC()
{
    if (!m_memory) {
        Detach();
        return;
    }
    m_target->BitBlt(m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, this,
                     m_rect.left, m_rect.top, SRCCOPY);
    SelectObject(m_oldBitmap);
}

} // namespace shelf
