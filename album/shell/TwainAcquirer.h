// The application side of scanner and camera acquisition: opens the source
// manager on a window, lets the user pick a source, enables the source's own
// dialog and runs the native transfers, handing each image (a DIB in global
// memory) to OnImage.
#pragma once

#include "platform/afx/WinUser.h"
#include "platform/twain/Twain.h"

namespace shelf {

class TwainAcquirer {
public:
    TwainAcquirer();
    virtual ~TwainAcquirer();

    // The source manager Init opens; tests put a scripted one here. NULL
    // stands for a source manager that is not there.
    static DSMENTRYPROC s_sourceManager;

    int Init(HWND parent);
    void Release();
    int IsLoaded() const { return m_dsmEntry != nullptr; }
    virtual void FillIdentity();
    virtual int SelectSource();
    virtual int OpenSource(const TW_IDENTITY* identity = nullptr);
    void CloseSource();
    int Acquire(int count);
    int ProcessMessage(MSG* msg);
    // The first "<folder>Pic%04d.jpg" that does not exist; FALSE (buffer
    // empty) when all 10,000 are taken.
    static BOOL NextCaptureFileName(const char* folder, char* buffer, std::size_t size);

    TW_IDENTITY m_appId{};
    TW_IDENTITY m_sourceId{};
    HWND m_parent = nullptr;
    TW_UINT16 m_rc = TWRC_SUCCESS;
    TW_UINT16 m_condition = TWCC_SUCCESS;
    int m_dsmOpen = 0;
    int m_sourceChosen = 0;
    int m_sourceOpen = 0;
    int m_sourceEnabled = 0;
    TW_INT16 m_count = -1;
    int m_showUI = 1;

protected:
    // 0 transfer, 1 skip this image, 2 cancel all.
    virtual int ShouldTransfer(const TW_IMAGEINFO& info);
    virtual void DisableSource();
    virtual int CanClose();
    virtual void OnTransferDone();
    virtual void OnImage(HGLOBAL dib, const TW_IMAGEINFO& info) = 0;

    // One triplet; a failure also fetches the condition code.
    TW_UINT16 Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

private:
    int SetTransferCount(TW_INT16 count);
    void TransferImages();

    DSMENTRYPROC m_dsmEntry = nullptr;
};

} // namespace shelf
