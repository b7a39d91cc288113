// The quality dialog's test encodes, on a thread of their own: encodes the
// photo into the test file, loads the file back and tells the window. A
// request made while one is waiting replaces it; one being encoded finishes.
#pragma once

#include "imagecore/QLImage.h"
#include "platform/afx/Afx.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class CJpegTestEncoder {
public:
    CJpegTestEncoder() = default;
    ~CJpegTestEncoder();
    CJpegTestEncoder(const CJpegTestEncoder&) = delete;
    CJpegTestEncoder& operator=(const CJpegTestEncoder&) = delete;

    // image must stay unchanged until Stop. Each finished encode posts
    // message to notify.
    void Start(HWND notify, UINT message, const CQLImage* image, const std::string& path);
    // Encodes at the codec's quality (above 100: full colour resolution).
    void Request(int codecQuality);
    // The last finished encode: the re-loaded picture and the file's bytes.
    // FALSE when there is none, or it failed (image and size untouched).
    BOOL TakeResult(CQLImage* image, DWORD* fileBytes);
    // Returns when nothing waits and nothing is being encoded.
    void WaitUntilIdle();
    // Finishes the encode in progress, drops a waiting one, ends the thread.
    void Stop();

private:
    void Loop();

    HWND m_notify = nullptr;
    UINT m_message = 0;
    const CQLImage* m_image = nullptr;
    std::string m_path;
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_wake;
    int m_pending = -1;
    bool m_busy = false;
    bool m_stop = false;
    bool m_hasResult = false;
    bool m_resultOk = false;
    CQLImage m_result;
    DWORD m_resultBytes = 0;
};
