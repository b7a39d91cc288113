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
