#include "platform/capture/ScreenGrab.h"

#include "platform/capture/XConnection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <atomic>
#include <cstring>
#include <mutex>

namespace qlcapture {

namespace {

std::atomic<GrabPath> g_lastPath{GrabPath::Plain};

// One shared segment, kept between grabs of the same size: attaching costs
// more than the copy.
struct ShmImage {
    XImage* image = nullptr;
    XShmSegmentInfo info{};
    bool failed = false;  // the server refused once: never again

    void Release(Display* d)
    {
        if (!image)
            return;
        XShmDetach(d, &info);
        XSync(d, False);
        XDestroyImage(image);
        shmdt(info.shmaddr);
        image = nullptr;
        info = {};
    }
};

ShmImage& Shm()
{
    static ShmImage shm;
    return shm;
}

int g_xerror = 0;
int RecordError(Display*, XErrorEvent* e)
{
    g_xerror = e->error_code;
    return 0;
}

// Runs fn with X errors recorded instead of ending the process.
template <class Fn>
bool WithoutXErrors(Display* d, Fn&& fn)
{
    XSync(d, False);
    g_xerror = 0;
    auto* old = XSetErrorHandler(RecordError);
    const bool ok = fn();
    XSync(d, False);
    XSetErrorHandler(old);
    return ok && g_xerror == 0;
}

XImage* AttachShm(Display* d, int w, int h)
{
    ShmImage& shm = Shm();
    if (shm.failed)
        return nullptr;
    if (shm.image && shm.image->width == w && shm.image->height == h)
        return shm.image;
    shm.Release(d);
    const int screen = DefaultScreen(d);
    XImage* img = XShmCreateImage(d, DefaultVisual(d, screen), static_cast<unsigned>(DefaultDepth(d, screen)),
                                  ZPixmap, nullptr, &shm.info, static_cast<unsigned>(w), static_cast<unsigned>(h));
    if (!img) {
        shm.failed = true;
        return nullptr;
    }
    shm.info.shmid = shmget(IPC_PRIVATE, static_cast<size_t>(img->bytes_per_line) * static_cast<size_t>(h),
                            IPC_CREAT | 0600);
    if (shm.info.shmid < 0) {
        XDestroyImage(img);
        shm.failed = true;
        return nullptr;
    }
    shm.info.shmaddr = img->data = static_cast<char*>(shmat(shm.info.shmid, nullptr, 0));
    // Marked for removal now: it goes when the last user detaches, even after a crash.
    shmctl(shm.info.shmid, IPC_RMID, nullptr);
    if (shm.info.shmaddr == reinterpret_cast<char*>(-1)) {
        img->data = nullptr;
        XDestroyImage(img);
        shm.info = {};
        shm.failed = true;
        return nullptr;
    }
    shm.info.readOnly = False;
    // A remote display answers the attach with an error.
    if (!WithoutXErrors(d, [&] { return XShmAttach(d, &shm.info) != 0; })) {
        img->data = nullptr;
        XDestroyImage(img);
        shmdt(shm.info.shmaddr);
        shm.info = {};
        shm.failed = true;
        return nullptr;
    }
    shm.image = img;
    return img;
}

int Shift(unsigned long mask)
{
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

int Bits(unsigned long mask)
{
    int n = 0;
    for (; mask; mask >>= 1)
        n += mask & 1;
    return n;
}

std::uint32_t Channel(unsigned long pixel, unsigned long mask)
{
    const int bits = Bits(mask);
    if (bits == 0)
        return 0;
    const unsigned long v = (pixel & mask) >> Shift(mask);
    return bits >= 8 ? static_cast<std::uint32_t>(v >> (bits - 8))
                     : static_cast<std::uint32_t>(v * 255 / ((1UL << bits) - 1));
}

void CopyOut(XImage* img, int w, int h, std::uint32_t* out, std::size_t stride)
{
    const bool direct = img->bits_per_pixel == 32 && img->byte_order == LSBFirst && img->red_mask == 0xFF0000 &&
                        img->green_mask == 0xFF00 && img->blue_mask == 0xFF;
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(reinterpret_cast<char*>(out) + static_cast<std::size_t>(y) * stride);
        if (direct) {
            const auto* src = reinterpret_cast<const std::uint32_t*>(img->data + static_cast<std::size_t>(y) * img->bytes_per_line);
            for (int x = 0; x < w; ++x)
                row[x] = src[x] | 0xFF000000u;
        } else {
            for (int x = 0; x < w; ++x) {
                const unsigned long p = XGetPixel(img, x, y);
                row[x] = Channel(p, img->blue_mask) | Channel(p, img->green_mask) << 8 |
                         Channel(p, img->red_mask) << 16 | 0xFF000000u;
            }
        }
    }
}

} // namespace

bool ScreenSize(int* width, int* height)
{
    std::lock_guard lock(XLock());
    Display* d = SharedDisplay();
    if (!d)
        return false;
    *width = DisplayWidth(d, DefaultScreen(d));
    *height = DisplayHeight(d, DefaultScreen(d));
    return true;
}

bool GrabScreen(int x, int y, int width, int height, std::uint32_t* bgra, std::size_t stride, GrabPath path)
{
    if (!bgra || width <= 0 || height <= 0 || x < 0 || y < 0 || stride < static_cast<std::size_t>(width) * 4)
        return false;
    std::lock_guard lock(XLock());
    Display* d = SharedDisplay();
    if (!d)
        return false;
    const int screen = DefaultScreen(d);
    if (x + width > DisplayWidth(d, screen) || y + height > DisplayHeight(d, screen))
        return false;
    const Window root = RootWindow(d, screen);
    if (path != GrabPath::Plain && XShmQueryExtension(d)) {
        // The segment is the whole screen's width and the rectangle's height
        // at most once; a differently sized grab makes a new one.
        if (XImage* img = AttachShm(d, width, height)) {
            if (WithoutXErrors(d, [&] { return XShmGetImage(d, root, img, x, y, AllPlanes) != 0; })) {
                CopyOut(img, width, height, bgra, stride);
                g_lastPath = GrabPath::SharedMemory;
                return true;
            }
        }
    }
    if (path == GrabPath::SharedMemory)
        return false;
    XImage* img = nullptr;
    WithoutXErrors(d, [&] {
        img = XGetImage(d, root, x, y, static_cast<unsigned>(width), static_cast<unsigned>(height), AllPlanes, ZPixmap);
        return img != nullptr;
    });
    if (!img)
        return false;
    CopyOut(img, width, height, bgra, stride);
    XDestroyImage(img);
    g_lastPath = GrabPath::Plain;
    return true;
}

GrabPath LastGrabPath()
{
    return g_lastPath;
}

} // namespace qlcapture
