#include "plugins/paint/PaintToolFrame.h"

#include "platform/afx/Resources.h"
#include "platform/afx/WinGdi.h"
#include "platform/afx/WinUser.h"

#include <cstring>

namespace painttool {

PaintToolRecord g_host;
Stroke g_stroke;

ImageDesc CurrentImage()
{
    ImageDesc image{};
    g_host.GetImages(&image, nullptr);
    return image;
}

namespace {

constexpr int kChineseCharset = 134;

int OnLButtonDown(int flags, int x, int y)
{
    const ImageDesc image = CurrentImage();
    // The alpha bytes hold this stroke's coverage.
    for (int row = 0; row < image.height && image.pixels; ++row) {
        BYTE* p = image.pixels + static_cast<long>(row) * image.stride;
        for (int col = 0; col < image.width; ++col)
            p[col * 4 + 3] = 0;
    }
    g_stroke.last = POINT{x, y};
    g_stroke.drawing = true;
    g_stroke.painted = false;
    kTool.press(flags, x, y);
    return 0;
}

int OnMouseMove(int flags, int x, int y)
{
    if (g_stroke.drawing)
        kTool.move(flags, x, y);
    return 0;
}

int OnLButtonUp(int, int, int)
{
    g_stroke.drawing = false;
    if (kTool.release)
        kTool.release();
    return g_stroke.painted ? 0 : 1;
}

int OnDrawCursor(HDC dc, int x, int y)
{
    g_host.DrawBrushOutline(dc, x, y);
    return 0;
}

int OnSetCursor()
{
    ::SetCursor(::LoadCursor(nullptr, IDC_CROSS));
    return 1;
}

void Copy(char (&to)[128], const char* text)
{
    std::strncpy(to, text, sizeof to - 1);
    to[sizeof to - 1] = 0;
}

} // namespace

} // namespace painttool

extern "C" __attribute__((visibility("default"))) int PluginEntry(int msg, void* record, int* out)
{
    using namespace painttool;
    if (msg == kPluginQueryKind && out)
        *out = kPluginKindPaintTool;
    if (msg == kPluginFillRecord && record) {
        auto* r = static_cast<PaintToolRecord*>(record);
        const ToolTexts& t = kTool.texts;
        const bool zh = r->charset == kChineseCharset;
        Copy(r->name, zh ? t.nameZh : t.name);
        Copy(r->tooltip, zh ? t.tooltipZh : t.tooltip);
        r->icon = ::LoadIcon(static_cast<HINSTANCE>(r->module), MAKEINTRESOURCE(t.icon));
        r->icon2 = ::LoadIcon(static_cast<HINSTANCE>(r->module), MAKEINTRESOURCE(t.icon2));
        r->OnLButtonDown = OnLButtonDown;
        r->reserved1 = nullptr;
        r->OnLButtonUp = OnLButtonUp;
        r->reserved2 = nullptr;
        r->OnMouseMove = OnMouseMove;
        r->reserved3 = nullptr;
        r->OnDrawCursor = OnDrawCursor;
        r->OnSetCursor = OnSetCursor;
        std::memcpy(&g_host, r, sizeof(PaintToolRecord));
    }
    return 0;
}
