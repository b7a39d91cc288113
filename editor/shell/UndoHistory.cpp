#include "editor/shell/UndoHistory.h"

#include "editor/shell/SnapshotCodec.h"
#include "platform/win/FileFind.h"
#include "platform/win/Folders.h"

#include <signal.h>
#include <strings.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>
#include <string>

namespace {

HistoryWindowCalls g_windowCalls;

constexpr UINT kRedrawFlags = 0x0001 | 0x0004 | 0x0100; // RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW
constexpr UINT kWarningBox = 0x00000030;                 // MB_OK | MB_ICONWARNING
constexpr const char* kUndoOffText =
    "The undo history could not be written to the temporary folder, so undo is off: "
    "the changes made so far cannot be undone.";
constexpr const char* kUndoOffCaption = "Quillo";

// Our history files: "qlhistory", the day, hour, minute and second, then the
// editor's process id and a number unique in that process.
bool ParseHistoryName(const char* name, long* pid)
{
    static const char kStem[] = "qlhistory";
    if (std::strncmp(name, kStem, sizeof kStem - 1) != 0)
        return false;
    const char* p = name + sizeof kStem - 1;
    auto digits = [&p](long* value) {
        if (*p < '0' || *p > '9')
            return false;
        long v = 0;
        while (*p >= '0' && *p <= '9') {
            if (v < 100000000)
                v = v * 10 + (*p - '0');
            ++p;
        }
        if (value)
            *value = v;
        return true;
    };
    return digits(nullptr) && *p++ == '-' && digits(pid) && *p++ == '-' && digits(nullptr) &&
           std::strcmp(p, ".sav") == 0;
}

bool ProcessRuns(long pid)
{
    if (pid <= 0)
        return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

void SweepStaleHistoryFiles(const char* folder)
{
    const std::string pattern = std::string(folder) + "ql*.sav";
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        long pid = 0;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (ParseHistoryName(data.cFileName, &pid) && !ProcessRuns(pid))
            std::remove((std::string(folder) + data.cFileName).c_str());
    } while (FindNextFile(find, &data));
    FindClose(find);
}

void UndoHistory::SetWindowCalls(const HistoryWindowCalls& calls)
{
    g_windowCalls = calls;
}

UndoHistory::~UndoHistory()
{
    // What Reset leaves behind, without naming a file for a history never used.
    if (m_path[0] != '\0')
        std::remove(m_path);
}

void UndoHistory::BuildFileName()
{
    char folder[400]; // leaves room for the name in m_path
    const DWORD n = GetTempPath(sizeof folder, folder);
    if (n == 0 || n >= sizeof folder)
        return;
    SweepStaleHistoryFiles(folder);
    static std::atomic<int> serial{0};
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::snprintf(m_path, sizeof m_path, "%s%s%d%d%d%d-%d-%d.sav", folder, "qlhistory", local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, static_cast<int>(::getpid()), ++serial);
}

void UndoHistory::Reset()
{
    WaitForWrites();
    if (m_path[0] == '\0')
        BuildFileName();
    if (m_path[0] != '\0')
        std::remove(m_path);
    m_current = 0;
    m_count = 0;
    m_writePos = 0;
    m_groups.clear();
    m_refresh = FALSE;
    m_modified = FALSE;
    m_baseModified = FALSE;
}

int UndoHistory::WriteBlock(std::unique_ptr<BYTE[]> data, DWORD length, LONGLONG* offset)
{
    if (m_path[0] == '\0')
        return 0;
    FILE* file = std::fopen(m_path, "r+b");
    if (!file)
        file = std::fopen(m_path, "w+b");
    if (!file)
        return 0;
    bool ok = fseeko(file, m_writePos, SEEK_SET) == 0;
    if (ok) {
        *offset = ftello(file);
        ok = std::fwrite(data.get(), 1, length, file) == length;
    }
    if (ok)
        m_writePos = ftello(file);
    ok = std::fclose(file) == 0 && ok;
    return ok ? 1 : 0;
}

int UndoHistory::Fail()
{
    Reset();
    // The image changed and what it was cannot be recovered from here.
    m_modified = TRUE;
    m_baseModified = TRUE;
    if (!m_failureShown) {
        m_failureShown = TRUE;
        if (g_windowCalls.messageBox)
            g_windowCalls.messageBox(m_owner, kUndoOffText, kUndoOffCaption, kWarningBox);
    }
    return 0;
}

void UndoHistory::CutFrom(int number)
{
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        std::vector<UndoStep>& steps = m_groups[g].steps;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            if (steps[i].number < number)
                continue;
            steps.resize(i);
            m_groups.resize(steps.empty() ? g : g + 1);
            return;
        }
    }
}

