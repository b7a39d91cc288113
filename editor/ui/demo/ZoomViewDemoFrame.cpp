#include "editor/ui/demo/ZoomViewDemoFrame.h"

#include "platform/codec/QLImageCodec.h"

#include <cmath>

void DrawDemoPicture(CQLImage* image, int width, int height)
{
    if (image->Create(static_cast<UINT>(width), static_cast<UINT>(height)) != 0)
        return;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double fx = static_cast<double>(x) / width, fy = static_cast<double>(y) / height;
            const double hill = 0.62 + 0.08 * std::sin(fx * 9.0) + 0.04 * std::sin(fx * 23.0 + 1.0);
            const double sun = std::hypot(fx - 0.72, (fy - 0.25) * height / width);
            CPixel p{};
            if (sun < 0.06)
                p = CPixel{90, 220, 255, 255};
            else if (fy < hill)
                p = CPixel{static_cast<BYTE>(235 - 80 * fy), static_cast<BYTE>(190 - 60 * fy),
                           static_cast<BYTE>(120 + 40 * fy), 255};
            else {
                const int grass = ((x * 7 + y * 13) % 17) * 3;
                p = CPixel{static_cast<BYTE>(40 + grass / 2), static_cast<BYTE>(120 + grass),
                           static_cast<BYTE>(50 + grass / 3), 255};
            }
            image->PutPixel(x, y, p);
        }
}

BOOL CZoomViewDemoFrame::CreateDemo(const char* photoPath, const RECT& rect)
{
    m_bAutoMenuEnable = FALSE;  // the demo has no command handlers; show the items as they are
    if (!Create(nullptr, "Quillo zoom view demo", WS_OVERLAPPEDWINDOW, rect))
        return FALSE;
    if (m_menu.LoadMenu(128)) {
        for (UINT toolbar : {128u, 134u, 365u})
            m_menu.LoadToolbarImages(toolbar);
        SetMenu(&m_menu);
    }
    CQLImageCodec codec;
    UINT w = 0, h = 0;
    if (!photoPath || !codec.LoadFile(photoPath, &m_photo) || (m_photo.GetSize(&w, &h), w == 0 || h == 0))
        DrawDemoPicture(&m_photo, 1600, 1000);
    RECT client;
    GetClientRect(&client);
    if (!m_view.Create("Photo", client, this, AFX_IDW_PANE_FIRST))
        return FALSE;
    RecalcLayout();
    m_view.SetImage(&m_photo, TRUE);
    return TRUE;
}
