// Multi-photo frame templates: a frame picture with transparent windows
// ("boxes") into which photos are pasted, stored as one .mfm file.
#pragma once

#include "imagecore/QLChannel.h"
#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace collage {

inline constexpr int kMaxBoxes = 8;
inline constexpr BYTE kNoBox = 255;
inline constexpr int kHeaderSize = 52;
inline constexpr int kBoxRecordSize = 32;
inline constexpr int kThumbnailSide = 100;

struct BoxPoint {
    int32_t x = 0;
    int32_t y = 0;
};

// Corners p[0..3]; a drawn rectangle is top-left, top-right, bottom-right,
// bottom-left.
struct FrameBox {
    BoxPoint p[4];
};

struct CollageTemplate {
    char name[32] = {};
    CQLImage frame;    // BGRA; alpha 255 opaque frame, below 255 a window
    CQLChannel boxMap; // owning box index per pixel, kNoBox for none
    CQLImage thumbnail;
    std::vector<FrameBox> boxes;

    void Clear();
    int FrameWidth() const;
    int FrameHeight() const;
};

struct TemplateListEntry {
    char name[32] = {};
    char path[512] = {};
    CQLImage thumbnail;
};

// Half-open in rows; an edge whose slope truncates to 0 never counts.
bool PointInFrameBox(int px, int py, const FrameBox& box);

// Checker cell of the display copy and of empty boxes: max side / 50, at
// least 1.
int CheckerCell(int width, int height);
inline BYTE CheckerGrey(int x, int y, int cell) { return ((x / cell + y / cell) & 1) ? 128 : 220; }

// A copy with every pixel below alpha 255 laid over a grey checkerboard.
bool MakeDisplayCopy(const CQLImage& source, CQLImage* copy);

// 100 on the longer side, the other side in proportion (integer division).
void ThumbnailSize(int frameWidth, int frameHeight, int* width, int* height);

enum class BoxMapResult { Done, Declined, Failed };

// Fills tpl.boxMap from the frame's alpha and the boxes (where boxes overlap
// the higher index wins). When an uncovered pixel has alpha below 240,
// askUncovered is called once: false abandons (Declined).
BoxMapResult BuildBoxMap(CollageTemplate& tpl, const std::function<bool()>& askUncovered);

// Name with " ' * / : < > ? \ | turned into '_', bytes one by one.
std::string SanitiseTemplateName(const std::string& name);

// Writes the header, thumbnail, both compressed planes and the box records
// through a temporary file renamed over path. Needs the box map built; makes
// the thumbnail. false on any failure (nothing left at path).
bool WriteTemplateFile(CollageTemplate& tpl, const std::string& path);

enum class WriteResult { Written, Declined, Unexpected, CannotSave };

// The whole save: name, box map (askUncovered as BuildBoxMap), file.
WriteResult WriteTemplate(CollageTemplate& tpl, const char* name, const std::string& path,
                          const std::function<bool()>& askUncovered);

// Header and thumbnail only, for the template list. false for a file that
// does not open or whose header or thumbnail is not sound.
bool ReadTemplateHeader(const std::string& path, TemplateListEntry* entry);
bool ReadTemplateHeaderBytes(const BYTE* bytes, size_t size, TemplateListEntry* entry);

// The full template; tpl is replaced only on success.
bool ReadTemplate(const std::string& path, CollageTemplate* tpl);
bool ReadTemplateBytes(const BYTE* bytes, size_t size, CollageTemplate* tpl);

// Every .mfm (any case) under folder and its sub-folders, skipping folders
// whose names begin with "."; files that do not read are skipped.
std::vector<TemplateListEntry> ScanTemplateFolder(const std::string& folder);

} // namespace collage
