#include "platform/afx/Clipboard.h"

#include "platform/afx/WinGdi.h"
#include "platform/afx/Wnd.h"
#include "platform/win/Threads.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QThread>
#include <QUrl>

#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

struct State {
    DWORD openThread = 0; // 0 while closed
    HWND owner = nullptr;
    // Blocks of the current contents: given by SetClipboardData, or made by
    // GetClipboardData from what another program put there.
    std::map<UINT, HGLOBAL> blocks;
    // Blocks of contents that were replaced while the clipboard was open:
    // their users may still hold them until it closes.
    std::vector<HGLOBAL> retired;
    bool setting = false; // our own change to the Qt clipboard
    bool watching = false;
};

State& TheState()
{
    static auto* state = new State;
    return *state;
}

void Retire(State& s)
{
    for (auto& [format, block] : s.blocks)
        s.retired.push_back(block);
    s.blocks.clear();
    if (s.openThread == 0) {
        for (HGLOBAL block : s.retired)
            GlobalFree(block);
        s.retired.clear();
    }
}

bool OnGuiThread()
{
    auto* app = QCoreApplication::instance();
    return qobject_cast<QGuiApplication*>(app) && QThread::currentThread() == app->thread();
}

// Another program (or Qt itself) changed the clipboard: our blocks are stale.
void Watch(State& s)
{
    if (s.watching)
        return;
    s.watching = true;
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [] {
        State& st = TheState();
        if (!st.setting)
            Retire(st);
    });
}

bool IsOpenHere(const State& s)
{
    return s.openThread != 0 && s.openThread == GetCurrentThreadId();
}

DWORD Field32(const unsigned char* p)
{
    return static_cast<DWORD>(p[0]) | static_cast<DWORD>(p[1]) << 8 | static_cast<DWORD>(p[2]) << 16 |
           static_cast<DWORD>(p[3]) << 24;
}

// The paths of a CF_HDROP block; false when the header or list is out of bounds.
bool PathsFromDrop(const unsigned char* p, std::size_t size, QList<QUrl>& urls)
{
    if (size < sizeof(DROPFILES))
        return false;
    const DWORD offset = Field32(p);
    const bool wide = Field32(p + 16) != 0;
    if (offset < sizeof(DROPFILES) || offset > size)
        return false;
    std::size_t pos = offset;
    const std::size_t unit = wide ? 2 : 1;
    for (;;) {
        QString path;
        std::size_t end = pos;
        auto at = [&](std::size_t i) { return wide ? static_cast<unsigned>(p[i] | p[i + 1] << 8) : p[i]; };
        while (end + unit <= size && at(end) != 0)
            end += unit;
        if (end + unit > size)
            return false; // the list runs off the end of the block
        if (end == pos)
            return true;
        if (wide)
            path = QString::fromUtf16(reinterpret_cast<const char16_t*>(p + pos), static_cast<qsizetype>((end - pos) / 2));
        else
            path = QString::fromUtf8(reinterpret_cast<const char*>(p + pos), static_cast<qsizetype>(end - pos));
        urls.push_back(QUrl::fromLocalFile(path));
        pos = end + unit;
    }
}

HGLOBAL DropFromPaths(const QList<QUrl>& urls)
{
    std::string list;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            list += url.toLocalFile().toStdString() + '\0';
    if (list.empty())
        return nullptr;
    list += '\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(DROPFILES) + list.size());
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    if (!p)
        return nullptr;
    const DROPFILES header{sizeof(DROPFILES), {0, 0}, FALSE, FALSE};
    std::memcpy(p, &header, sizeof header);
    std::memcpy(p + sizeof header, list.data(), list.size());
    GlobalUnlock(block);
    return block;
}

bool HasLocalFiles(const QMimeData* mime)
{
    if (!mime || !mime->hasUrls())
        return false;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            return true;
    return false;
}

// What the Qt clipboard should hold for our blocks.
QMimeData* MimeOf(const std::map<UINT, QImage>& images, const std::map<UINT, QList<QUrl>>& files)
{
    auto* mime = new QMimeData;
    if (auto it = images.find(CF_DIB); it != images.end())
        mime->setImageData(it->second);
    if (auto it = files.find(CF_HDROP); it != files.end())
        mime->setUrls(it->second);
    return mime;
}

} // namespace

namespace qlafx {

bool UrlsFromDropBlock(const void* block, std::size_t size, QList<QUrl>& urls)
{
    return block && PathsFromDrop(static_cast<const unsigned char*>(block), size, urls);
}

bool ImageFromDib(const void* block, std::size_t size, QImage& image)
{
    if (!block || size < sizeof(BITMAPINFOHEADER))
        return false;
    BITMAPINFOHEADER h;
    std::memcpy(&h, block, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > size || h.biPlanes != 1 ||
        (h.biBitCount != 24 && h.biBitCount != 32) || h.biCompression != BI_RGB || h.biWidth <= 0 ||
        h.biHeight == 0 || h.biHeight == std::numeric_limits<LONG>::min() || h.biClrUsed > (1u << 16))
        return false;
    const std::uint64_t width = static_cast<std::uint64_t>(h.biWidth);
    const std::uint64_t height = static_cast<std::uint64_t>(h.biHeight < 0 ? -std::int64_t{h.biHeight} : h.biHeight);
    const std::uint64_t stride = (width * h.biBitCount + 31) / 32 * 4;
    const std::uint64_t first = std::uint64_t{h.biSize} + std::uint64_t{h.biClrUsed} * 4;
    if (width > 65535 || height > 65535 || first + stride * height > size)
        return false;
    QImage out(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (out.isNull())
        return false;
    const auto* rows = static_cast<const unsigned char*>(block) + first;
    bool anyAlpha = false;
    for (std::uint64_t y = 0; y < height; ++y) {
        // Positive heights store the bottom row first.
        const unsigned char* src = rows + stride * (h.biHeight > 0 ? height - 1 - y : y);
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(y)));
        for (std::uint64_t x = 0; x < width; ++x) {
            const unsigned char* px = src + x * (h.biBitCount / 8);
            const int alpha = h.biBitCount == 32 ? px[3] : 255;
            anyAlpha = anyAlpha || alpha != 0;
            dst[x] = qRgba(px[2], px[1], px[0], alpha);
        }
    }
    // A 32-bit DIB's fourth byte is often left 0 by its writer: then it is no alpha.
    if (h.biBitCount == 32 && !anyAlpha)
        out = out.convertToFormat(QImage::Format_RGB32);
    image = out;
    return true;
}

