#include "glance/PhotoFolder.h"

#include "platform/codec/QLImageCodec.h"
#include "platform/win/FileFind.h"

#include <algorithm>
#include <strings.h>

namespace glance {

namespace {

bool DecodeWithCodec(const std::string& path, CQLImage* image)
{
    CQLImageCodec codec;
    return codec.LoadFile(path.c_str(), image) != 0;
}

} // namespace

PhotoFolder::PhotoFolder(Decoder decoder) : m_decoder(decoder ? std::move(decoder) : Decoder(DecodeWithCodec)) {}

int PhotoFolder::ListFolder(const std::string& path, std::string* folder, std::vector<PhotoRecord>* records)
{
    const size_t slash = path.rfind('/');
    *folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    records->clear();
    WIN32_FIND_DATA data;
    HANDLE find = ::FindFirstFile((*folder + "*.*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            if (CQLImageCodec::GetFileType(data.cFileName) == 10)
                continue;
            records->push_back({data.cFileName, {}});
        } while (::FindNextFile(find, &data));
        ::FindClose(find);
    }
    std::sort(records->begin(), records->end(), [](const PhotoRecord& a, const PhotoRecord& b) {
        return ::strcasecmp(a.name.c_str(), b.name.c_str()) < 0;
    });
    int index = 0;
    for (size_t i = 0; i < records->size(); ++i) {
        const PhotoRecord& r = (*records)[i];
        if (::strcasecmp(r.name.c_str(), fileName.c_str()) == 0
            || (!r.shortName.empty() && ::strcasecmp(r.shortName.c_str(), fileName.c_str()) == 0))
            index = static_cast<int>(i);
    }
    return index;
}

std::string PhotoFolder::PathOf(int index) const
{
    std::lock_guard lock(m_lock);
    return m_folder + m_records[static_cast<size_t>(index)].name;
}

// Decodes outside the lock, then swaps the pixels into the slot under it; a
// photo that fails leaves the slot empty.
void PhotoFolder::LoadInto(int index, CQLImage* const* slot)
{
    CQLImage decoded;
    if (!m_decoder(PathOf(index), &decoded))
        decoded.Free();
    std::lock_guard lock(m_lock);
    **slot = std::move(decoded);
}

void PhotoFolder::Open(const std::string& path, const Notify& notify)
{
    std::string folder;
    std::vector<PhotoRecord> records;
    const int index = ListFolder(path, &folder, &records);
    int n;
    {
        std::lock_guard lock(m_lock);
        m_folder = std::move(folder);
        m_records = std::move(records);
        m_index = index;
        n = static_cast<int>(m_records.size());
        if (n == 0)
            m_cur->Free();
    }
    if (n > 0)
        LoadInto(index, &m_cur);
    notify();
    if (n > 1) {
        LoadInto((index + 1) % n, &m_next);
        LoadInto((index - 1 + n) % n, &m_prev);
    }
}

void PhotoFolder::Next(const Notify& notify)
{
    int index, n;
    {
        std::lock_guard lock(m_lock);
        n = static_cast<int>(m_records.size());
        if (n < 2)
            return;
        m_index = (m_index + 1) % n;
        index = m_index;
        CQLImage* oldPrev = m_prev;
        m_prev = m_cur;
        m_cur = m_next;
        m_next = oldPrev;
    }
    notify();
    LoadInto((index + 1) % n, &m_next);
}

void PhotoFolder::Previous(const Notify& notify)
{
    int index, n;
    {
        std::lock_guard lock(m_lock);
        n = static_cast<int>(m_records.size());
        if (n < 2)
            return;
        m_index = (m_index - 1 + n) % n;
        index = m_index;
        CQLImage* oldNext = m_next;
        m_next = m_cur;
        m_cur = m_prev;
        m_prev = oldNext;
    }
    notify();
    LoadInto((index - 1 + n) % n, &m_prev);
}

void PhotoFolder::CopyCurrent(CQLImage* out) const
{
    std::lock_guard lock(m_lock);
    if (!out->DuplicateFrom(m_cur))
        out->Free();
}

std::string PhotoFolder::CurrentName() const
{
    std::lock_guard lock(m_lock);
    return m_records.empty() ? std::string() : m_records[static_cast<size_t>(m_index)].name;
}

std::string PhotoFolder::Folder() const
{
    std::lock_guard lock(m_lock);
    return m_folder;
}

bool PhotoFolder::CanStep() const
{
    std::lock_guard lock(m_lock);
    return m_records.size() > 1;
}

int PhotoFolder::Index() const
{
    std::lock_guard lock(m_lock);
    return m_index;
}

std::vector<PhotoRecord> PhotoFolder::Records() const
{
    std::lock_guard lock(m_lock);
    return m_records;
}

} // namespace glance
