// Registration of the common control classes and what they share.
#include "platform/afx/CommCtrlSupport.h"

#include <QColor>
#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

namespace qlafx {

LRESULT SendNotify(HWND control, UINT code, NMHDR* hdr)
{
    HWND parent = GetParent(control);
    if (!parent || !hdr)
        return 0;
    hdr->hwndFrom = control;
    hdr->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    hdr->code = code;
    return SendMessage(parent, WM_NOTIFY, hdr->idFrom, reinterpret_cast<LPARAM>(hdr));
}

void SendScroll(HWND control, bool vertical, UINT code, int pos)
{
    HWND parent = GetParent(control);
    if (!parent)
        return;
    SendMessage(parent, vertical ? WM_VSCROLL : WM_HSCROLL,
                MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(static_cast<SHORT>(pos))),
                reinterpret_cast<LPARAM>(control));
}

QString FromUtf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

std::string ToUtf8(const QString& text) { return text.toStdString(); }

int CopyText(const QString& text, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return 0;
    return static_cast<int>(CopyWindowText(ToUtf8(text), static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
}

COLORREF ToColorRef(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

QColor ToQColor(COLORREF color) { return QColor(GetRValue(color), GetGValue(color), GetBValue(color)); }

QImage BitmapPixels(HBITMAP bitmap)
{
    BITMAP bm{};
    if (!bitmap || GetObject(bitmap, sizeof bm, &bm) == 0 || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const std::size_t rowBytes = static_cast<std::size_t>(bm.bmWidth) * 4;
    std::vector<BYTE> rows(rowBytes * static_cast<std::size_t>(bm.bmHeight));
    HDC dc = CreateCompatibleDC(nullptr);
    const int got = GetDIBits(dc, bitmap, 0, static_cast<UINT>(bm.bmHeight), rows.data(), &info, DIB_RGB_COLORS);
    DeleteDC(dc);
    if (got <= 0)
        return {};
    QImage img(bm.bmWidth, bm.bmHeight, QImage::Format_RGB32);
    for (int y = 0; y < bm.bmHeight; ++y)
        std::memcpy(img.scanLine(y), rows.data() + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    return img;
}

ItemCanvas::ItemCanvas(int w, int h, COLORREF background) : m_w(std::max(w, 1)), m_h(std::max(h, 1))
{
    m_dc = CreateCompatibleDC(nullptr);
    m_bitmap = CreateBitmap(m_w, m_h, 1, 32, nullptr);
    m_old = SelectObject(m_dc, m_bitmap);
    HBRUSH brush = CreateSolidBrush(background);
    RECT rc{0, 0, m_w, m_h};
    FillRect(m_dc, &rc, brush);
    DeleteObject(brush);
}

ItemCanvas::~ItemCanvas()
{
    SelectObject(m_dc, m_old);
    DeleteDC(m_dc);
    DeleteObject(m_bitmap);
}

QImage ItemCanvas::Picture() const
{
    // Deselected first: a bitmap is read only while no DC holds it.
    SelectObject(m_dc, m_old);
    QImage img = BitmapPixels(m_bitmap);
    SelectObject(m_dc, m_bitmap);
    return img;
}

void DrawOwnerItem(HWND hwnd, UINT ctlType, int item, ULONG_PTR data, UINT state, QPainter* painter,
                   const QRect& rect)
{
    HWND parent = GetParent(hwnd);
    if (!parent || rect.isEmpty())
        return;
    ItemCanvas canvas(rect.width(), rect.height(), GetSysColor(COLOR_WINDOW));
    // The parent draws at the item's own coordinates, as on Windows.
    SetViewportOrgEx(canvas.Dc(), -rect.left(), -rect.top(), nullptr);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ctlType;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    dis.itemID = static_cast<UINT>(item);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = state | (IsWindowEnabled(hwnd) ? 0 : ODS_DISABLED);
    dis.hwndItem = hwnd;
    dis.hDC = canvas.Dc();
    dis.rcItem = RECT{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    dis.itemData = data;
    SendMessage(parent, WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
    painter->drawImage(rect.topLeft(), canvas.Picture());
}

int MeasureOwnerItem(HWND hwnd, UINT ctlType, int item, ULONG_PTR data, int width, int defaultHeight)
{
    HWND parent = GetParent(hwnd);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ctlType;
    mis.CtlID = static_cast<UINT>(GetDlgCtrlID(hwnd));
    mis.itemID = static_cast<UINT>(item);
    mis.itemWidth = static_cast<UINT>(std::max(width, 0));
    mis.itemHeight = static_cast<UINT>(defaultHeight);
    mis.itemData = data;
    if (parent)
        SendMessage(parent, WM_MEASUREITEM, mis.CtlID, reinterpret_cast<LPARAM>(&mis));
    return mis.itemHeight > 0 ? static_cast<int>(std::min<UINT>(mis.itemHeight, 255)) : defaultHeight;
}

void OwnerDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    UINT state = 0;
    if (option.state & QStyle::State_Selected)
        state |= ODS_SELECTED;
    if (option.state & QStyle::State_HasFocus)
        state |= ODS_FOCUS;
    const ULONG_PTR data = static_cast<ULONG_PTR>(index.data(kDataRole).toULongLong());
    DrawOwnerItem(m_hwnd, m_type, index.row(), data, state, painter, option.rect);
}

QSize OwnerDrawDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QVariant h = index.data(kHeightRole);
    const int height = h.isValid() ? h.toInt() : (fixedHeight > 0 ? fixedHeight : option.fontMetrics.height() + 2);
    return QSize(std::max(option.rect.width(), 1), height);
}

int FindListString(const std::function<QString(int)>& textAt, int count, int startAfter, const QString& text,
                   bool exact)
{
    if (count <= 0)
        return -1;
    const int first = (startAfter < 0 || startAfter >= count) ? 0 : startAfter + 1;
    for (int n = 0; n < count; ++n) {
        const int i = (first + n) % count;
        const QString t = textAt(i);
        const bool hit = exact ? t.compare(text, Qt::CaseInsensitive) == 0
                               : t.startsWith(text, Qt::CaseInsensitive);
        if (hit)
            return i;
    }
    return -1;
}

int SortedInsertPos(const std::function<QString(int)>& textAt, int count, const QString& text)
{
    int i = 0;
    while (i < count && textAt(i).compare(text, Qt::CaseInsensitive) <= 0)
        ++i;
    return i;
}

void RegisterCommonControlClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterTrackbarClass();
        RegisterProgressClass();
        RegisterUpDownClass();
        RegisterScrollBarClass();
        RegisterComboBoxClass();
        RegisterListBoxClass();
        RegisterListViewClass();
        RegisterTreeViewClass();
        RegisterTabControlClass();
        RegisterToolTipClass();
    });
}

}  // namespace qlafx

void InitCommonControls() { qlafx::RegisterCommonControlClasses(); }

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* icc)
{
    if (!icc || icc->dwSize != sizeof(INITCOMMONCONTROLSEX))
        return FALSE;
    qlafx::RegisterCommonControlClasses();
    return TRUE;
}