int UndoHistory::Push(const CQLImage* image, const char* actionName)
{
    BYTE* block = nullptr;
    DWORD length = 0;
    if (!SnapshotCodec::Encode(image, &block, &length))
        return PushSnapshot(nullptr, 0, actionName);
    return PushSnapshot(std::unique_ptr<BYTE[]>(block), length, actionName);
}

int UndoHistory::PushSnapshot(std::unique_ptr<BYTE[]> block, DWORD length, const char* actionName)
{
    if (m_refresh) {
        m_refresh = FALSE;
        if (!m_groups.empty() && g_windowCalls.sendMessage)
            g_windowCalls.sendMessage(m_owner, WM_HISTORY_REFRESH, 1,
                                      reinterpret_cast<LPARAM>(&m_groups.back().steps.front()));
    }

    if (!block)
        return Fail();
    LONGLONG offset = 0;
    if (!WriteBlock(std::move(block), length, &offset))
        return Fail();
    m_failureShown = FALSE;

    UndoStep step{};
    std::snprintf(step.name, sizeof step.name, "%s", actionName ? actionName : "");
    step.offset = offset;
    step.length = static_cast<LONG>(length);
    step.number = m_current;
    ++m_current;
    if (m_count < m_current) {
        m_count = m_current;
    } else {
        CutFrom(m_current - 1);
        m_count = m_current;
    }

    if (m_groups.empty() || strcasecmp(m_groups.back().steps.back().name, step.name) != 0) {
        UndoGroup group;
        group.steps.push_back(step);
        m_groups.push_back(std::move(group));
    } else {
        m_groups.back().steps.push_back(step);
    }

    if (g_windowCalls.redrawWindow)
        g_windowCalls.redrawWindow(m_owner, nullptr, nullptr, kRedrawFlags);
    if (m_groups.size() > 1)
        m_modified = TRUE;
    return 1;
}

int UndoHistory::GoToStep(CQLImage* image, int n)
{
    m_refresh = FALSE;
    if (n == m_current - 1)
        return 1;
    const UndoStep* found = nullptr;
    for (const UndoGroup& group : m_groups)
        for (const UndoStep& step : group.steps)
            if (step.number == n)
                found = &step;
    if (!found || found->length < 0)
        return 0;

    WaitForWrites();
    FILE* file = std::fopen(m_path, "rb");
    if (!file)
        return 0;
    std::unique_ptr<BYTE[]> block(new (std::nothrow) BYTE[found->length ? found->length : 1]);
    const DWORD length = static_cast<DWORD>(found->length);
    const bool read = block && fseeko(file, found->offset, SEEK_SET) == 0 &&
                      std::fread(block.get(), 1, length, file) == length;
    std::fclose(file);
    if (!read || !SnapshotCodec::Decode(image, block.get(), length))
        return 0;

    m_current = n + 1;
    m_writePos = found->offset + found->length;
    m_modified = (n != 0 || m_baseModified) ? TRUE : FALSE;
    return 1;
}

int UndoHistory::Undo(CQLImage* image)
{
    return CanUndo() ? GoToStep(image, m_current - 2) : 0;
}

int UndoHistory::Redo(CQLImage* image)
{
    return CanRedo() ? GoToStep(image, m_current) : 0;
}

void UndoHistory::BuildList(std::vector<HistoryListEntry>& list, int* currentIndex)
{
    list.clear();
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        UndoGroup& group = m_groups[g];
        const int index = static_cast<int>(g);
        if (group.steps.size() == 1) {
            list.push_back({kHistorySingle, &group.steps[0], index, &group});
        } else if (!group.expanded) {
            list.push_back({kHistoryCollapsed, &group.steps.back(), index, &group});
        } else {
            list.push_back({kHistoryGroupHead, &group.steps.back(), index, &group});
            for (const UndoStep& step : group.steps)
                list.push_back({kHistoryGroupStep, &step, index, &group});
        }
    }
    if (currentIndex)
        *currentIndex = m_current - 1;
}

char* UndoHistory::GetActionText(int size, char* buffer) const
{
    if (size <= 0)
        return buffer;
    buffer[0] = '\0';
    std::size_t used = 0;
    for (const UndoGroup& group : m_groups) {
        for (const UndoStep& step : group.steps) {
            if (step.number >= m_current)
                return buffer;
            const std::size_t len = std::strlen(step.name);
            if (len == 0)
                continue;
            if (len + used + 2 > static_cast<std::size_t>(size))
                return buffer;
            std::memcpy(buffer + used, step.name, len);
            used += len;
            buffer[used++] = ',';
            buffer[used] = '\0';
        }
    }
    return buffer;
}
