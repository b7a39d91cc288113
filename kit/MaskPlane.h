// An 8-bit selection plane, one byte a pixel, 255 fully selected.
#pragma once

#include <cstdint>
#include <vector>

namespace kit {

struct MaskPlane {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<unsigned char> data;

    bool HasData() const { return !data.empty(); }
    // False when the memory cannot be had (the plane is left empty).
    bool Create(std::int32_t w, std::int32_t h);
    void Clear();
    unsigned char At(int x, int y) const { return data[static_cast<std::size_t>(y) * width + x]; }
};

}  // namespace kit
