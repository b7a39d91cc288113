// The binary interface between the editor and its plug-ins: every plug-in
// and the editor include this one header. The records cross shared-object
// boundaries, so their layouts are fixed; the offsets below are checked.
#pragma once

#include "platform/win/WinTypes.h"

#include <cstddef>
#include <cstdint>

class FilterHost;
class CQLImage;
class IQLImageCodec;

// The one symbol a plug-in exports. msg 0: *out receives the kind; msg 2:
// the plug-in fills its part of record; other messages do nothing. The
// result is 0 on success.
extern "C" int PluginEntry(int msg, void* record, int* out);
using PluginEntryFunction = int (*)(int msg, void* record, int* out);

constexpr int kPluginQueryKind = 0;
constexpr int kPluginFillRecord = 2;
constexpr int kPluginKindPaintTool = 0;
constexpr int kPluginKindEffect = 1;
constexpr float kPluginVersion = 6.8f; // bits 0x40D9999A
constexpr int32_t kPluginCharset = 0;  // English texts wanted

// Runs the effect on the images the host holds. values is the value text
// of the parameter dialog ("'name'='value';" per parameter), of any length:
// do not assume it fits a fixed buffer. Returns 0 on success.
using EffectApplyFunction = int (*)(const char* values, FilterHost* host);
// Shows the plug-in's own window; non-zero when result holds the new image.
using EffectOwnUIFunction = int (*)(CQLImage* current, CQLImage* result);

// Filled once by an effect plug-in when it is loaded; only codec changes
// afterwards (set by the editor before every run).
struct EffectRecord {
    float version;              // editor: 6.8
    int32_t charset;            // editor: 0; the plug-in answers 134 for Chinese texts
    HMODULE module;             // editor: the plug-in's own handle
    char name[128];             // plug-in: menu text and undo step name
    char description[256];      // plug-in
    int32_t ownUI;              // plug-in: non-zero runs runOwnUI instead of the dialog
    char paramSpec[512];        // plug-in: the parameter description
    int32_t reserved;           // plug-in: 1; never read
    EffectApplyFunction apply;  // plug-in
    EffectOwnUIFunction runOwnUI; // plug-in
    IQLImageCodec* codec;       // editor: valid while apply or runOwnUI runs
    BYTE unused[518];
};

static_assert(sizeof(void*) == 8, "the record layout is the 64-bit one");
static_assert(offsetof(EffectRecord, version) == 0);
static_assert(offsetof(EffectRecord, charset) == 4);
static_assert(offsetof(EffectRecord, module) == 8);
static_assert(offsetof(EffectRecord, name) == 16);
static_assert(offsetof(EffectRecord, description) == 144);
static_assert(offsetof(EffectRecord, ownUI) == 400);
static_assert(offsetof(EffectRecord, paramSpec) == 404);
static_assert(offsetof(EffectRecord, reserved) == 916);
static_assert(offsetof(EffectRecord, apply) == 920);
static_assert(offsetof(EffectRecord, runOwnUI) == 928);
static_assert(offsetof(EffectRecord, codec) == 936);
static_assert(offsetof(EffectRecord, unused) == 944);
static_assert(sizeof(EffectRecord) == 1464);

// A picture lent across the boundary: 32-bit B, G, R, A, top row first. The
// pixels belong to the editor.
struct ImageDesc {
    int32_t one;    // always 1
    int32_t width;
    int32_t height;
    int32_t stride; // width * 4
    BYTE* pixels;
};
static_assert(offsetof(ImageDesc, width) == 4);
static_assert(offsetof(ImageDesc, height) == 8);
static_assert(offsetof(ImageDesc, stride) == 12);
static_assert(offsetof(ImageDesc, pixels) == 16);
static_assert(sizeof(ImageDesc) == 24);

// The paint mode's brush; the plug-in reads the live values through the
// record's pointer.
struct BrushSettings {
    int32_t size;     // pixels: 1..256 from the panel, MakeBrush takes 1..512
    int32_t softness; // percent of the radius
    int32_t opacity;  // percent
};
static_assert(offsetof(BrushSettings, softness) == 4);
static_assert(offsetof(BrushSettings, opacity) == 8);
static_assert(sizeof(BrushSettings) == 12);

