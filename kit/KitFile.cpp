#include "kit/KitFile.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace kit {

DiskFile::~DiskFile()
{
    Close();
}

bool DiskFile::OpenRead(const char* path)
{
    Close();
    if (!path)
        return false;
    m_file = std::fopen(path, "rb");
    if (!m_file)
        return false;
    if (std::fseek(m_file, 0, SEEK_END) != 0) {
        Close();
        return false;
    }
    const long size = std::ftell(m_file);
    if (size < 0 || std::fseek(m_file, 0, SEEK_SET) != 0) {
        Close();
        return false;
    }
    m_size = static_cast<std::uint64_t>(size);
    m_position = 0;
    return true;
}

bool DiskFile::OpenWrite(const char* path)
{
    Close();
    if (!path)
        return false;
    m_file = std::fopen(path, "wb");
    m_size = m_position = 0;
    return m_file != nullptr;
}

bool DiskFile::Close()
{
    if (!m_file)
        return true;
    const bool ok = std::fclose(m_file) == 0;
    m_file = nullptr;
    return ok;
}

std::size_t DiskFile::Read(void* data, std::size_t size)
{
    if (!m_file)
        return 0;
    const std::size_t done = std::fread(data, 1, size, m_file);
    m_position += done;
    return done;
}

std::size_t DiskFile::Write(const void* data, std::size_t size)
{
    return m_file ? std::fwrite(data, 1, size, m_file) : 0;
}

bool DiskFile::Skip(std::uint64_t size)
{
    if (!m_file || size > Remaining())
        return false;
    // In steps a long can hold.
    while (size > 0) {
        const std::uint64_t step = std::min<std::uint64_t>(size, 0x40000000);
        if (std::fseek(m_file, static_cast<long>(step), SEEK_CUR) != 0)
            return false;
        m_position += step;
        size -= step;
    }
    return true;
}

std::uint64_t DiskFile::Remaining() const
{
    return m_position < m_size ? m_size - m_position : 0;
}

MemoryFile::MemoryFile(const void* data, std::size_t size)
    : m_bytes(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size)
{
}

std::size_t MemoryFile::Read(void* data, std::size_t size)
{
    const std::size_t done = std::min<std::size_t>(size, m_bytes.size() - m_position);
    if (done)
        std::memcpy(data, m_bytes.data() + m_position, done);
    m_position += done;
    return done;
}

std::size_t MemoryFile::Write(const void* data, std::size_t size)
{
    try {
        const auto* bytes = static_cast<const unsigned char*>(data);
        m_bytes.insert(m_bytes.end(), bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return size;
}

bool MemoryFile::Skip(std::uint64_t size)
{
    if (size > Remaining())
        return false;
    m_position += static_cast<std::size_t>(size);
    return true;
}

std::uint64_t MemoryFile::Remaining() const
{
    return m_bytes.size() - m_position;
}

}  // namespace kit
