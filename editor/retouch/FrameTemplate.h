// A photo-frame template: one ".frm" file of chunks (id byte, 32-bit length,
// data), either drawn from settings or made of two frame pictures with a key
// colour window. Blocks are stored field by field, little-endian.
#pragma once

#include "imagecore/Pixel.h"
#include "imagecore/QLImage.h"
#include "platform/win/WinTypes.h"

#include <cstdint>
#include <string>
#include <vector>

// A position or size: pixels, or a percentage of a photo dimension.
struct FrameLength {
    std::int32_t inPixels = 0;
    std::int32_t value = 0;

    int Resolve(int dimension) const
    {
        return inPixels ? value : static_cast<int>(static_cast<std::int64_t>(dimension) * value / 100);
    }
};

struct TemplateInfo { // chunk 0
    static constexpr std::size_t kSize = 224;
    char name[32];
    char comment[128];
    char author[64];
};

struct CanvasSettings { // chunk 1
    static constexpr std::size_t kSize = 36;
    FrameLength top, left, right, bottom;
    CPixel colour;
};

struct SignatureSettings { // chunk 2
    static constexpr std::size_t kSize = 612;
    char text[256];
    char face[64];
    std::int32_t enabled;
    FrameLength x, y, height;
    BYTE align; // 0 left, 1 right, 2 centre
    CPixel colour;
};

struct LogoSettings { // chunk 3
    static constexpr std::size_t kSize = 1312;
    char path[512];
    char maskPath[512];
    std::int32_t enabled;
    BYTE mode; // 0 light only, 1 dark only, 2 mask, 3 mask in GIF or PNG
    FrameLength x, y, width;
};

struct BorderSettings { // chunk 4
    static constexpr std::size_t kSize = 84;
    BYTE type; // 0 solid, 1 shadow, 2 two-colour, 3 scan line
    FrameLength top, left, right, bottom;
    CPixel colour;
    std::int32_t enabled;
    FrameLength shadowX, shadowY, shadowBlur;
    CPixel shadowColour;
    CPixel rightBottomColour;
    BYTE pattern; // 0 horizontal, 1 vertical, 2 dot, 3 dense dot
    CPixel secondColour;
};

struct FrameRectangle { // chunk 5 holds any number
    static constexpr std::size_t kSize = 44;
    FrameLength top, left, right, bottom;
    std::int32_t flag = 1;
    std::int32_t lineWidth = 1;
    CPixel colour{255, 255, 255, 255};
};

struct FramePicture {
    std::int32_t width, height, offset, length;
};

struct FreeShapeSettings { // chunk 6, then the pictures
    static constexpr std::size_t kSize = 288;
    FramePicture landscape;
    FramePicture portrait;
    CPixel keyColour;
};

class FrameTemplate {
public:
    static constexpr std::size_t kMaxChunk = 65536;
    static constexpr std::size_t kMaxRectangles = kMaxChunk / FrameRectangle::kSize; // 1,489

    FrameTemplate();
    virtual ~FrameTemplate();

    // Every block to its default, name "Untittle"; the free-shape block stays.
    void ResetToDefaults();
    // All blocks, the kind and the rectangles; not the path.
    void CopyFrom(const FrameTemplate& other);
    const char* GetPath() const { return m_path.c_str(); }

    // 1 when loaded; 0 when the file cannot be opened, holds an unknown chunk
    // id or a chunk length outside 0..65,536. A chunk cut short ends the read
    // with what came before.
    int Read(const char* path);
    // Writes the chunks of the template's kind (an image-based template with
    // its two pictures, read from its old file when not given) under a
    // temporary name renamed into place; 0, reported, on failure.
    int Write(const char* path);
    // Makes this an image-based template of these two pictures and writes it.
    int WriteImageBased(const char* path, const CQLImage& landscape, const CQLImage& portrait);
    // One stored picture of the template's own file (checked sides, offsets
    // and inflated length); 0 on any failure.
    int ReadPicture(bool portrait, CQLImage* image) const;
    // Saves both stored pictures with the codec; 1 when both were saved.
    int ExtractImages(const char* landscapePath, const char* portraitPath) const;
    // Puts a new name into the file's chunk 0; the file keeps its name. 0,
    // with the old name kept, when the file cannot be read or rewritten or
    // has no whole chunk 0.
    int Rename(const char* newName);
    // Removes the template's own file; TRUE when it is gone.
    BOOL Delete();

    std::string m_path;
    TemplateInfo m_info;
    CanvasSettings m_canvas;
    SignatureSettings m_signature;
    LogoSettings m_logo;
    BorderSettings m_border;
    std::vector<FrameRectangle> m_rectangles;
    FreeShapeSettings m_freeShape;
    int m_imageBased = 0;
};

// Copies a name (at most 31 bytes) with " ' * / : ? \ ~ each replaced by '_'.
void SanitizeName(char* dest, const char* src);

// Where the library's messages ("Can not open frame template file", "Can not
// delete folder, not empty.") go; the dialogs show them in a message box.
using FrameMessageHandler = void (*)(const char* text);
void SetFrameMessageHandler(FrameMessageHandler handler);
void ReportFrameMessage(const char* text);
