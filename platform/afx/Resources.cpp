// Picture resources on Qt's resource system.
#include "platform/afx/Resources.h"

#include "platform/afx/GdiRecords.h"
#include "platform/win/Library.h"

#include <QFile>
#include <QString>

#include <cstring>
#include <map>
#include <mutex>
#include <unordered_map>

using namespace qlafx::detail;

namespace {

// The tables below are made on first use and never destroyed: objects held
// by globals are deleted during exit, after function-local statics would be.
std::mutex& IconLock()
{
    static std::mutex m;
    return m;
}

// Live icon records; true for the shared ones (LoadIcon, LoadCursor, LR_SHARED).
std::unordered_map<const QlIconRecord*, bool>& Icons()
{
    static auto* map = new std::unordered_map<const QlIconRecord*, bool>;
    return *map;
}

std::map<QString, QlIconRecord*>& SharedIcons()
{
    static auto* map = new std::map<QString, QlIconRecord*>;
    return *map;
}

const QlIconRecord* FindIcon(HICON icon)
{
    std::lock_guard lock(IconLock());
    return icon && Icons().count(icon) ? icon : nullptr;
}

QString ResourceKey(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return QString::number(static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name)));
    return QString::fromUtf8(name);
}

// A loaded plug-in's pictures live under its own name, so its ids never
// reach the program's pictures; any other instance means the program.
QString ResourcePath(HINSTANCE instance, const char* folder, LPCSTR name)
{
    const std::string module = qlwin::ModuleName(instance);
    const QString root = module.empty() ? QString() : QLatin1Char('/') + QString::fromStdString(module);
    return QStringLiteral(":%1/res/%2/%3.png").arg(root, QLatin1String(folder), ResourceKey(name));
}

QImage LoadPicture(HINSTANCE instance, UINT type, LPCSTR name, UINT flags)
{
    if (!name)
        return {};
    if (flags & LR_LOADFROMFILE)
        return IS_INTRESOURCE(name) ? QImage() : QImage(QString::fromUtf8(name));
    const char* folder = type == IMAGE_BITMAP ? "bitmap" : type == IMAGE_ICON ? "icon" : "cursor";
    return QImage(ResourcePath(instance, folder, name));
}

QImage Sized(const QImage& img, int width, int height)
{
    if ((width <= 0 || width == img.width()) && (height <= 0 || height == img.height()))
        return img;
    return img.scaled(width > 0 ? width : img.width(), height > 0 ? height : img.height(), Qt::IgnoreAspectRatio,
                      Qt::SmoothTransformation);
}

// A bitmap of the picture: a bottom-up DIB section (24-bit, or 32-bit when
// the picture has alpha) as Windows loads one, else a 32-bit device bitmap.
HBITMAP BitmapFromImage(const QImage& picture, bool dibSection)
{
    if (picture.isNull())
        return nullptr;
    const int w = picture.width();
    const int h = picture.height();
    if (!dibSection) {
        const QImage img = picture.convertToFormat(QImage::Format_RGB32);
        HBITMAP bm = CreateBitmap(w, h, 1, 32, nullptr);
        if (bm)
            for (int y = 0; y < h; ++y)
                std::memcpy(LookupAs<QlBitmapRecord>(bm, GdiKind::Bitmap)->image.scanLine(y), img.constScanLine(y),
                            static_cast<std::size_t>(w) * 4);
        return bm;
    }
    const bool alpha = picture.hasAlphaChannel();
    const QImage img = picture.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(alpha ? 32 : 24), BI_RGB, 0, 0,
                                    0, 0, 0};
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bm)
        return nullptr;
    const int stride = ((w * (alpha ? 32 : 24) + 31) / 32) * 4;
    for (int y = 0; y < h; ++y) {
        BYTE* dst = static_cast<BYTE*>(bits) + static_cast<std::size_t>(h - 1 - y) * stride;
        const auto* src = reinterpret_cast<const std::uint32_t*>(img.constScanLine(y));
        if (alpha) {
            std::memcpy(dst, src, static_cast<std::size_t>(w) * 4);
        } else {
            for (int x = 0; x < w; ++x) {
                dst[3 * x] = static_cast<BYTE>(src[x]);
                dst[3 * x + 1] = static_cast<BYTE>(src[x] >> 8);
                dst[3 * x + 2] = static_cast<BYTE>(src[x] >> 16);
            }
        }
    }
    return bm;
}

POINT HotSpotOf(const QImage& img)
{
    const QStringList hot = img.text(QStringLiteral("HotSpot")).split(QLatin1Char(','));
    return hot.size() == 2 ? POINT{hot[0].trimmed().toInt(), hot[1].trimmed().toInt()} : POINT{0, 0};
}

QlIconRecord* NewIcon(const QImage& img, bool cursor, bool shared)
{
    auto* rec = new QlIconRecord;
    rec->image = img.convertToFormat(QImage::Format_ARGB32);
    rec->cursor = cursor;
    if (cursor)
        rec->hotSpot = HotSpotOf(img);
    std::lock_guard lock(IconLock());
    Icons()[rec] = shared;
    return rec;
}

// Shared records are made once per key and live for the program.
QlIconRecord* SharedIcon(const QString& key, bool cursor, int systemId, const QImage& img)
{
    {
        std::lock_guard lock(IconLock());
        const auto it = SharedIcons().find(key);
        if (it != SharedIcons().end())
            return it->second;
    }
    if (!systemId && img.isNull())
        return nullptr;
    QlIconRecord* rec = NewIcon(img, cursor, true);
    rec->systemId = systemId;
    std::lock_guard lock(IconLock());
    const auto [it, added] = SharedIcons().emplace(key, rec);
    if (!added) { // another thread was first
        Icons().erase(rec);
        delete rec;
    }
    return it->second;
}

