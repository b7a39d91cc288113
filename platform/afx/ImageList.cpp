// Image lists: equal-sized pictures kept as ARGB images whose transparent
// pixels have alpha 0. Drawing goes through the DC with the mask and image
// blits of Windows (SRCAND, then SRCPAINT), so it works on any DC.
#include "platform/afx/CommCtrlSupport.h"
#include "platform/afx/DC.h"
#include "platform/afx/Resources.h"
#include "platform/afx/WinApp.h"

#include <QImage>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>
#include <vector>

struct QlImageList {
    int cx = 0;
    int cy = 0;
    UINT flags = 0;
    COLORREF bk = CLR_NONE;
    std::vector<QImage> images;  // ARGB32, cx x cy
    CImageList* attached = nullptr;
    std::unique_ptr<CImageList> temp;

    bool Masked() const { return (flags & ILC_MASK) != 0; }
};

using qlafx::BitmapPixels;

namespace {

std::mutex& ListLock()
{
    static std::mutex lock;
    return lock;
}
std::unordered_set<const QlImageList*>& Lists()
{
    static auto* lists = new std::unordered_set<const QlImageList*>;
    return *lists;
}

QlImageList* Find(HIMAGELIST list)
{
    std::lock_guard lock(ListLock());
    return Lists().count(list) ? list : nullptr;
}

inline QRgb Opaque(QRgb p) { return p | 0xFF000000u; }
inline bool SameColor(QRgb p, COLORREF c)
{
    return qRed(p) == GetRValue(c) && qGreen(p) == GetGValue(c) && qBlue(p) == GetBValue(c);
}

// Cuts strip into cx-wide images; transparent(x, y) says which pixels of
// the strip are transparent. Returns the index of the first image, -1 when
// the strip holds no whole image.
template <class Transparent>
int AppendStrip(QlImageList& list, const QImage& strip, Transparent transparent)
{
    const int count = strip.width() / list.cx;
    if (count <= 0)
        return -1;
    const int first = static_cast<int>(list.images.size());
    for (int i = 0; i < count; ++i) {
        QImage img(list.cx, list.cy, QImage::Format_ARGB32);
        img.fill(0);
        const int rows = std::min(list.cy, strip.height());
        for (int y = 0; y < rows; ++y) {
            const auto* src = reinterpret_cast<const QRgb*>(strip.constScanLine(y)) + i * list.cx;
            auto* dst = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < list.cx; ++x)
                dst[x] = (list.Masked() && transparent(i * list.cx + x, y)) ? 0u : Opaque(src[x]);
        }
        list.images.push_back(std::move(img));
    }
    return first;
}

HBITMAP MakeBitmap(const QImage& img, bool maskOnly, COLORREF transparentFill)
{
    std::vector<std::uint32_t> bits(static_cast<std::size_t>(img.width()) * img.height());
    const std::uint32_t fill = (GetRValue(transparentFill) << 16) | (GetGValue(transparentFill) << 8) |
                               GetBValue(transparentFill);
    for (int y = 0; y < img.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const bool clear = qAlpha(src[x]) < 128;
            std::uint32_t v;
            if (maskOnly)
                v = clear ? 0xFFFFFFu : 0u;
            else
                v = clear ? fill : (src[x] & 0xFFFFFFu);
            bits[static_cast<std::size_t>(y) * img.width() + x] = v;
        }
    }
    return CreateBitmap(img.width(), img.height(), 1, 32, bits.data());
}

void Blit(HDC dest, int x, int y, HBITMAP bitmap, int cx, int cy, DWORD rop)
{
    HDC mem = CreateCompatibleDC(dest);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(dest, x, y, cx, cy, mem, 0, 0, rop);
    SelectObject(mem, old);
    DeleteDC(mem);
}

}  // namespace

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int)
{
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096)
        return nullptr;
    auto* list = new QlImageList;
    list->cx = cx;
    list->cy = cy;
    list->flags = flags;
    std::lock_guard lock(ListLock());
    Lists().insert(list);
    return list;
}

