// The byte stream the general bitmap class reads and writes through. Results
// follow the C runtime's stream functions (fread, fseek, ftell...), so code
// written against those can take a file or a memory stream alike.
#pragma once

#include <cstddef>

class CxFile {
public:
    virtual ~CxFile() = default;

    virtual bool Close() = 0;
    // Number of whole items moved.
    virtual std::size_t Read(void* buffer, std::size_t size, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t size, std::size_t count) = 0;
    // origin: 0 from the start, 1 from the position, 2 from the end (SEEK_SET, SEEK_CUR, SEEK_END).
    virtual bool Seek(long offset, int origin) = 0;
    virtual long Tell() = 0;
    virtual long Size() = 0;
    virtual bool Flush() = 0;
    virtual bool Eof() = 0;
    virtual long Error() = 0;
    virtual bool PutC(unsigned char c) { return Write(&c, 1, 1) == 1; }
    // The byte (0..255), or -1.
    virtual long GetC() = 0;
};
