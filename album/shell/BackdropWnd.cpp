#include "album/shell/BackdropWnd.h"

#include "album/shell/KitPixels.h"
#include "editor/ui/SkinDrawing.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/QtBridge.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace shelf {

IMPLEMENT_DYNAMIC(CBackdropWnd, CDialog)

BEGIN_MESSAGE_MAP(CBackdropWnd, CDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CBackdropWnd* CBackdropWnd::s_main = nullptr;

CBackdropWnd::~CBackdropWnd()
{
    if (s_main == this)
        s_main = nullptr;
    if (m_hWnd)
        DestroyWindow();
}

BOOL CBackdropWnd::Create(CWnd* main)
{
    m_main = main;
    if (!CDialog::Create(kTemplate, main))
        return FALSE;
    s_main = this;
    return TRUE;
}

bool CBackdropWnd::Capture(const RECT& area)
{
    QWidget* widget = m_main ? qlafx::WidgetOf(m_main->m_hWnd) : nullptr;
    const int w = area.right - area.left, h = area.bottom - area.top;
    CQLImage capture;
    if (!widget || w <= 0 || h <= 0 || capture.Create(static_cast<UINT>(w), static_cast<UINT>(h)) != 0)
        return false;
    // Other programs' pixels are not ours to read: black around our window.
    QImage target(capture.GetBuffer(0, 0), w, h, w * 4, QImage::Format_ARGB32);
    target.fill(Qt::black);
    const QPoint origin = widget->mapToGlobal(QPoint(0, 0)) - QPoint(area.left, area.top);
    QPainter painter(&target);
    widget->render(&painter, origin, QRegion(), QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();
    BlurBackdrop(capture);
    m_picture = std::move(capture);
    return true;
}

int CBackdropWnd::ShowOverMainWnd()
{
    if (!m_hWnd || IsWindowVisible() || !m_main || !m_main->m_hWnd)
        return 0;
    CRect area;
    m_main->GetWindowRect(&area);
    // The desktop: every screen together.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect all = screen ? screen->virtualGeometry() : QRect();
    const CRect desktop(all.left(), all.top(), all.right() + 1, all.bottom() + 1);
    area.left = std::max(area.left, LONG{0});
    area.top = std::max(area.top, LONG{0});
    area.right = std::min(area.right, desktop.right);
    area.bottom = std::min(area.bottom, desktop.bottom);
    MoveWindow(&area, FALSE);
    Capture(area); // a failure shows the previous picture
    ShowWindow(SW_SHOW);
    return 1;
}

void CBackdropWnd::Hide()
{
    if (m_hWnd)
        ShowWindow(SW_HIDE);
}

BOOL CBackdropWnd::OnEraseBkgnd(CDC*) { return TRUE; }

void CBackdropWnd::OnPaint()
{
    CPaintDC dc(this);
    UINT w = 0, h = 0;
    m_picture.GetSize(&w, &h);
    if (!w || !h)
        return;
    CRect client;
    GetClientRect(&client);
    const RECT box = FitRectToAspect(client, static_cast<int>(w), static_cast<int>(h));
    const int bw = box.right - box.left, bh = box.bottom - box.top;
    dc.SetStretchBltMode(bw < static_cast<int>(w) || w < 800 ? HALFTONE : COLORONCOLOR);
    const BITMAPINFO info = DibHeaderOf(m_picture, static_cast<int>(h));
    ::StretchDIBits(dc.GetSafeHdc(), box.left, box.top, bw, bh, 0, 0, static_cast<int>(w), static_cast<int>(h),
                    m_picture.GetBuffer(0, 0), &info, DIB_RGB_COLORS, SRCCOPY);
}

} // namespace shelf
