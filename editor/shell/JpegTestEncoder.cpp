#include "editor/shell/JpegTestEncoder.h"

#include "platform/codec/QLImageCodec.h"

#include <filesystem>

CJpegTestEncoder::~CJpegTestEncoder()
{
    Stop();
}

void CJpegTestEncoder::Start(HWND notify, UINT message, const CQLImage* image, const std::string& path)
{
    Stop();
    m_notify = notify;
    m_message = message;
    m_image = image;
    m_path = path;
    m_stop = false;
    m_thread = std::thread([this] { Loop(); });
}

void CJpegTestEncoder::Request(int codecQuality)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_pending = codecQuality;
    }
    m_wake.notify_all();
}

BOOL CJpegTestEncoder::TakeResult(CQLImage* image, DWORD* fileBytes)
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_hasResult)
        return FALSE;
    m_hasResult = false;
    if (!m_resultOk)
        return FALSE;
    *image = std::move(m_result);
    *fileBytes = m_resultBytes;
    return TRUE;
}

void CJpegTestEncoder::WaitUntilIdle()
{
    std::unique_lock<std::mutex> hold(m_lock);
    m_wake.wait(hold, [this] { return (m_pending < 0 && !m_busy) || !m_thread.joinable(); });
}

void CJpegTestEncoder::Stop()
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_stop = true;
        m_pending = -1;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void CJpegTestEncoder::Loop()
{
    for (;;) {
        int quality;
        {
            std::unique_lock<std::mutex> hold(m_lock);
            m_wake.wait(hold, [this] { return m_stop || m_pending >= 0; });
            if (m_stop)
                return;
            quality = m_pending;
            m_pending = -1;
            m_busy = true;
        }
        CQLImageCodec codec;
        CQLImage loaded;
        const bool ok = codec.SaveJpegFile(m_path.c_str(), m_image, quality, 72) &&
                        codec.LoadFile(m_path.c_str(), &loaded);
        std::error_code error;
        const auto size = ok ? std::filesystem::file_size(m_path, error) : 0;
        const DWORD bytes = error ? 0 : static_cast<DWORD>(size);
        {
            std::lock_guard<std::mutex> hold(m_lock);
            m_hasResult = true;
            m_resultOk = ok;
            if (ok) {
                m_result = std::move(loaded);
                m_resultBytes = bytes;
            }
            m_busy = false;
        }
        m_wake.notify_all();
        ::PostMessage(m_notify, m_message, 0, 0);
    }
}
