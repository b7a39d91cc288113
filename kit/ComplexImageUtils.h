// The layered-image object of QuilloKit as the editor's -i mode sees it: the
// library's factory hands out one, the editor calls it only through these
// virtual slots (their order is the contract) and deletes it through the
// virtual destructor. The library's class derives from this one.
#pragma once

#include <cstdint>

// A picture exchanged by value: width x height x 4 bytes, B, G, R, A, rows
// top to bottom, packed. The bits stay their owner's; the receiver copies.
struct INTERNAL_IMAGE {
    std::int32_t width;
    std::int32_t height;
    unsigned char* bits;
};

// Sides positive and within 65535 with pixels: a picture that may be copied.
inline bool IsSoundImage(const INTERNAL_IMAGE& image)
{
    return image.bits && image.width > 0 && image.height > 0 && image.width <= 65535 && image.height <= 65535;
}

class CComplexImageUtils {
public:
    // Takes the caller's picture of the active layer, brings its changes into
    // the document and returns the picture to show (the image itself when it
    // does not fit the active layer).
    virtual INTERNAL_IMAGE MaybeChanged(INTERNAL_IMAGE image) = 0;
    // The active layer's own picture.
    virtual INTERNAL_IMAGE GetImageForEdit() = 0;
    // Reads the layered file; non-zero on success.
    virtual int FromFile(const char* path) = 0;
    virtual ~CComplexImageUtils() = default;
};

// The library's export, without name decoration: a new object, NULL when
// memory runs out. The editor binds it by name.
extern "C" CComplexImageUtils* CreateQuilloKitInstance();
using CreateQuilloKitInstanceFn = CComplexImageUtils* (*)();
