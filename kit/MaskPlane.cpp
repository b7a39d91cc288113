#include "kit/MaskPlane.h"

#include <new>

namespace kit {

bool MaskPlane::Create(std::int32_t w, std::int32_t h)
{
    Clear();
    if (w < 0 || h < 0)
        return false;
    try {
        data.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

void MaskPlane::Clear()
{
    std::vector<unsigned char>().swap(data);
    width = height = 0;
}

}  // namespace kit
