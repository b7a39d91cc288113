#include "platform/win/GlobalMemory.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <unordered_set>

struct QlGlobalRecord {
    std::size_t size;
    int locks;
    // The data follows, aligned for any type.
    alignas(std::max_align_t) unsigned char data[1];
};

namespace {

// Handles come back from other code (clipboard, drops): only live ones are used.
std::mutex& liveMutex()
{
    static auto* m = new std::mutex;
    return *m;
}

std::unordered_set<QlGlobalRecord*>& liveBlocks()
{
    static auto* s = new std::unordered_set<QlGlobalRecord*>;
    return *s;
}

bool isLive(HGLOBAL block)
{
    return block && liveBlocks().count(block) != 0;
}

} // namespace

HGLOBAL GlobalAlloc(UINT /*flags*/, std::size_t bytes)
{
    const std::size_t header = offsetof(QlGlobalRecord, data);
    if (bytes > SIZE_MAX - header - 1)
        return nullptr;
    void* raw = std::calloc(1, header + (bytes ? bytes : 1));
    if (!raw)
        return nullptr;
    auto* block = new (raw) QlGlobalRecord;
    block->size = bytes;
    block->locks = 0;
    std::lock_guard<std::mutex> lock(liveMutex());
    try {
        liveBlocks().insert(block);
    } catch (...) {
        std::free(raw);
        return nullptr;
    }
    return block;
}

void* GlobalLock(HGLOBAL block)
{
    std::lock_guard<std::mutex> lock(liveMutex());
    if (!isLive(block))
        return nullptr;
    ++block->locks;
    return block->data;
}

BOOL GlobalUnlock(HGLOBAL block)
{
    std::lock_guard<std::mutex> lock(liveMutex());
    if (!isLive(block) || block->locks == 0)
        return FALSE;
    return --block->locks > 0 ? TRUE : FALSE;
}

std::size_t GlobalSize(HGLOBAL block)
{
    std::lock_guard<std::mutex> lock(liveMutex());
    return isLive(block) ? block->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL block)
{
    std::lock_guard<std::mutex> lock(liveMutex());
    if (!isLive(block))
        return block;
    liveBlocks().erase(block);
    std::free(block);
    return nullptr;
}
