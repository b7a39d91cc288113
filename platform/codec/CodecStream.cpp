// Reading files without holding them: mapped files, the decoders' size
// limit, and the sink that gathers a whole picture.

#include "platform/codec/CodecInternal.h"

#include "imagecore/ImageLimits.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlcodec {

bool DecodeSizeOk(ULONGLONG width, ULONGLONG height)
{
    return SizeOk(width, height) && imagecore::DecodeSizeAllowed(width, height, 4);
}

std::size_t MemoryReader::ReadAt(ULONGLONG offset, void* out, std::size_t n)
{
    if (offset >= m_size)
        return 0;
    const std::size_t k = static_cast<std::size_t>(std::min<ULONGLONG>(n, m_size - offset));
    std::memcpy(out, m_data + offset, k);
    return k;
}

namespace {

constexpr std::size_t kReadAhead = 256 * 1024;

// A regular file opened for reading and its size; -1 for anything else.
int OpenRegular(const char* path, ULONGLONG& size)
{
    if (!path || !*path)
        return -1;
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
        ::close(fd);
        return -1;
    }
    size = static_cast<ULONGLONG>(st.st_size);
    return fd;
}

} // namespace

FileReader::~FileReader()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FileReader::Open(const char* path)
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_size = 0;
    m_blockSize = 0;
    m_fd = OpenRegular(path, m_size);
    return m_fd >= 0;
}

std::size_t FileReader::ReadAt(ULONGLONG offset, void* out, std::size_t n)
{
    if (m_fd < 0 || offset >= m_size || n == 0)
        return 0;
    n = static_cast<std::size_t>(std::min<ULONGLONG>(n, m_size - offset));
    BYTE* dst = static_cast<BYTE*>(out);
    std::size_t done = 0;
    while (done < n) {
        const ULONGLONG at = offset + done;
        if (at >= m_blockAt && at < m_blockAt + m_blockSize) {
            const std::size_t k = std::min<std::size_t>(n - done, static_cast<std::size_t>(m_blockAt + m_blockSize - at));
            std::memcpy(dst + done, m_block.get() + (at - m_blockAt), k);
            done += k;
            continue;
        }
        if (n - done >= kReadAhead) { // large reads go straight to the caller
            const ssize_t k = ::pread(m_fd, dst + done, n - done, static_cast<off_t>(at));
            if (k < 0 && errno == EINTR)
                continue;
            if (k <= 0)
                break;
            done += static_cast<std::size_t>(k);
            continue;
        }
        if (!m_block) {
            m_block.reset(new (std::nothrow) BYTE[kReadAhead]);
            if (!m_block)
                break;
        }
        m_blockSize = 0;
        const ssize_t k = ::pread(m_fd, m_block.get(), kReadAhead, static_cast<off_t>(at));
        if (k < 0 && errno == EINTR)
            continue;
        if (k <= 0)
            break;
        m_blockAt = at;
        m_blockSize = static_cast<std::size_t>(k);
    }
    return done;
}

MappedFile::~MappedFile()
{
    if (m_data)
        ::munmap(m_data, m_size);
}

bool MappedFile::Open(const char* path)
{
    if (m_data)
        ::munmap(m_data, m_size);
    m_data = nullptr;
    m_size = 0;
    ULONGLONG size = 0;
    const int fd = OpenRegular(path, size);
    if (fd < 0)
        return false;
    bool ok = true;
    if (size > 0) {
        void* p = ::mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
        ok = p != MAP_FAILED;
        if (ok) {
            m_data = static_cast<BYTE*>(p);
            m_size = static_cast<std::size_t>(size);
        }
    }
    ::close(fd);
    return ok;
}

bool ImageSink::Begin(UINT width, UINT height, bool)
{
    return MakeImage(m_image, width, height);
}

} // namespace qlcodec
