#include "editor/retouch/PaintUndoStore.h"

#include "platform/win/Folders.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool SameSize(const CQLImage* a, const CQLImage* b)
{
    UINT aw = 0, ah = 0, bw = 0, bh = 0;
    a->GetSize(&aw, &ah);
    b->GetSize(&bw, &bh);
    return aw == bw && ah == bh;
}

// The existing file for update, else a new one; never someone else's file
// under our name.
File OpenForUpdate(const std::string& path)
{
    if (std::FILE* f = std::fopen(path.c_str(), "r+b"))
        return File(f);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return File();
    std::FILE* f = ::fdopen(fd, "w+b");
    if (!f)
        ::close(fd);
    return File(f);
}

}  // namespace

CPaintUndoStore::~CPaintUndoStore()
{
    if (!m_path.empty())
        DeleteFile();
}

std::string CPaintUndoStore::FileName(const char* tempFolder, int day, int hour, int minute, int second, int pid)
{
    char name[512];
    std::snprintf(name, sizeof name, "%s%s%d%d%d%d-%d.sav", tempFolder, "qlpaint", day, hour, minute, second, pid);
    return name;
}

void CPaintUndoStore::DeleteFile() const
{
    if (!m_path.empty())
        std::remove(m_path.c_str());
}

void CPaintUndoStore::Init(const CQLImage* current, CQLImage* reference)
{
    m_records.clear();
    char folder[512] = {};
    ::GetTempPath(sizeof folder, folder);
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    m_path = FileName(folder, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(::getpid()));
    Clear(current, reference);
}

void CPaintUndoStore::Clear(const CQLImage* current, CQLImage* reference)
{
    DeleteFile();
    m_offset = 0;
    m_records.clear();
    if (current && current->GetAreaByteSize() != 0 && reference)
        reference->DuplicateFrom(current);
}

bool CPaintUndoStore::Record(const CQLImage* current, CQLImage* reference, RECT rect)
{
    if (!current || !reference)
        return false;
    if (!SameSize(current, reference)) {
        Clear(current, reference);
        return false;
    }
    File file = OpenForUpdate(m_path);
    if (!file || std::fseek(file.get(), m_offset, SEEK_SET) != 0)
        return false;
    UINT width = 0, height = 0;
    current->GetSize(&width, &height);
    StrokeUndoRecord record{std::max<int32_t>(0, rect.left),
                            std::max<int32_t>(0, rect.top),
                            std::min<int32_t>(static_cast<int32_t>(width), rect.right),
                            std::min<int32_t>(static_cast<int32_t>(height), rect.bottom),
                            m_offset,
                            0};
    const int columns = record.right - record.left;
    if (columns > 0) {
        std::vector<BYTE> line(static_cast<size_t>(columns) * 3);
        for (int y = record.top; y < record.bottom; ++y) {
            const BYTE* p = reference->GetBuffer(record.left, y);
            for (int x = 0; x < columns; ++x, p += 4) {
                line[x * 3] = p[0];
                line[x * 3 + 1] = p[1];
                line[x * 3 + 2] = p[2];
            }
            // A block cut short would restore garbage later: keep none.
            if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size())
                return false;
            record.length += static_cast<int32_t>(line.size());
        }
    }
    if (std::fflush(file.get()) != 0)
        return false;
    m_offset = static_cast<int32_t>(std::ftell(file.get()));
    m_records.push_back(record);
    file.reset();
    reference->DuplicateFrom(current);
    return true;
}

CPaintUndoStore::UndoResult CPaintUndoStore::Undo(CQLImage* current, CQLImage* reference)
{
    if (!current || !reference)
        return UndoResult::Nothing;
    if (!SameSize(current, reference)) {
        Clear(current, reference);
        return UndoResult::Nothing;
    }
    if (m_records.empty())
        return UndoResult::Nothing;
    const StrokeUndoRecord record = m_records.back();
    File file(std::fopen(m_path.c_str(), "rb"));
    if (!file)
        return UndoResult::Nothing;
    m_offset = record.offset;
    UINT width = 0, height = 0;
    current->GetSize(&width, &height);
    const int columns = std::max(0, record.right - record.left);
    bool complete = std::fseek(file.get(), record.offset, SEEK_SET) == 0;
    std::vector<BYTE> line(static_cast<size_t>(columns) * 3);
    for (int y = record.top; complete && y < record.bottom; ++y) {
        if (y < 0 || y >= static_cast<int>(height) || columns == 0)
            continue;
        const size_t got = std::fread(line.data(), 1, line.size(), file.get());
        BYTE* p = current->GetBuffer(record.left, y);
        for (size_t x = 0; x + 3 <= got; x += 3, p += 4) {
            p[0] = line[x];
            p[1] = line[x + 1];
            p[2] = line[x + 2];
            p[3] = 0;
        }
        complete = got == line.size();
    }
    m_records.pop_back();
    // Even after a short block the next stroke must record true "before" pixels.
    reference->DuplicateFrom(current);
    return complete ? UndoResult::Restored : UndoResult::ShortFile;
}

size_t CPaintUndoStore::Commit()
{
    DeleteFile();
    const size_t count = m_records.size();
    m_records.clear();
    m_offset = 0;
    return count;
}
