#include "album/shell/TwainAcquirer.h"

#include "platform/twain/SourceManager.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace shelf {

DSMENTRYPROC TwainAcquirer::s_sourceManager = &qltwain::DsmEntry;

TwainAcquirer::TwainAcquirer() = default;

TwainAcquirer::~TwainAcquirer() { Release(); }

TW_UINT16 TwainAcquirer::Call(TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data)
{
    if (!m_dsmEntry)
        return TWRC_FAILURE;
    m_rc = m_dsmEntry(&m_appId, dest, dg, dat, msg, data);
    if (m_rc == TWRC_FAILURE || m_rc == TWRC_CHECKSTATUS) {
        TW_STATUS status{};
        m_dsmEntry(&m_appId, dest, DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        m_condition = status.ConditionCode;
    }
    return m_rc;
}

void TwainAcquirer::FillIdentity()
{
    std::memset(&m_appId, 0, sizeof m_appId);
    m_appId.Id = 0;
    m_appId.Version.MajorNum = 3;
    m_appId.Version.MinorNum = 5;
    m_appId.Version.Language = TWLG_ENGLISH_USA;
    m_appId.Version.Country = TWCY_USA;
    std::strcpy(m_appId.Version.Info, "3.5");
    m_appId.ProtocolMajor = 1;
    m_appId.ProtocolMinor = 8;
    m_appId.SupportedGroups = DG_CONTROL | DG_IMAGE;
    std::strcpy(m_appId.Manufacturer, "Verdale Labs");
    std::strcpy(m_appId.ProductFamily, "Generic");
    std::strcpy(m_appId.ProductName, "Twain Test");
}

int TwainAcquirer::Init(HWND parent)
{
    if (m_dsmEntry)
        return 1;
    std::memset(&m_appId, 0, sizeof m_appId);
    std::memset(&m_sourceId, 0, sizeof m_sourceId);
    if (!parent || !::IsWindow(parent))
        return 0;
    // The source manager is linked in; it is missing only when replaced by none.
    if (!s_sourceManager)
        return 0;
    m_dsmEntry = s_sourceManager;
    FillIdentity();
    m_parent = parent;
    if (Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_OPENDSM, &m_parent) != TWRC_SUCCESS) {
        // No SANE on this machine: no acquisition is offered.
        m_dsmEntry = nullptr;
        m_parent = nullptr;
        return 0;
    }
    m_dsmOpen = 1;
    return 1;
}

void TwainAcquirer::Release()
{
    if (!m_dsmEntry)
        return;
    CloseSource();
    if (m_dsmOpen)
        Call(nullptr, DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM, &m_parent);
    m_dsmOpen = 0;
    m_sourceChosen = 0;
    m_dsmEntry = nullptr;
}

int TwainAcquirer::SelectSource()
{
    if (!m_dsmOpen)
        return 0;
    TW_IDENTITY chosen = m_sourceId;
    if (!m_sourceChosen && Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &chosen) == TWRC_SUCCESS) {
        m_sourceId = chosen;
        m_sourceChosen = 1;
    }
    if (Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, &chosen) == TWRC_SUCCESS) {
        m_sourceId = chosen;
        m_sourceChosen = 1;
        return 1;
    }
    return 0;
}

int TwainAcquirer::OpenSource(const TW_IDENTITY* identity)
{
    if (!m_dsmOpen)
        return 0;
    if (m_sourceOpen)
        return 1;
    if (identity) {
        m_sourceId = *identity;
        m_sourceChosen = 1;
    }
    if (!m_sourceChosen) {
        if (Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT, &m_sourceId) != TWRC_SUCCESS)
            return 0;
        m_sourceChosen = 1;
    }
    if (Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &m_sourceId) != TWRC_SUCCESS)
        return 0;
    m_sourceOpen = 1;
    return 1;
}

void TwainAcquirer::CloseSource()
{
    DisableSource();
    if (m_sourceOpen)
        Call(nullptr, DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &m_sourceId);
    m_sourceOpen = 0;
}

