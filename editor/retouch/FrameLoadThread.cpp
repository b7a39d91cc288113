#include "editor/retouch/FrameLoadThread.h"

#include "editor/retouch/FrameRenderer.h"
#include "platform/afx/MsgMap.h"
#include "platform/afx/Wnd.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Timing.h"

#include <algorithm>

BEGIN_MESSAGE_MAP(CFrameLoadThread, CWinThread)
    ON_THREAD_MESSAGE(WM_FRAME_LOAD, OnLoad)
END_MESSAGE_MAP()

CFrameLoadThread::CFrameLoadThread()
{
    m_bAutoDelete = FALSE;
}

BOOL CFrameLoadThread::InitInstance()
{
    return TRUE;
}

void CFrameLoadThread::SetTarget(const FrameLoadTarget* target)
{
    m_target.store(target);
}

BOOL CFrameLoadThread::PostPass()
{
    return PostThreadMessage(WM_FRAME_LOAD, 0, static_cast<LPARAM>(m_generation.load()));
}

void CFrameLoadThread::Stop(int pollMs)
{
    // First the generation, then the busy check: a pass that sets busy after
    // this check sees the new generation and reads nothing.
    m_generation.fetch_add(1);
    m_stop.store(1);
    while (m_busy.load())
        ::Sleep(static_cast<DWORD>(pollMs));
    m_stop.store(0);
}

bool CFrameLoadThread::HasPixels(const FrameListEntry& entry)
{
    std::lock_guard<std::mutex> hold(m_previewLock);
    return entry.preview.GetAreaByteSize() != 0;
}

void CFrameLoadThread::OnLoad(WPARAM, LPARAM lParam)
{
    const auto generation = static_cast<unsigned>(lParam);
    // Busy first, then the generation: a retired pass touches nothing, not
    // even the target, which the dialog may be rebuilding.
    m_busy.store(1);
    const FrameLoadTarget* target = Current(generation) ? m_target.load() : nullptr;
    if (target && target->entries) {
        std::vector<FrameListEntry>& entries = *target->entries;
        for (size_t i = 0; Current(generation) && i < entries.size(); ++i) {
            FrameListEntry& entry = entries[i];
            if (entry.IsFolder() || HasPixels(entry))
                continue;
            CQLImage preview;
            attempts.fetch_add(1);
            if (MakePreview(*target, entry, &preview)) {
                {
                    std::lock_guard<std::mutex> hold(m_previewLock);
                    std::swap(entry.preview, preview);
                }
                Pause();
                ::PostMessage(target->notify, WM_FRAME_PREVIEW_READY, i, static_cast<LPARAM>(generation));
            }
            if (m_stop.load()) {
                m_stop.store(0);
                break;
            }
        }
    }
    m_busy.store(0);
}

int CFrameLoadThread::MakePreview(const FrameLoadTarget& target, const FrameListEntry& entry, CQLImage* preview)
{
    if (!target.photo || !entry.item.frame)
        return 0;
    FrameRenderer renderer; // no user text: the grid never shows %U
    CQLImage framed;
    renderer.SetImages(const_cast<CQLImage*>(target.photo), &framed);
    renderer.SetExif(target.exif);
    if (renderer.Apply(entry.item.frame) != 0)
        return 0;
    UINT w = 0, h = 0;
    framed.GetSize(&w, &h);
    if (w == 0 || h == 0)
        return 0;
    int pw = kPreviewSide, ph = kPreviewSide;
    if (w > h)
        ph = std::max(1, static_cast<int>(h * kPreviewSide / w));
    else
        pw = std::max(1, static_cast<int>(w * kPreviewSide / h));
    CQLImageCodec codec;
    return codec.Resample(&framed, preview, pw, ph, 1) != 0;
}

void CFrameLoadThread::Pause()
{
    ::Sleep(30);
}

CFrameLoadThread* StartFrameLoadThread()
{
    static CFrameLoadThread loader;
    if (!loader.m_hThread && !loader.CreateThread())
        return nullptr;
    return &loader;
}
