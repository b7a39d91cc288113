// Reading files without holding them: mapped files, the decoders' size
// limit, and the sink that gathers a whole picture.

#include "platform/codec/CodecInternal.h"

#include "imagecore/ImageLimits.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qlcodec {

bool DecodeSizeOk(ULONGLONG width, ULONGLONG height)
{
    return SizeOk(width, height) && imagecore::DecodeSizeAllowed(width, height, 4);
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
    if (!path || !*path)
        return false;
    // O_NONBLOCK: opening a FIFO would otherwise wait for a writer.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0;
    if (ok && st.st_size > 0) {
        void* p = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
        ok = p != MAP_FAILED;
        if (ok) {
            m_data = static_cast<BYTE*>(p);
            m_size = static_cast<std::size_t>(st.st_size);
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