HICON LoadIconOrCursor(HINSTANCE instance, LPCSTR name, bool cursor)
{
    if (!name)
        return nullptr;
    const char* folder = cursor ? "cursor" : "icon";
    if (!instance) {
        if (!IS_INTRESOURCE(name))
            return nullptr;
        const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
        return SharedIcon(QStringLiteral("sys/%1/%2").arg(QLatin1String(folder)).arg(id), cursor, id, QImage());
    }
    const QString path = ResourcePath(instance, folder, name);
    return SharedIcon(path, cursor, 0, QImage(path));
}

BOOL DestroyIconRecord(HICON icon)
{
    {
        std::lock_guard lock(IconLock());
        const auto it = Icons().find(icon);
        if (it == Icons().end())
            return FALSE;
        if (it->second)
            return TRUE; // shared
        Icons().erase(it);
    }
    delete icon;
    return TRUE;
}

} // namespace

namespace qlafx {

QImage IconImage(HICON icon, POINT* hotSpot)
{
    const QlIconRecord* rec = FindIcon(icon);
    if (!rec)
        return {};
    if (hotSpot)
        *hotSpot = rec->hotSpot;
    return rec->image;
}

int SystemCursorId(HCURSOR cursor)
{
    const QlIconRecord* rec = FindIcon(cursor);
    return rec && rec->cursor ? rec->systemId : 0;
}

int SystemIconId(HICON icon)
{
    const QlIconRecord* rec = FindIcon(icon);
    return rec && !rec->cursor ? rec->systemId : 0;
}

} // namespace qlafx

HBITMAP LoadBitmap(HINSTANCE instance, LPCSTR name)
{
    return BitmapFromImage(LoadPicture(instance, IMAGE_BITMAP, name, 0), false);
}

HANDLE LoadImage(HINSTANCE instance, LPCSTR name, UINT type, int width, int height, UINT flags)
{
    if (type == IMAGE_BITMAP)
        return BitmapFromImage(Sized(LoadPicture(instance, type, name, flags), width, height),
                               (flags & LR_CREATEDIBSECTION) != 0);
    if (type != IMAGE_ICON && type != IMAGE_CURSOR)
        return nullptr;
    const bool cursor = type == IMAGE_CURSOR;
    if (flags & LR_DEFAULTSIZE) {
        width = width ? width : 32;
        height = height ? height : 32;
    }
    if ((flags & LR_SHARED) && !(flags & LR_LOADFROMFILE)) {
        if (!instance)
            return LoadIconOrCursor(nullptr, name, cursor);
        const QString path = ResourcePath(instance, cursor ? "cursor" : "icon", name);
        const QImage img(path);
        QImage sized = Sized(img, width, height);
        sized.setText(QStringLiteral("HotSpot"), img.text(QStringLiteral("HotSpot")));
        return SharedIcon(path + QStringLiteral("@%1x%2").arg(width).arg(height), cursor, 0, sized);
    }
    const QImage img = LoadPicture(instance, type, name, flags);
    if (img.isNull())
        return nullptr;
    QlIconRecord* rec = NewIcon(Sized(img, width, height), cursor, false);
    if (cursor)
        rec->hotSpot = HotSpotOf(img); // scaling drops the picture's text
    return rec;
}

HICON LoadIcon(HINSTANCE instance, LPCSTR name) { return LoadIconOrCursor(instance, name, false); }
HCURSOR LoadCursor(HINSTANCE instance, LPCSTR name) { return LoadIconOrCursor(instance, name, true); }
BOOL DestroyIcon(HICON icon) { return DestroyIconRecord(icon); }
BOOL DestroyCursor(HCURSOR cursor) { return DestroyIconRecord(cursor); }

HANDLE CopyImage(HANDLE image, UINT type, int width, int height, UINT flags)
{
    if (type == IMAGE_BITMAP) {
        QlBitmapRecord scratch;
        const auto* bm = LogicalPixels(LookupAs<QlBitmapRecord>(image, GdiKind::Bitmap), scratch);
        if (!bm)
            return nullptr;
        const QImage pixels = bm->flipped ? bm->image.mirrored(false, true) : bm->image.copy();
        HBITMAP copy = BitmapFromImage(Sized(pixels.convertToFormat(QImage::Format_RGB32), width, height),
                                       (flags & LR_CREATEDIBSECTION) != 0);
        if (copy && (flags & LR_COPYDELETEORG))
            DeleteObject(image);
        return copy;
    }
    const QlIconRecord* src = FindIcon(static_cast<HICON>(image));
    if (!src || src->image.isNull())
        return nullptr;
    QlIconRecord* rec = NewIcon(Sized(src->image, width, height), src->cursor, false);
    rec->hotSpot = src->hotSpot;
    if (flags & LR_COPYDELETEORG)
        DestroyIconRecord(static_cast<HICON>(image));
    return rec;
}

BOOL CBitmap::LoadBitmap(UINT id) { return Attach(::LoadBitmap(nullptr, MAKEINTRESOURCE(id))); }
BOOL CBitmap::LoadBitmap(LPCSTR name) { return Attach(::LoadBitmap(nullptr, name)); }
