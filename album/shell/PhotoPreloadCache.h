// A one-slot cache of the photo the View Photo dialog shows next: a worker
// thread decodes the requested photo into the slot ahead of time.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/WinThread.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

namespace shelf {

class PhotoPreloadCache;

class CCacheThread : public CWinThread {
    DECLARE_DYNCREATE(CCacheThread)
public:
    // The worker loop; returns when the cache stops it.
    BOOL InitInstance() override;

    PhotoPreloadCache* m_pCache = nullptr;
};

class PhotoPreloadCache {
public:
    // Slot states.
    enum : int { kRequested = 0, kDecoding = 1, kDecoded = 2, kFailed = 3 };
    // Decodes a photo file; non-zero on success. The codec's LoadFile by default.
    using Decoder = std::function<int(const char* path, CQLImage* image)>;

    explicit PhotoPreloadCache(Decoder decoder = {});
    // Stops the worker and waits for it.
    ~PhotoPreloadCache();
    PhotoPreloadCache(const PhotoPreloadCache&) = delete;
    PhotoPreloadCache& operator=(const PhotoPreloadCache&) = delete;

    // 0 when the slot already stands for this path; else asks for it, 1.
    int Preload(const char* path);
    // The slot's photo when path is the slot's (0 while it is not begun or
    // when it failed; waits while it is decoding), handed over and the slot
    // emptied; any other path is decoded now on the caller's thread, leaving
    // the slot alone.
    BOOL GetImage(const char* path, CQLImage* out);
    int GetState() const;

private:
    friend class CCacheThread;
    void WorkLoop();

    Decoder m_decode;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    // The slot, tagged with the request it answers: a result decoded for an
    // older request is thrown away.
    CQLImage m_image;
    std::string m_path;
    int m_state = kRequested;
    std::uint64_t m_request = 0;
    std::deque<std::uint64_t> m_requests;
    bool m_stop = false;
    CCacheThread* m_pThread = nullptr;
};

} // namespace shelf
