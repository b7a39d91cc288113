// The registry stand-in's file: little-endian, field by field.
//   "QLRG", u32 version (1), u32 key count, then per key:
//   u32 path length, path bytes ("HKEY_...\A\B"), u32 value count, then per value:
//   u32 name length, name bytes, u32 type, u32 data length, data bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qlwin {

struct RegistryValue {
    std::string name;
    std::uint32_t type = 0;
    std::string data;
};

struct RegistryKey {
    std::string path;
    std::vector<RegistryValue> values;
};

struct RegistryData {
    std::vector<RegistryKey> keys;
};

// False, with out left empty, when the bytes are not a whole, valid file.
bool ParseRegistry(const unsigned char* bytes, std::size_t size, RegistryData& out);
std::string SerializeRegistry(const RegistryData& data);

} // namespace qlwin
