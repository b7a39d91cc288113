// Little-endian fields of the layered file, byte by byte.
#pragma once

#include <cstdint>

namespace kit {

inline void PutLE32(unsigned char* p, std::uint32_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
    p[2] = static_cast<unsigned char>(v >> 16);
    p[3] = static_cast<unsigned char>(v >> 24);
}

inline void PutLE16(unsigned char* p, std::uint16_t v)
{
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

inline std::uint32_t GetLE32(const unsigned char* p)
{
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

inline std::int32_t GetLE32Signed(const unsigned char* p)
{
    return static_cast<std::int32_t>(GetLE32(p));
}

inline std::int16_t GetLE16Signed(const unsigned char* p)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
}

}  // namespace kit
