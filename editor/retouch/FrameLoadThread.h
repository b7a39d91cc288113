// The program-wide worker that makes the Add Frame grid's small framed
// previews, so the grid fills in while the user browses.
//
// Thread message WM_FRAME_LOAD in (lParam the pass's generation); notice
// WM_FRAME_PREVIEW_READY out, posted to the dialog (wParam the entry index,
// lParam the generation). The loader never draws and never keeps a pass
// alive across a refill: every refill begins with Stop, which retires the
// passes already posted, so a pass reads entries only while they stand.
#pragma once

#include "editor/retouch/FrameList.h"
#include "imagecore/QLImage.h"
#include "platform/afx/WinThread.h"

#include <atomic>
#include <mutex>
#include <vector>

struct ExifFields;

inline constexpr UINT WM_FRAME_LOAD = WM_USER + 213;
inline constexpr UINT WM_FRAME_PREVIEW_READY = WM_USER + 214;

// One grid item of the Add Frame dialog, owned by the dialog.
struct FrameListEntry {
    char text[256] = {};
    CQLImage preview;   // templates only; empty until the loader makes it
    FrameListItem item; // kind and what it stands for

    bool IsFolder() const { return item.kind != FrameItemKind::Template; }
};

// What a pass works on; the dialog keeps it while it is set.
struct FrameLoadTarget {
    std::vector<FrameListEntry>* entries = nullptr;
    const CQLImage* photo = nullptr; // the 200-pixel copy
    const ExifFields* exif = nullptr;
    HWND notify = nullptr;
};

class CFrameLoadThread : public CWinThread {
public:
    static constexpr int kPreviewSide = 100;

    CFrameLoadThread();

    BOOL InitInstance() override;

    // User-interface thread. A target of null means no dialog.
    void SetTarget(const FrameLoadTarget* target);
    // Posts a pass over the target's entries; FALSE when it could not be posted.
    BOOL PostPass();
    // Retires every posted pass, ends the running one after its current
    // attempt and returns once the loader is idle (polling every pollMs).
    void Stop(int pollMs);
    // Only the stop flag: the pass ends after its next preview attempt.
    void RequestStop() { m_stop.store(1); }
    int IsBusy() const { return m_busy.load(); }
    // The generation that PostPass gives its pass, and its notices carry.
    unsigned Generation() const { return m_generation.load(); }
    // Held while a finished preview is swapped into its entry.
    std::mutex& PreviewLock() { return m_previewLock; }

    // Every attempt made (tests follow the protocol with it).
    std::atomic<int> attempts{0};

protected:
    void OnLoad(WPARAM, LPARAM generation);
    // The framed preview of entry fitted to 100 x 100; non-zero on success.
    virtual int MakePreview(const FrameLoadTarget& target, const FrameListEntry& entry, CQLImage* preview);
    // Between two previews, so the interface keeps the processor too.
    virtual void Pause();

    DECLARE_MESSAGE_MAP()

private:
    bool Current(unsigned generation) const { return m_generation.load() == generation; }
    bool HasPixels(const FrameListEntry& entry);

    std::atomic<const FrameLoadTarget*> m_target{nullptr};
    std::atomic<unsigned> m_generation{0};
    std::atomic<int> m_busy{0};
    std::atomic<int> m_stop{0};
    std::mutex m_previewLock;
};

// The editor's one loader, its thread started on the first call.
CFrameLoadThread* StartFrameLoadThread();
