#include "platform/twain/SourceManager.h"

#include "platform/afx/Afx.h"
#include "platform/twain/SaneDevice.h"
#include "platform/twain/SourceDialogs.h"

#include <cstring>
#include <deque>
#include <memory>
#include <string>

namespace qltwain {

namespace {

inline constexpr TW_UINT16 TWCC_CAPUNSUPPORTED = 13;

void CopyName(TW_STR32& to, const std::string& from)
{
    std::memset(to, 0, sizeof to);
    std::strncpy(to, from.c_str(), sizeof to - 1);
}

// The one source manager of the process, on the thread of its window.
class SourceManager {
public:
    TW_UINT16 Entry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                    TW_MEMREF data);

    std::string m_library = "libsane.so.1";
    std::function<bool(int)> m_pageHook;
    // Found again at the next MSG_OPENDSM.
    void SetLibrary(const std::string& name)
    {
        if (m_open)
            return;
        m_library = name;
        m_api = SaneApi{};
    }

private:
    TW_UINT16 Fail(TW_UINT16 condition)
    {
        m_condition = condition;
        return TWRC_FAILURE;
    }
    TW_UINT16 Parent(TW_UINT16 msg, TW_MEMREF data);
    TW_UINT16 Identity(TW_UINT16 msg, TW_IDENTITY* id);
    TW_UINT16 Capability(TW_UINT16 msg, TW_CAPABILITY* cap);
    TW_UINT16 UserInterface(TW_UINT16 msg, TW_USERINTERFACE* ui);
    TW_UINT16 Event(TW_EVENT* event);
    TW_UINT16 Pending(TW_UINT16 msg, TW_PENDINGXFERS* pending);
    TW_UINT16 ImageInfo(TW_IMAGEINFO* info);
    TW_UINT16 NativeTransfer(TW_MEMREF data);
    void ListDevices();
    void FillIdentity(TW_IDENTITY* id, int index) const;
    void Raise(TW_UINT16 message);
    void DropPages();

