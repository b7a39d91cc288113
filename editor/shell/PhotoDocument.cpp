#include "editor/shell/PhotoDocument.h"

#include "kit/ComplexImageUtils.h"

#include <cstring>
#include <utility>

int AsyncUndoHistory::WriteBlock(std::unique_ptr<BYTE[]> data, DWORD length, LONGLONG* offset)
{
    if (!m_writer.IsCreated() && !m_writer.CreateThread())
        return 0;
    if (!m_writer.IsOk() || m_path[0] == '\0')
        return 0;
    // The offset is the history's own write position: the file itself may
    // still be waiting for earlier blocks.
    *offset = m_writePos;
    if (!m_writer.QueueWrite(std::move(data), length, m_path, *offset))
        return 0;
    m_writePos += length;
    return 1;
}

CPhotoDocument::CPhotoDocument() = default;

CPhotoDocument::~CPhotoDocument()
{
    Clear();
}

void CPhotoDocument::Clear()
{
    delete m_kit;
    m_kit = nullptr;
    m_state = 0;
    m_history.Reset();
    m_image.Free();
    m_path[0] = '\0';
    m_fileSize = 0;
}

const char* CPhotoDocument::GetFileTitle(char* out) const
{
    const char* slash = std::strrchr(m_path, '/');
    const char* name = slash ? slash + 1 : m_path;
    const char* dot = std::strchr(name, '.');
    const char* end = dot ? dot : name + std::strlen(name);
    const std::size_t n = static_cast<std::size_t>(end - name);
    std::memcpy(out, name, n);
    out[n] = '\0';
    return end;
}
