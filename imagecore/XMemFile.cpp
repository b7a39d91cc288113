#include "imagecore/XMemFile.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kGrowStep = 4096;

// size * count, or false when it does not fit.
bool Product(std::size_t size, std::size_t count, std::size_t* bytes)
{
    if (count != 0 && size > SIZE_MAX / count)
        return false;
    *bytes = size * count;
    return true;
}

} // namespace

CxMemFile::CxMemFile(void* buffer, std::size_t size)
    : m_pBuffer(static_cast<unsigned char*>(buffer)), m_Size(buffer ? size : 0), m_bFreeOnClose(true),
      m_Edge(buffer ? size : 0)
{
}

CxMemFile::~CxMemFile() { Close(); }

bool CxMemFile::Open()
{
    if (m_pBuffer)
        return false;
    m_Size = m_Position = m_Edge = 0;
    m_pBuffer = static_cast<unsigned char*>(std::malloc(1));
    m_bFreeOnClose = true;
    return m_pBuffer != nullptr;
}

unsigned char* CxMemFile::GetBuffer()
{
    m_bFreeOnClose = false;
    return m_pBuffer;
}

bool CxMemFile::Close()
{
    if (m_pBuffer && m_bFreeOnClose)
        std::free(m_pBuffer);
    m_pBuffer = nullptr;
    m_Size = m_Position = m_Edge = 0;
    return true;
}

std::size_t CxMemFile::Read(void* buffer, std::size_t size, std::size_t count)
{
    std::size_t bytes = 0;
    if (!m_pBuffer || !buffer || !Product(size, count, &bytes) || bytes == 0 || m_Position >= m_Size)
        return 0;
    const std::size_t n = bytes < m_Size - m_Position ? bytes : m_Size - m_Position;
    std::memcpy(buffer, m_pBuffer + m_Position, n);
    m_Position += n;
    return n / size;
}

bool CxMemFile::Alloc(std::size_t needed)
{
    if (needed <= m_Edge && m_pBuffer)
        return true;
    std::size_t edge = m_Edge;
    if (needed > m_Edge) {
        const std::size_t steps = (needed - m_Edge + kGrowStep - 1) / kGrowStep;
        if (steps > (SIZE_MAX - m_Edge) / kGrowStep)
            return false;
        edge = m_Edge + steps * kGrowStep;
    }
    auto* grown = static_cast<unsigned char*>(std::realloc(m_pBuffer, edge ? edge : 1));
    if (!grown)
        return false;
    m_pBuffer = grown;
    m_Edge = edge;
    m_bFreeOnClose = true;
    return true;
}

// Writes bytes at the position, growing as needed; all or nothing.
bool CxMemFile::Store(const void* src, std::size_t bytes)
{
    if (bytes > SIZE_MAX - m_Position || !Alloc(m_Position + bytes))
        return false;
    if (m_Position > m_Size)
        std::memset(m_pBuffer + m_Size, 0, m_Position - m_Size); // no stale heap bytes in the gap
    std::memcpy(m_pBuffer + m_Position, src, bytes);
    m_Position += bytes;
    if (m_Position > m_Size)
        m_Size = m_Position;
    return true;
}

std::size_t CxMemFile::Write(const void* buffer, std::size_t size, std::size_t count)
{
    std::size_t bytes = 0;
    if (!m_pBuffer || !buffer || !Product(size, count, &bytes) || bytes == 0)
        return 0;
    return Store(buffer, bytes) ? count : 0;
}

bool CxMemFile::Seek(long offset, int origin)
{
    if (!m_pBuffer)
        return false;
    long long base = 0;
    switch (origin) {
    case 0: base = 0; break;
    case 1: base = static_cast<long long>(m_Position); break;
    case 2: base = static_cast<long long>(m_Size); break;
    default: return false;
    }
    long long pos = 0;
    if (__builtin_add_overflow(base, static_cast<long long>(offset), &pos) || pos < 0 || pos > LONG_MAX)
        return false;
    m_Position = static_cast<std::size_t>(pos);
    return true;
}

long CxMemFile::Tell() { return m_pBuffer ? static_cast<long>(m_Position) : -1; }

long CxMemFile::Size() { return m_pBuffer ? static_cast<long>(m_Size) : -1; }

bool CxMemFile::Flush() { return m_pBuffer != nullptr; }

bool CxMemFile::Eof() { return !m_pBuffer || m_Position >= m_Size; }

long CxMemFile::Error()
{
    if (!m_pBuffer)
        return -1;
    return m_Position > m_Size ? 1 : 0;
}

bool CxMemFile::PutC(unsigned char c) { return m_pBuffer && Store(&c, 1); }

long CxMemFile::GetC()
{
    if (Eof())
        return -1;
    return m_pBuffer[m_Position++];
}