    SaneApi m_api;
    bool m_open = false;
    HWND m_parent = nullptr;
    UINT m_eventMessage = 0;
    std::vector<SaneDeviceInfo> m_devices;
    int m_chosen = -1;
    std::unique_ptr<SaneDevice> m_device;
    TW_IDENTITY m_source{};
    TW_INT16 m_count = -1;
    bool m_enabled = false;
    std::deque<ScannedPage> m_pages;
    TW_UINT16 m_pendingEvent = 0;
    TW_UINT16 m_condition = TWCC_SUCCESS;
};

SourceManager& Manager()
{
    static SourceManager manager;
    return manager;
}

TW_UINT16 SourceManager::Entry(TW_IDENTITY*, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                               TW_MEMREF data)
{
    if (dg == DG_CONTROL && dat == DAT_STATUS) {
        if (msg != MSG_GET || !data)
            return Fail(TWCC_BADPROTOCOL);
        auto* status = static_cast<TW_STATUS*>(data);
        status->ConditionCode = m_condition;
        status->Reserved = 0;
        m_condition = TWCC_SUCCESS;
        return TWRC_SUCCESS;
    }
    if (dg == DG_CONTROL && dat == DAT_PARENT)
        return Parent(msg, data);
    if (!m_open)
        return Fail(TWCC_SEQERROR);
    if (dg == DG_CONTROL && dat == DAT_IDENTITY)
        return Identity(msg, static_cast<TW_IDENTITY*>(data));
    // The rest is addressed to the open source.
    if (!m_device || !dest || dest->Id != m_source.Id)
        return Fail(m_device ? TWCC_BADDEST : TWCC_SEQERROR);
    if (dg == DG_CONTROL) {
        switch (dat) {
        case DAT_CAPABILITY: return Capability(msg, static_cast<TW_CAPABILITY*>(data));
        case DAT_USERINTERFACE: return UserInterface(msg, static_cast<TW_USERINTERFACE*>(data));
        case DAT_EVENT:
            return msg == MSG_PROCESSEVENT ? Event(static_cast<TW_EVENT*>(data)) : Fail(TWCC_BADPROTOCOL);
        case DAT_PENDINGXFERS: return Pending(msg, static_cast<TW_PENDINGXFERS*>(data));
        default: break;
        }
    } else if (dg == DG_IMAGE && msg == MSG_GET) {
        if (dat == DAT_IMAGEINFO)
            return ImageInfo(static_cast<TW_IMAGEINFO*>(data));
        if (dat == DAT_IMAGENATIVEXFER)
            return NativeTransfer(data);
    }
    return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 SourceManager::Parent(TW_UINT16 msg, TW_MEMREF data)
{
    if (msg == MSG_OPENDSM) {
        if (m_open)
            return Fail(TWCC_SEQERROR);
        HWND parent = data ? *static_cast<HWND*>(data) : nullptr;
        if (!parent || !::IsWindow(parent))
            return Fail(TWCC_BADVALUE);
        if (!m_api.init && !m_api.Load(m_library.c_str()))
            return Fail(TWCC_BUMMER);
        SANE_Int version = 0;
        if (m_api.init(&version, nullptr) != SANE_STATUS_GOOD)
            return Fail(TWCC_BUMMER);
        m_open = true;
        m_parent = parent;
        m_eventMessage = ::RegisterWindowMessage("QuilloSourceEvent");
        m_chosen = -1;
        return TWRC_SUCCESS;
    }
    if (msg == MSG_CLOSEDSM) {
        if (!m_open || m_device)
            return Fail(TWCC_SEQERROR);
        m_api.exit();
        m_open = false;
        m_parent = nullptr;
        m_devices.clear();
        return TWRC_SUCCESS;
    }
    return Fail(TWCC_BADPROTOCOL);
}

void SourceManager::ListDevices()
{
    m_devices.clear();
    const SANE_Device** list = nullptr;
    if (m_api.get_devices(&list, SANE_FALSE) != SANE_STATUS_GOOD || !list)
        return;
    for (; *list; ++list) {
        const SANE_Device* d = *list;
        m_devices.push_back({d->name ? d->name : "", d->vendor ? d->vendor : "", d->model ? d->model : "",
                             d->type ? d->type : ""});
    }
}

void SourceManager::FillIdentity(TW_IDENTITY* id, int index) const
{
    const SaneDeviceInfo& d = m_devices[static_cast<std::size_t>(index)];
    std::memset(id, 0, sizeof *id);
    id->Id = static_cast<TW_UINT32>(index + 1);
    id->Version.MajorNum = 1;
    id->Version.Language = TWLG_ENGLISH_USA;
    id->Version.Country = TWCY_USA;
    CopyName(id->Version.Info, d.name);
    id->ProtocolMajor = 1;
    id->ProtocolMinor = 8;
    id->SupportedGroups = DG_CONTROL | DG_IMAGE;
    CopyName(id->Manufacturer, d.vendor);
    CopyName(id->ProductFamily, d.type);
    CopyName(id->ProductName, d.model);
}

TW_UINT16 SourceManager::Identity(TW_UINT16 msg, TW_IDENTITY* id)
{
    if (!id)
        return Fail(TWCC_BADVALUE);
    switch (msg) {
    case MSG_GETDEFAULT:
        // Looking for devices can take a while: the list of this session
        // serves until the user asks to choose again.
        if (m_devices.empty())
            ListDevices();
        if (m_devices.empty())
            return Fail(TWCC_NODS);
        FillIdentity(id, m_chosen >= 0 && m_chosen < static_cast<int>(m_devices.size()) ? m_chosen : 0);
        return TWRC_SUCCESS;
    case MSG_USERSELECT: {
        ListDevices();
        CSourceSelectDlg dlg(m_devices, m_chosen, CWnd::FromHandle(m_parent));
        if (dlg.DoModal() != IDOK || dlg.m_selected < 0)
            return TWRC_CANCEL;
        m_chosen = dlg.m_selected;
        FillIdentity(id, m_chosen);
        return TWRC_SUCCESS;
    }
    case MSG_OPENDS: {
        if (m_device)
            return Fail(TWCC_SEQERROR);
        if (m_devices.empty())
            ListDevices();
        int index = static_cast<int>(id->Id) - 1;
        if (id->Id == 0)
            index = m_chosen >= 0 ? m_chosen : 0;
        if (index < 0 || index >= static_cast<int>(m_devices.size()))
            return Fail(TWCC_NODS);
        auto device = std::make_unique<SaneDevice>(m_api);
        const SANE_Status status = device->Open(m_devices[static_cast<std::size_t>(index)].name);
        if (status != SANE_STATUS_GOOD)
            return Fail(status == SANE_STATUS_DEVICE_BUSY || status == SANE_STATUS_ACCESS_DENIED
                            ? TWCC_DENIED
                            : TWCC_CHECKDEVICEONLINE);
        m_device = std::move(device);
        FillIdentity(id, index);
        m_source = *id;
        m_count = -1;
        return TWRC_SUCCESS;
    }
    case MSG_CLOSEDS:
        if (!m_device || id->Id != m_source.Id)
            return Fail(m_device ? TWCC_BADDEST : TWCC_SEQERROR);
        if (m_enabled)
            return Fail(TWCC_SEQERROR);
        DropPages();
        m_device.reset();
        m_source = TW_IDENTITY{};
        return TWRC_SUCCESS;
    default:
        return Fail(TWCC_BADPROTOCOL);
    }
}

TW_UINT16 SourceManager::Capability(TW_UINT16 msg, TW_CAPABILITY* cap)
{
    if (!cap)
        return Fail(TWCC_BADVALUE);
    if (cap->Cap != CAP_XFERCOUNT)
        return Fail(TWCC_CAPUNSUPPORTED);
    if (m_enabled)
        return Fail(TWCC_SEQERROR);
    switch (msg) {
    case MSG_GET:
    case MSG_GETCURRENT:
    case MSG_GETDEFAULT: {
        HGLOBAL block = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
        auto* one = static_cast<TW_ONEVALUE*>(GlobalLock(block));
        if (!one)
            return Fail(TWCC_LOWMEMORY);
        one->ItemType = TWTY_INT16;
        one->Item = static_cast<TW_UINT32>(static_cast<TW_INT32>(msg == MSG_GETDEFAULT ? -1 : m_count));
        GlobalUnlock(block);
        cap->ConType = TWON_ONEVALUE;
        cap->hContainer = block;
        return TWRC_SUCCESS;
    }
    case MSG_SET: {
        auto block = static_cast<HGLOBAL>(cap->hContainer);
        if (cap->ConType != TWON_ONEVALUE || GlobalSize(block) < sizeof(TW_ONEVALUE))
            return Fail(TWCC_BADVALUE);
        const auto* one = static_cast<const TW_ONEVALUE*>(GlobalLock(block));
        int value = 0;
        if (one->ItemType == TWTY_INT16)
            value = static_cast<TW_INT16>(one->Item & 0xFFFF);
        else if (one->ItemType == TWTY_UINT16)
            value = static_cast<int>(one->Item & 0xFFFF);
        GlobalUnlock(block);
        if ((one->ItemType != TWTY_INT16 && one->ItemType != TWTY_UINT16) || value == 0 || value < -1 ||
            value > 32767)
            return Fail(TWCC_BADVALUE);
        m_count = static_cast<TW_INT16>(value);
        return TWRC_SUCCESS;
    }
    case MSG_RESET:
        m_count = -1;
        return TWRC_SUCCESS;
    default:
        return Fail(TWCC_BADPROTOCOL);
    }
}

void SourceManager::Raise(TW_UINT16 message)
{
    m_pendingEvent = message;
    ::PostMessage(m_parent, m_eventMessage, 0, 0);
}

void SourceManager::DropPages()
{
    for (ScannedPage& page : m_pages)
        if (page.dib)
            GlobalFree(page.dib);
    m_pages.clear();
}

TW_UINT16 SourceManager::UserInterface(TW_UINT16 msg, TW_USERINTERFACE* ui)
{
    if (msg == MSG_ENABLEDS) {
        if (m_enabled)
            return Fail(TWCC_SEQERROR);
        m_enabled = true;
        HWND owner = ui && ui->hParent ? static_cast<HWND>(ui->hParent) : m_parent;
        const std::string caption = m_devices.empty() ? std::string(m_source.ProductName)
                                                      : std::string(m_source.Manufacturer) + " " +
                                                            m_source.ProductName;
        CSaneSourceDlg dlg(*m_device, m_api, caption.c_str(), m_count, CWnd::FromHandle(owner));
        dlg.m_pageHook = m_pageHook;
        dlg.DoModal();
        dlg.Stop();
        DropPages();
        for (ScannedPage& page : dlg.m_pages)
            m_pages.push_back(page);
        dlg.m_pages.clear();
        // The pages go over when the application's loop gets the event.
        Raise(m_pages.empty() ? MSG_CLOSEDSREQ : MSG_XFERREADY);
        return TWRC_SUCCESS;
    }
    if (msg == MSG_DISABLEDS) {
        if (!m_enabled)
            return Fail(TWCC_SEQERROR);
        m_enabled = false;
        m_pendingEvent = 0;
        DropPages();
        return TWRC_SUCCESS;
    }
    return Fail(TWCC_BADPROTOCOL);
}

TW_UINT16 SourceManager::Event(TW_EVENT* event)
{
    if (!event)
        return Fail(TWCC_BADVALUE);
    event->TWMessage = 0;
    const auto* msg = static_cast<const MSG*>(event->pEvent);
    if (!m_enabled || !msg || msg->message != m_eventMessage || msg->hwnd != m_parent || !m_pendingEvent)
        return TWRC_NOTDSEVENT;
    event->TWMessage = m_pendingEvent;
    m_pendingEvent = 0;
    return TWRC_DSEVENT;
}

TW_UINT16 SourceManager::Pending(TW_UINT16 msg, TW_PENDINGXFERS* pending)
{
    if (!pending)
        return Fail(TWCC_BADVALUE);
    switch (msg) {
    case MSG_GET: break;
    case MSG_ENDXFER:
        if (m_pages.empty())
            return Fail(TWCC_SEQERROR);
        if (m_pages.front().dib)
            GlobalFree(m_pages.front().dib);
        m_pages.pop_front();
        if (m_pages.empty())
            Raise(MSG_CLOSEDSREQ);
        break;
    case MSG_RESET:
        DropPages();
        Raise(MSG_CLOSEDSREQ);
        break;
    default: return Fail(TWCC_BADPROTOCOL);
    }
    pending->Count = static_cast<TW_UINT16>(m_pages.size());
    pending->EOJ = 0;
    return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::ImageInfo(TW_IMAGEINFO* info)
{
    if (!info)
        return Fail(TWCC_BADVALUE);
    if (m_pages.empty())
        return Fail(TWCC_SEQERROR);
    const ScannedPage& page = m_pages.front();
    std::memset(info, 0, sizeof *info);
    info->XResolution.Whole = info->YResolution.Whole = static_cast<TW_INT16>(page.dpi);
    info->ImageWidth = page.width;
    info->ImageLength = page.height;
    info->SamplesPerPixel = 3;
    info->BitsPerSample[0] = info->BitsPerSample[1] = info->BitsPerSample[2] = 8;
    info->BitsPerPixel = 24;
    info->PixelType = TWPT_RGB;
    info->Compression = TWCP_NONE;
    return TWRC_SUCCESS;
}

TW_UINT16 SourceManager::NativeTransfer(TW_MEMREF data)
{
    if (!data)
        return Fail(TWCC_BADVALUE);
    if (m_pages.empty())
        return Fail(TWCC_SEQERROR);
    ScannedPage& page = m_pages.front();
    if (!page.dib)
        return Fail(page.failure ? page.failure : TWCC_OPERATIONERROR);
    *static_cast<HGLOBAL*>(data) = page.dib;
    page.dib = nullptr; // the application frees it
    return TWRC_XFERDONE;
}

} // namespace

TW_UINT16 DsmEntry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                   TW_MEMREF data)
{
    return Manager().Entry(origin, dest, dg, dat, msg, data);
}

void SetSaneLibrary(const char* name) { Manager().SetLibrary(name ? name : ""); }

void SetPageHook(std::function<bool(int)> hook) { Manager().m_pageHook = std::move(hook); }

} // namespace qltwain