void TwainAcquirer::DisableSource()
{
    if (m_sourceEnabled) {
        TW_USERINTERFACE ui{static_cast<TW_BOOL>(m_showUI), 0, m_parent};
        Call(&m_sourceId, DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    }
    m_sourceEnabled = 0;
}

int TwainAcquirer::SetTransferCount(TW_INT16 count)
{
    TW_CAPABILITY cap{CAP_XFERCOUNT, TWON_ONEVALUE, nullptr};
    auto setOne = [&](TW_UINT16 type, TW_UINT32 value) {
        HGLOBAL block = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
        auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(block));
        if (!one)
            return TW_UINT16(TWRC_FAILURE);
        one->ItemType = type;
        one->Item = value;
        GlobalUnlock(block);
        cap.ConType = TWON_ONEVALUE;
        cap.hContainer = block;
        const TW_UINT16 rc = Call(&m_sourceId, DG_CONTROL, DAT_CAPABILITY, MSG_SET, &cap);
        GlobalFree(block);
        cap.hContainer = nullptr;
        return rc;
    };
    TW_UINT16 rc = setOne(TWTY_INT16, static_cast<TW_UINT32>(static_cast<TW_INT32>(count)));
    if (rc == TWRC_SUCCESS) {
        m_count = count;
        return 1;
    }
    if (rc != TWRC_CHECKSTATUS)
        return 0;
    // The source wants its own value: read it and set it back as unsigned.
    if (Call(&m_sourceId, DG_CONTROL, DAT_CAPABILITY, MSG_GET, &cap) != TWRC_SUCCESS)
        return 0;
    auto block = static_cast<HGLOBAL>(cap.hContainer);
    TW_UINT32 value = 0;
    bool read = false;
    if (GlobalSize(block) >= sizeof(TW_ONEVALUE)) {
        if (const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(block))) {
            value = one->Item & 0xFFFF;
            read = true;
            GlobalUnlock(block);
        }
    }
    if (block)
        GlobalFree(block);
    cap.hContainer = nullptr;
    if (!read)
        return 0;
    rc = setOne(TWTY_UINT16, value);
    if (rc != TWRC_SUCCESS)
        return 0;
    m_count = static_cast<TW_INT16>(value);
    return 1;
}

int TwainAcquirer::Acquire(int count)
{
    if (!m_sourceOpen && !OpenSource(nullptr))
        return 0;
    if (!SetTransferCount(static_cast<TW_INT16>(count)))
        SetTransferCount(1);
    // The source's dialog may raise its event before the call returns: the
    // flag is up first, and taken down again when it cannot be enabled.
    m_sourceEnabled = 1;
    TW_USERINTERFACE ui{static_cast<TW_BOOL>(m_showUI), 0, m_parent};
    if (Call(&m_sourceId, DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) != TWRC_SUCCESS) {
        m_sourceEnabled = 0;
        return 0;
    }
    return 1;
}

int TwainAcquirer::ProcessMessage(MSG* msg)
{
    if (!m_sourceEnabled || !msg)
        return 0;
    TW_EVENT event{msg, 0};
    if (Call(&m_sourceId, DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_NOTDSEVENT)
        return 0;
    switch (event.TWMessage) {
    case MSG_XFERREADY:
        TransferImages();
        break;
    case MSG_CLOSEDSREQ:
        if (CanClose())
            CloseSource();
        break;
    default:
        break;
    }
    return 1;
}

void TwainAcquirer::TransferImages()
{
    TW_PENDINGXFERS pending{};
    do {
        TW_IMAGEINFO info{};
        // A source that cannot say yet is asked once more.
        if (Call(&m_sourceId, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS &&
            Call(&m_sourceId, DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS)
            std::memset(&info, 0, sizeof info);
        const int decision = ShouldTransfer(info);
        if (decision == 2) {
            Call(&m_sourceId, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
            break;
        }
        if (decision == 0) {
            HGLOBAL dib = nullptr;
            const TW_UINT16 rc = Call(&m_sourceId, DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib);
            if (rc == TWRC_CANCEL) {
                Call(&m_sourceId, DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
                break;
            }
            if (rc == TWRC_XFERDONE && dib) {
                OnImage(dib, info);
                GlobalFree(dib);
            }
        }
        pending.Count = 0;
        if (Call(&m_sourceId, DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS)
            break;
    } while (pending.Count != 0);
    OnTransferDone();
}

int TwainAcquirer::ShouldTransfer(const TW_IMAGEINFO&) { return 0; }

int TwainAcquirer::CanClose() { return 1; }

void TwainAcquirer::OnTransferDone() {}

BOOL TwainAcquirer::NextCaptureFileName(const char* folder, char* buffer, std::size_t size)
{
    if (!buffer || size == 0)
        return FALSE;
    for (int i = 0; i < 10000; ++i) {
        std::snprintf(buffer, size, "%sPic%04d.jpg", folder ? folder : "", i);
        // Any file that is there, readable or not, is taken.
        struct stat st;
        if (lstat(buffer, &st) != 0)
            return TRUE;
    }
    buffer[0] = 0;
    return FALSE;
}

} // namespace shelf
