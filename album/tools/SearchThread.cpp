#include "album/tools/SearchThread.h"

#include "platform/afx/MsgMap.h"
#include "platform/codec/QLImageCodec.h"

namespace shelf {

IMPLEMENT_DYNCREATE(CSearchThread, CWinThread)

BEGIN_MESSAGE_MAP(CSearchThread, CWinThread)
    ON_THREAD_MESSAGE(WM_SEARCH_PHOTO, OnSearchMessage)
END_MESSAGE_MAP()

CSearchThread::CSearchThread()
{
    // The album's instance lives for the whole program, never deleted by its thread.
    m_bAutoDelete = FALSE;
}

BOOL CSearchThread::InitInstance() { return TRUE; }

void CSearchThread::StartSearch(SearchCriteria criteria, std::vector<std::string> folders)
{
    m_search.Start(std::move(criteria), std::move(folders));
    PostThreadMessage(WM_SEARCH_PHOTO, 1, 0);
}

void CSearchThread::StopSearch()
{
    m_search.Stop();
    // The walk drops its queues at this step.
    PostThreadMessage(WM_SEARCH_PHOTO, 1, 0);
}

void CSearchThread::RequestPreview(const PreviewRequest& request, int kind)
{
    {
        std::lock_guard lock(m_requestMutex);
        m_request = request;
        m_requestKind = kind;
    }
    PostThreadMessage(WM_SEARCH_PHOTO, static_cast<WPARAM>(kind), 0);
}

LRESULT CSearchThread::OnSearchMessage(WPARAM kind, LPARAM)
{
    if (kind == 1) {
        const auto notify = [this](WPARAM w, LPARAM l) { ::PostMessage(m_notifyWnd.load(), WM_SEARCH_PHOTO, w, l); };
        // One step a message, so that a stop or a preview gets in between.
        if (m_search.Step(notify))
            PostThreadMessage(WM_SEARCH_PHOTO, 1, 0);
    } else if (kind == 2 || kind == 3) {
        RunPreview(static_cast<int>(kind));
    }
    return 0;
}

void CSearchThread::RunPreview(int kind)
{
    PreviewRequest request;
    {
        std::lock_guard lock(m_requestMutex);
        if (!m_request || m_requestKind != kind)
            return;
        request = *m_request;
        m_request.reset();
    }
    if (m_search.IsRunning() || !request.target || !request.current || request.current->load() != request.id)
        return;
    m_previewBusy.store(true);
    CQLImage image;
    bool made = false;
    if (kind == 2) {
        {
            std::lock_guard lock(m_previewMutex);
            request.target->Free();
        }
        CQLImageCodec codec;
        made = codec.LoadFile(request.path.c_str(), &image) != 0;
    } else {
        made = BuildFolderSheet(request.path, image);
    }
    if (made) {
        std::lock_guard lock(m_previewMutex);
        made = request.target->DuplicateFrom(&image) != 0;
    }
    m_previewBusy.store(false);
    if (made)
        ::PostMessage(request.wnd, WM_SEARCH_PHOTO, 2, request.id);
}

CSearchThread& SearchThread()
{
    // Program lifetime: its thread may still be winding down at exit.
    static CSearchThread* thread = new CSearchThread;
    return *thread;
}

CSearchThread& StartSearchThread()
{
    CSearchThread& thread = SearchThread();
    if (!thread.m_hThread)
        thread.CreateThread(0);
    return thread;
}

} // namespace shelf
