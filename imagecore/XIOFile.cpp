#include "imagecore/XIOFile.h"

CxIOFile::~CxIOFile() { Close(); }

bool CxIOFile::Open(const char* path, const char* mode)
{
    if (m_fp || !path || !mode)
        return false;
    m_fp = std::fopen(path, mode);
    if (!m_fp)
        return false;
    m_bCloseFile = true;
    return true;
}

bool CxIOFile::Close()
{
    if (!m_fp || !m_bCloseFile)
        return true;
    const int result = std::fclose(m_fp);
    m_fp = nullptr;
    return result == 0;
}

std::size_t CxIOFile::Read(void* buffer, std::size_t size, std::size_t count)
{
    return m_fp ? std::fread(buffer, size, count, m_fp) : 0;
}

std::size_t CxIOFile::Write(const void* buffer, std::size_t size, std::size_t count)
{
    return m_fp ? std::fwrite(buffer, size, count, m_fp) : 0;
}

bool CxIOFile::Seek(long offset, int origin) { return m_fp && std::fseek(m_fp, offset, origin) == 0; }

long CxIOFile::Tell() { return m_fp ? std::ftell(m_fp) : 0; }

long CxIOFile::Size()
{
    if (!m_fp)
        return -1;
    const long pos = std::ftell(m_fp);
    if (pos < 0 || std::fseek(m_fp, 0, SEEK_END) != 0)
        return -1;
    const long size = std::ftell(m_fp);
    std::fseek(m_fp, pos, SEEK_SET);
    return size;
}

bool CxIOFile::Flush() { return m_fp && std::fflush(m_fp) == 0; }

bool CxIOFile::Eof() { return !m_fp || std::feof(m_fp) != 0; }

long CxIOFile::Error() { return m_fp ? std::ferror(m_fp) : -1; }

bool CxIOFile::PutC(unsigned char c) { return m_fp && std::fputc(c, m_fp) == c; }

long CxIOFile::GetC() { return m_fp ? std::getc(m_fp) : -1; }
