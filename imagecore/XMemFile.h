// CxFile on a growable memory buffer from the runtime heap (malloc/realloc/free).
#pragma once

#include "imagecore/XFile.h"

#include <cstddef>

class CxMemFile : public CxFile {
public:
    // A given buffer must come from malloc: the stream owns it from here on
    // (a write may realloc it, Close frees it), so the caller must not free it
    // or keep its address; GetBuffer hands it back. Without a buffer, call Open.
    explicit CxMemFile(void* buffer = nullptr, std::size_t size = 0);
    ~CxMemFile() override;
    CxMemFile(const CxMemFile&) = delete;
    CxMemFile& operator=(const CxMemFile&) = delete;

    // An empty owned buffer; false when the stream already has one or the
    // allocation fails.
    bool Open();
    // The buffer; the stream stops owning it, so the caller frees it.
    unsigned char* GetBuffer();
    void Free() { Close(); }

    bool Close() override;
    std::size_t Read(void* buffer, std::size_t size, std::size_t count) override;
    // count, or 0 (nothing changed) when there is no buffer, nothing to write
    // or the buffer cannot grow.
    std::size_t Write(const void* buffer, std::size_t size, std::size_t count) override;
    // A position past the used size is allowed; a later write zero-fills the gap.
    bool Seek(long offset, int origin) override;
    long Tell() override;
    long Size() override;
    bool Flush() override;
    bool Eof() override;
    // -1 without a buffer, 1 when the position is past the used size, else 0.
    long Error() override;
    bool PutC(unsigned char c) override;
    long GetC() override;

    // Allocated bytes; grows in whole steps of 4096.
    std::size_t GetCapacity() const { return m_Edge; }

private:
    bool Alloc(std::size_t needed);
    bool Store(const void* src, std::size_t bytes);

    unsigned char* m_pBuffer = nullptr;
    std::size_t m_Size = 0; // bytes that hold data
    bool m_bFreeOnClose = false;
    std::size_t m_Position = 0;
    std::size_t m_Edge = 0; // bytes allocated
};