BOOL ImageList_Destroy(HIMAGELIST handle)
{
    {
        std::lock_guard lock(ListLock());
        if (!Lists().erase(handle))
            return FALSE;
    }
    if (handle->attached)
        handle->attached->m_hImageList = nullptr;
    if (handle->temp)
        handle->temp->m_hImageList = nullptr;
    delete handle;
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST handle)
{
    QlImageList* list = Find(handle);
    return list ? static_cast<int>(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* cx, int* cy)
{
    QlImageList* list = Find(handle);
    if (!list || !cx || !cy)
        return FALSE;
    *cx = list->cx;
    *cy = list->cy;
    return TRUE;
}

int ImageList_Add(HIMAGELIST handle, HBITMAP image, HBITMAP mask)
{
    QlImageList* list = Find(handle);
    const QImage strip = BitmapPixels(image);
    if (!list || strip.isNull())
        return -1;
    const QImage maskPixels = mask ? BitmapPixels(mask) : QImage();
    return AppendStrip(*list, strip, [&](int x, int y) {
        return !maskPixels.isNull() && x < maskPixels.width() && y < maskPixels.height() &&
               (maskPixels.pixel(x, y) & 0xFFFFFFu) != 0;
    });
}

int ImageList_AddMasked(HIMAGELIST handle, HBITMAP image, COLORREF mask)
{
    QlImageList* list = Find(handle);
    const QImage strip = BitmapPixels(image);
    if (!list || strip.isNull())
        return -1;
    return AppendStrip(*list, strip, [&](int x, int y) { return SameColor(strip.pixel(x, y), mask); });
}

int ImageList_ReplaceIcon(HIMAGELIST handle, int index, HICON icon)
{
    QlImageList* list = Find(handle);
    const QImage picture = qlafx::IconImage(icon, nullptr);
    if (!list || picture.isNull() || index < -1 || index >= static_cast<int>(list->images.size()))
        return -1;
    QImage img = picture.scaled(list->cx, list->cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                     .convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < img.width(); ++x)
            row[x] = (qAlpha(row[x]) < 128 && list->Masked()) ? 0u : Opaque(row[x]);
    }
    if (index == -1) {
        list->images.push_back(std::move(img));
        return static_cast<int>(list->images.size()) - 1;
    }
    list->images[static_cast<std::size_t>(index)] = std::move(img);
    return index;
}

BOOL ImageList_Replace(HIMAGELIST handle, int index, HBITMAP image, HBITMAP mask)
{
    QlImageList* list = Find(handle);
    if (!list || index < 0 || index >= static_cast<int>(list->images.size()))
        return FALSE;
    const std::size_t before = list->images.size();
    if (ImageList_Add(handle, image, mask) < 0)
        return FALSE;
    // The first new image takes the old one's place; the rest are dropped.
    list->images[static_cast<std::size_t>(index)] = std::move(list->images[before]);
    list->images.resize(before);
    return TRUE;
}

BOOL ImageList_Remove(HIMAGELIST handle, int index)
{
    QlImageList* list = Find(handle);
    if (!list || index < -1 || index >= static_cast<int>(list->images.size()))
        return FALSE;
    if (index == -1)
        list->images.clear();
    else
        list->images.erase(list->images.begin() + index);
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST handle, COLORREF color)
{
    QlImageList* list = Find(handle);
    if (!list)
        return CLR_NONE;
    const COLORREF old = list->bk;
    list->bk = color;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST handle)
{
    QlImageList* list = Find(handle);
    return list ? list->bk : CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST handle, int index, HDC dc, int x, int y, UINT style)
{
    QlImageList* list = Find(handle);
    if (!list || !dc || index < 0 || index >= static_cast<int>(list->images.size()))
        return FALSE;
    const QImage& img = list->images[static_cast<std::size_t>(index)];
    if (style & ILD_MASK) {
        HBITMAP mask = MakeBitmap(img, true, 0);
        Blit(dc, x, y, mask, list->cx, list->cy, SRCCOPY);
        DeleteObject(mask);
        return TRUE;
    }
    // Without a mask, or with a background colour and no ILD_TRANSPARENT,
    // the whole cell is copied.
    const bool fillBack = list->bk != CLR_NONE && !(style & ILD_TRANSPARENT);
    if (!list->Masked() || fillBack || (style & ILD_IMAGE)) {
        HBITMAP image = MakeBitmap(img, false, fillBack ? list->bk : RGB(0, 0, 0));
        Blit(dc, x, y, image, list->cx, list->cy, SRCCOPY);
        DeleteObject(image);
        return TRUE;
    }
    HBITMAP mask = MakeBitmap(img, true, 0);
    HBITMAP image = MakeBitmap(img, false, RGB(0, 0, 0));
    Blit(dc, x, y, mask, list->cx, list->cy, SRCAND);
    Blit(dc, x, y, image, list->cx, list->cy, SRCPAINT);
    DeleteObject(image);
    DeleteObject(mask);
    return TRUE;
}

