#include "album/shell/PhotoPreloadCache.h"

#include "platform/codec/QLImageCodec.h"

namespace shelf {

IMPLEMENT_DYNCREATE(CCacheThread, CWinThread)

BOOL CCacheThread::InitInstance()
{
    if (m_pCache)
        m_pCache->WorkLoop();
    return FALSE;
}

PhotoPreloadCache::PhotoPreloadCache(Decoder decoder) : m_decode(std::move(decoder))
{
    if (!m_decode)
        m_decode = [](const char* path, CQLImage* image) { return CQLImageCodec().LoadFile(path, image); };
    m_pThread = new CCacheThread;
    m_pThread->m_pCache = this;
    m_pThread->m_bAutoDelete = FALSE;
    if (!m_pThread->CreateThread()) {
        delete m_pThread;
        m_pThread = nullptr;
    }
}

PhotoPreloadCache::~PhotoPreloadCache()
{
    {
        std::lock_guard lock(m_lock);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_pThread) {
        WaitForSingleObject(m_pThread->m_hThread, INFINITE);
        delete m_pThread;
    }
}

int PhotoPreloadCache::Preload(const char* path)
{
    if (!path)
        return 0;
    {
        std::lock_guard lock(m_lock);
        if (m_path == path) // file identity: case counts
            return 0;
        m_path = path;
        m_state = kRequested;
        m_requests.push_back(++m_request);
    }
    m_changed.notify_all();
    return 1;
}

BOOL PhotoPreloadCache::GetImage(const char* path, CQLImage* out)
{
    if (!path || !out)
        return FALSE;
    std::unique_lock lock(m_lock);
    if (m_path != path) {
        lock.unlock();
        return m_decode(path, out) ? TRUE : FALSE;
    }
    const std::uint64_t request = m_request;
    m_changed.wait(lock, [&] { return m_state != kDecoding || m_request != request; });
    if (m_request != request || m_state == kRequested)
        return FALSE;
    if (m_state == kFailed) {
        m_image.Free();
        return FALSE;
    }
    // The photo is handed over, not copied: a step to the preloaded photo
    // waits for nothing. The slot is empty then, so asking for the same path
    // again (a one-photo slideshow) decodes it anew.
    *out = std::move(m_image);
    m_image.Free();
    m_path.clear();
    m_state = kRequested;
    UINT w = 0, h = 0;
    out->GetSize(&w, &h);
    return w > 0 && h > 0 ? TRUE : FALSE;
}

int PhotoPreloadCache::GetState() const
{
    std::lock_guard lock(m_lock);
    return m_state;
}

void PhotoPreloadCache::WorkLoop()
{
    std::unique_lock lock(m_lock);
    for (;;) {
        m_changed.wait(lock, [&] { return m_stop || !m_requests.empty(); });
        if (m_stop)
            return;
        const std::uint64_t request = m_requests.front();
        m_requests.pop_front();
        if (request != m_request)
            continue; // a later request stands for the slot now
        const std::string path = m_path;
        m_state = kDecoding;
        lock.unlock();
        CQLImage image;
        const bool decoded = m_decode(path.c_str(), &image) != 0;
        lock.lock();
        if (request == m_request) {
            m_image = std::move(image);
            m_state = decoded ? kDecoded : kFailed;
        }
        m_changed.notify_all();
    }
}

} // namespace shelf
