// CxFile on a C runtime FILE stream.
#pragma once

#include "imagecore/XFile.h"

#include <cstdio>

class CxIOFile : public CxFile {
public:
    // A given handle stays the caller's: Close and the destructor leave it open.
    explicit CxIOFile(std::FILE* handle = nullptr) : m_fp(handle), m_bCloseFile(handle == nullptr) {}
    ~CxIOFile() override;
    CxIOFile(const CxIOFile&) = delete;
    CxIOFile& operator=(const CxIOFile&) = delete;

    // False when a handle is already attached or fopen fails; the stream owns
    // the handle it opens.
    bool Open(const char* path, const char* mode);
    std::FILE* GetHandle() const { return m_fp; }

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    bool Seek(long offset, int origin) override;
    long Tell() override;
    // Offset of the end of the file, the position kept; -1 without a handle.
    long Size() override;
    bool Flush() override;
    bool Eof() override;
    long Error() override;
    bool PutC(unsigned char c) override;
    long GetC() override;

private:
    std::FILE* m_fp;
    bool m_bCloseFile;
};
