// What the common controls share: notifications to the parent, the
// custom-draw and owner-draw round trips for Qt item views. Private to qlafx.
#pragma once

#include "platform/afx/CommCtrl.h"
#include "platform/afx/DC.h"
#include "platform/afx/QtBridge.h"

#include <QImage>
#include <QString>
#include <QStyledItemDelegate>

#include <functional>
#include <string>

class QPainter;
class QWidget;

namespace qlafx {

inline constexpr UINT ODS_COMBOBOXEDIT = 0x1000;

inline DWORD StyleOfWindow(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

// WM_NOTIFY to the parent with hdr's header filled in (window, id, code);
// the parent's answer.
LRESULT SendNotify(HWND control, UINT code, NMHDR* hdr);
inline LRESULT SendNotify(HWND control, UINT code)
{
    NMHDR hdr{};
    return SendNotify(control, code, &hdr);
}
// WM_HSCROLL or WM_VSCROLL to the parent: MAKEWPARAM(code, pos), the control.
void SendScroll(HWND control, bool vertical, UINT code, int pos);

QString FromUtf8(const char* text);
std::string ToUtf8(const QString& text);
// Copies text into a caller's buffer of size bytes (terminated, never ending
// inside a UTF-8 character); the number of bytes copied.
int CopyText(const QString& text, char* buffer, int size);

COLORREF ToColorRef(const QColor& color);
QColor ToQColor(COLORREF color);

// An offscreen DC of size w x h for a parent to draw an item into, filled
// with background; Picture() gives what was drawn.
class ItemCanvas {
public:
    ItemCanvas(int w, int h, COLORREF background);
    ~ItemCanvas();
    ItemCanvas(const ItemCanvas&) = delete;
    ItemCanvas& operator=(const ItemCanvas&) = delete;
    HDC Dc() const { return m_dc; }
    QImage Picture() const;

private:
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
    int m_w, m_h;
};

// A bitmap's pixels as seen (top row first), RGB32; null for a bad handle.
QImage BitmapPixels(HBITMAP bitmap);

// The owner-drawn items of list and combo boxes: WM_DRAWITEM to the parent
// onto an ItemCanvas placed at the item's rectangle, then shown there.
// Item data is in kDataRole, a measured height in kHeightRole.
inline constexpr int kDataRole = Qt::UserRole;
inline constexpr int kHeightRole = Qt::UserRole + 1;

class OwnerDrawDelegate : public QStyledItemDelegate {
public:
    OwnerDrawDelegate(HWND hwnd, UINT ctlType, QObject* parent)
        : QStyledItemDelegate(parent), m_hwnd(hwnd), m_type(ctlType)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    int fixedHeight = 0;  // owner-draw fixed: the measured height

private:
    HWND m_hwnd;
    UINT m_type;
};

// WM_DRAWITEM for item (-1 none) into painter at rect; extra state bits added.
void DrawOwnerItem(HWND hwnd, UINT ctlType, int item, ULONG_PTR data, UINT state, QPainter* painter,
                   const QRect& rect);
// WM_MEASUREITEM for item; the height the parent gave (defaultHeight when it gave none).
int MeasureOwnerItem(HWND hwnd, UINT ctlType, int item, ULONG_PTR data, int width, int defaultHeight);

// Windows' string search of list and combo boxes: from the item after
// startAfter (-1: the first), wrapping round; a prefix, or the whole text
// with exact, compared without regard to case. -1 when none matches.
int FindListString(const std::function<QString(int)>& textAt, int count, int startAfter, const QString& text,
                   bool exact);
// Where a sorted box inserts text (after equal ones, without regard to case).
int SortedInsertPos(const std::function<QString(int)>& textAt, int count, const QString& text);

// The wrappers of owner-drawn list and combo boxes: the parent's reflected
// WM_DRAWITEM / WM_MEASUREITEM go to their DrawItem / MeasureItem.
template <class Box>
bool ReflectOwnerDraw(Box& box, UINT message, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM)
        box.DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    else if (message == WM_MEASUREITEM)
        box.MeasureItem(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
    else
        return false;
    if (pResult)
        *pResult = TRUE;
    return true;
}

// An item's text as a CString: len from the control (negative: no such
// item), then get into a buffer of len + 1 bytes.
template <class Get>
void ItemText(int len, Get get, CString& out)
{
    if (len < 0) {
        out.Empty();
        return;
    }
    std::string buf(static_cast<std::size_t>(len) + 1, '\0');
    get(buf.data());
    out = buf.c_str();
}

// Class registrations, one per file.
void RegisterTrackbarClass();
void RegisterProgressClass();
void RegisterUpDownClass();
void RegisterScrollBarClass();
void RegisterComboBoxClass();
void RegisterListBoxClass();
void RegisterListViewClass();
void RegisterTreeViewClass();
void RegisterTabControlClass();
void RegisterToolTipClass();

}  // namespace qlafx
