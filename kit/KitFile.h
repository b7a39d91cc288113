// The small file interface the layered file is read from and written to: a
// disk file or bytes in memory, with the bytes left known before any payload
// is allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kit {

class KitFile {
public:
    virtual ~KitFile() = default;
    // Bytes transferred; fewer than asked is a short read or write.
    virtual std::size_t Read(void* data, std::size_t size) = 0;
    virtual std::size_t Write(const void* data, std::size_t size) = 0;
    // Moves the read position forward; false when fewer bytes are left.
    virtual bool Skip(std::uint64_t size) = 0;
    // Bytes between the read position and the end.
    virtual std::uint64_t Remaining() const = 0;
};

// A file on disk, opened for reading or for writing.
class DiskFile final : public KitFile {
public:
    DiskFile() = default;
    ~DiskFile() override;
    DiskFile(const DiskFile&) = delete;
    DiskFile& operator=(const DiskFile&) = delete;

    bool OpenRead(const char* path);
    bool OpenWrite(const char* path);
    // False when a buffered write could not be completed.
    bool Close();

    std::size_t Read(void* data, std::size_t size) override;
    std::size_t Write(const void* data, std::size_t size) override;
    bool Skip(std::uint64_t size) override;
    std::uint64_t Remaining() const override;

private:
    std::FILE* m_file = nullptr;
    std::uint64_t m_size = 0;
    std::uint64_t m_position = 0;
};

// Bytes in memory: reading walks them, writing appends.
class MemoryFile final : public KitFile {
public:
    MemoryFile() = default;
    MemoryFile(const void* data, std::size_t size);

    std::size_t Read(void* data, std::size_t size) override;
    std::size_t Write(const void* data, std::size_t size) override;
    bool Skip(std::uint64_t size) override;
    std::uint64_t Remaining() const override;

    const std::vector<unsigned char>& Bytes() const { return m_bytes; }

private:
    std::vector<unsigned char> m_bytes;
    std::size_t m_position = 0;
};

}  // namespace kit