HGLOBAL DibFromImage(const QImage& image)
{
    if (image.isNull())
        return nullptr;
    const QImage src = image.convertToFormat(QImage::Format_ARGB32);
    const std::size_t stride = static_cast<std::size_t>(src.width()) * 4;
    const std::size_t bytes = stride * static_cast<std::size_t>(src.height());
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(BITMAPINFOHEADER) + bytes);
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    if (!p)
        return nullptr;
    BITMAPINFOHEADER h{};
    h.biSize = sizeof h;
    h.biWidth = src.width();
    h.biHeight = src.height();
    h.biPlanes = 1;
    h.biBitCount = 32;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(bytes);
    h.biXPelsPerMeter = src.dotsPerMeterX();
    h.biYPelsPerMeter = src.dotsPerMeterY();
    std::memcpy(p, &h, sizeof h);
    for (int y = 0; y < src.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        unsigned char* dst = p + sizeof h + stride * static_cast<std::size_t>(src.height() - 1 - y);
        for (int x = 0; x < src.width(); ++x) {
            dst[4 * x] = static_cast<unsigned char>(qBlue(line[x]));
            dst[4 * x + 1] = static_cast<unsigned char>(qGreen(line[x]));
            dst[4 * x + 2] = static_cast<unsigned char>(qRed(line[x]));
            dst[4 * x + 3] = static_cast<unsigned char>(qAlpha(line[x]));
        }
    }
    GlobalUnlock(block);
    return block;
}

} // namespace qlafx

BOOL OpenClipboard(HWND owner)
{
    State& s = TheState();
    if (!OnGuiThread())
        return FALSE;
    if (s.openThread != 0 && !(s.openThread == GetCurrentThreadId() && s.owner == owner))
        return FALSE;
    Watch(s);
    s.openThread = GetCurrentThreadId();
    s.owner = owner;
    return TRUE;
}

BOOL CloseClipboard()
{
    State& s = TheState();
    if (!IsOpenHere(s))
        return FALSE;
    s.openThread = 0;
    s.owner = nullptr;
    for (HGLOBAL block : s.retired)
        GlobalFree(block);
    s.retired.clear();
    return TRUE;
}

BOOL EmptyClipboard()
{
    State& s = TheState();
    if (!IsOpenHere(s))
        return FALSE;
    Retire(s);
    s.setting = true;
    QGuiApplication::clipboard()->clear();
    s.setting = false;
    return TRUE;
}

HGLOBAL SetClipboardData(UINT format, HGLOBAL data)
{
    State& s = TheState();
    if (!IsOpenHere(s) || !data)
        return nullptr;
    const auto* bytes = static_cast<const unsigned char*>(GlobalLock(data));
    const std::size_t size = GlobalSize(data);
    if (!bytes)
        return nullptr;
    // Check the new block and keep what the Qt clipboard gets of every format.
    std::map<UINT, QImage> images;
    std::map<UINT, QList<QUrl>> files;
    bool ok = true;
    for (const auto& [f, block] : s.blocks) {
        if (f == format)
            continue;
        const auto* p = static_cast<const unsigned char*>(GlobalLock(block));
        if (f == CF_DIB)
            qlafx::ImageFromDib(p, GlobalSize(block), images[f]);
        else if (f == CF_HDROP)
            PathsFromDrop(p, GlobalSize(block), files[f]);
        GlobalUnlock(block);
    }
    if (format == CF_DIB)
        ok = qlafx::ImageFromDib(bytes, size, images[format]);
    else if (format == CF_HDROP)
        ok = PathsFromDrop(bytes, size, files[format]);
    GlobalUnlock(data);
    if (!ok)
        return nullptr;

    if (auto it = s.blocks.find(format); it != s.blocks.end() && it->second != data)
        s.retired.push_back(it->second);
    s.blocks[format] = data;
    s.setting = true;
    QGuiApplication::clipboard()->setMimeData(MimeOf(images, files));
    s.setting = false;
    return data;
}

HGLOBAL GetClipboardData(UINT format)
{
    State& s = TheState();
    if (!IsOpenHere(s))
        return nullptr;
    if (auto it = s.blocks.find(format); it != s.blocks.end())
        return it->second;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    HGLOBAL block = nullptr;
    if (format == CF_DIB && mime && mime->hasImage())
        block = qlafx::DibFromImage(qvariant_cast<QImage>(mime->imageData()));
    else if (format == CF_HDROP && HasLocalFiles(mime))
        block = DropFromPaths(mime->urls());
    if (block)
        s.blocks[format] = block;
    return block;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    State& s = TheState();
    if (!OnGuiThread())
        return FALSE;
    if (s.blocks.count(format))
        return TRUE;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    if (format == CF_DIB)
        return mime && mime->hasImage();
    if (format == CF_HDROP)
        return HasLocalFiles(mime);
    return FALSE;
}

BOOL CWnd::OpenClipboard()
{
    return ::OpenClipboard(m_hWnd);
}