// The host callbacks a paint tool draws with.
using MakeBrushFunction = int (*)(ImageDesc* out, BrushSettings* brush);
using DrawBrushOutlineFunction = void (*)(HDC dc, int x, int y);
using StrokeStampFunction = int (*)(BrushSettings* brush, int x1, int y1, int x2, int y2, ImageDesc* out,
                                    POINT* origin);
using SegmentRectFunction = RECT* (*)(RECT* out, int* size, int x1, int y1, int x2, int y2);
using GetImagesFunction = void (*)(ImageDesc* current, ImageDesc* second);
// View x in the low, view y in the high 32 bits.
using ImageToViewFunction = int64_t (*)(int x, int y);
// Mouse handlers get image pixel coordinates and the MK_* key flags.
using PaintMouseHandler = int (*)(int flags, int x, int y);
using PaintCursorHandler = int (*)(HDC dc, int x, int y);
using PaintSetCursorHandler = int (*)();

// Filled by a paint tool each time the paint mode builds its tool bar; the
// plug-in keeps a copy and calls the editor through it.
// Differences from the shell's record that the paint mode must settle: the
// paint mode's own description names slot 0x13C (here the first reserved
// handler) OnRButtonDown with client coordinates, gives currentDesc as a
// block {colour, reserved word, ImageDesc} rather than an ImageDesc pointer,
// and calls softness "blur percent". This layout follows the host's.
struct PaintToolRecord {
    float version;                       // editor: 6.8
    int32_t charset;                     // editor: 0
    HMODULE module;                      // editor: icons are loaded from it
    BrushSettings* brush;                // editor
    MakeBrushFunction MakeBrush;         // editor
    DrawBrushOutlineFunction DrawBrushOutline;
    StrokeStampFunction StrokeStamp;
    SegmentRectFunction SegmentRect;
    GetImagesFunction GetImages;
    ImageToViewFunction ImageToView;
    BYTE* colour;                        // editor: B, G, R of the current colour
    ImageDesc* currentDesc;              // editor: refreshed by every GetImages
    char name[128];                      // plug-in
    char tooltip[128];                   // plug-in: name, line feed, hint
    HICON icon;                          // plug-in
    HICON icon2;                         // plug-in: second state
    PaintMouseHandler OnLButtonDown;     // plug-in
    void* reserved1;                     // never called
    PaintMouseHandler OnLButtonUp;       // 0: the editor finishes the stroke
    void* reserved2;                     // never called
    PaintMouseHandler OnMouseMove;
    void* reserved3;                     // never called
    PaintCursorHandler OnDrawCursor;
    PaintSetCursorHandler OnSetCursor;   // non-zero: it set the cursor
};
static_assert(offsetof(PaintToolRecord, charset) == 4);
static_assert(offsetof(PaintToolRecord, module) == 8);
static_assert(offsetof(PaintToolRecord, brush) == 16);
static_assert(offsetof(PaintToolRecord, MakeBrush) == 24);
static_assert(offsetof(PaintToolRecord, DrawBrushOutline) == 32);
static_assert(offsetof(PaintToolRecord, StrokeStamp) == 40);
static_assert(offsetof(PaintToolRecord, SegmentRect) == 48);
static_assert(offsetof(PaintToolRecord, GetImages) == 56);
static_assert(offsetof(PaintToolRecord, ImageToView) == 64);
static_assert(offsetof(PaintToolRecord, colour) == 72);
static_assert(offsetof(PaintToolRecord, currentDesc) == 80);
static_assert(offsetof(PaintToolRecord, name) == 88);
static_assert(offsetof(PaintToolRecord, tooltip) == 216);
static_assert(offsetof(PaintToolRecord, icon) == 344);
static_assert(offsetof(PaintToolRecord, icon2) == 352);
static_assert(offsetof(PaintToolRecord, OnLButtonDown) == 360);
static_assert(offsetof(PaintToolRecord, reserved1) == 368);
static_assert(offsetof(PaintToolRecord, OnLButtonUp) == 376);
static_assert(offsetof(PaintToolRecord, reserved2) == 384);
static_assert(offsetof(PaintToolRecord, OnMouseMove) == 392);
static_assert(offsetof(PaintToolRecord, reserved3) == 400);
static_assert(offsetof(PaintToolRecord, OnDrawCursor) == 408);
static_assert(offsetof(PaintToolRecord, OnSetCursor) == 416);
static_assert(sizeof(PaintToolRecord) == 424);