BOOL ImageList_GetImageInfo(HIMAGELIST handle, int index, IMAGEINFO* info)
{
    QlImageList* list = Find(handle);
    if (!list || !info || index < 0 || index >= static_cast<int>(list->images.size()))
        return FALSE;
    std::memset(info, 0, sizeof *info);
    info->rcImage = RECT{0, 0, list->cx, list->cy};
    return TRUE;
}

namespace qlafx {

QImage ImageListPicture(HIMAGELIST handle, int index)
{
    QlImageList* list = Find(handle);
    if (!list || index < 0 || index >= static_cast<int>(list->images.size()))
        return {};
    return list->images[static_cast<std::size_t>(index)];
}

}  // namespace qlafx

// ---- CImageList ----

CImageList::~CImageList() { DeleteImageList(); }

CImageList* CImageList::FromHandle(HIMAGELIST handle)
{
    QlImageList* list = Find(handle);
    if (!list)
        return nullptr;
    if (list->attached)
        return list->attached;
    if (!list->temp) {
        list->temp = std::make_unique<CImageList>();
        list->temp->m_hImageList = handle;
    }
    return list->temp.get();
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow)
{
    return Attach(ImageList_Create(cx, cy, nFlags, nInitial, nGrow));
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    return Create(MAKEINTRESOURCE(nBitmapID), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask)
{
    HBITMAP bitmap = LoadBitmap(AfxGetResourceHandle(), lpszBitmapID);
    BITMAP bm{};
    if (!bitmap || GetObject(bitmap, sizeof bm, &bm) == 0) {
        if (bitmap)
            DeleteObject(bitmap);
        return FALSE;
    }
    const UINT flags = crMask == CLR_NONE ? ILC_COLOR24 : (ILC_COLOR24 | ILC_MASK);
    BOOL ok = Create(cx, bm.bmHeight, flags, 0, nGrow);
    if (ok)
        ok = (crMask == CLR_NONE ? ImageList_Add(m_hImageList, bitmap, nullptr)
                                 : ImageList_AddMasked(m_hImageList, bitmap, crMask)) >= 0;
    DeleteObject(bitmap);
    if (!ok)
        DeleteImageList();
    return ok;
}

BOOL CImageList::Attach(HIMAGELIST handle)
{
    QlImageList* list = Find(handle);
    if (!list || m_hImageList)
        return FALSE;
    m_hImageList = handle;
    list->attached = this;
    return TRUE;
}

HIMAGELIST CImageList::Detach()
{
    HIMAGELIST handle = m_hImageList;
    if (QlImageList* list = Find(handle); list && list->attached == this)
        list->attached = nullptr;
    m_hImageList = nullptr;
    return handle;
}

BOOL CImageList::DeleteImageList()
{
    if (!m_hImageList)
        return FALSE;
    return ImageList_Destroy(Detach());
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Add(m_hImageList, pbmImage ? static_cast<HBITMAP>(*pbmImage) : nullptr,
                         pbmMask ? static_cast<HBITMAP>(*pbmMask) : nullptr);
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask)
{
    return ImageList_AddMasked(m_hImageList, pbmImage ? static_cast<HBITMAP>(*pbmImage) : nullptr, crMask);
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask)
{
    return ImageList_Replace(m_hImageList, nImage, pbmImage ? static_cast<HBITMAP>(*pbmImage) : nullptr,
                             pbmMask ? static_cast<HBITMAP>(*pbmMask) : nullptr);
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle)
{
    return pDC ? ImageList_Draw(m_hImageList, nImage, pDC->GetSafeHdc(), pt.x, pt.y, nStyle) : FALSE;
}
