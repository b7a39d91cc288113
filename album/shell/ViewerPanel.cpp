#include "album/shell/ViewerPanel.h"

#include "album/shell/AlbumGlobals.h"
#include "album/shell/AlbumTextTable.h"
#include "platform/afx/WinApp.h"

namespace shelf {

IMPLEMENT_DYNAMIC(CViewerPanel, ZoomView)

namespace {

constexpr int kButtonSize = 28;

HCURSOR AlbumCursor(UINT id) { return AfxGetApp() ? AfxGetApp()->LoadCursor(id) : nullptr; }

} // namespace

CViewerPanel::CViewerPanel()
{
    m_smooth = FALSE;
}

// The zoom view's creation with the album's skin folder and tip texts.
BOOL CViewerPanel::Create(const char* title, const RECT& rect, CWnd* parent, UINT id)
{
    if (!CWnd::Create(AfxRegisterWndClass(CS_DBLCLKS), title, WS_CHILD | WS_VISIBLE, rect, parent, id))
        return FALSE;
    struct Tool {
        CZoomToolButton* button;
        const char* picture;
        UINT id;
        int tip;
    };
    const Tool tools[] = {
        {&m_moveButton, "hand.bmp", 0xFF2300, 3},    {&m_zoomInButton, "zoomin.bmp", 0xFF2301, 4},
        {&m_zoomOutButton, "zoomout.bmp", 0xFF2302, 5}, {&m_actualButton, "zoom1.bmp", 0xFF2303, 7},
        {&m_fitButton, "bestfit.bmp", 0xFF2304, 6},
    };
    for (const Tool& t : tools) {
        const std::string file = theAlbum ? theAlbum->GetSkinPath(t.picture) : std::string();
        const RECT r{0, 0, kButtonSize, kButtonSize};
        if (!t.button->Create("", r, this, t.id, file.c_str(), theAlbumTexts.GetText(t.tip), 0))
            return FALSE;
        t.button->SetBkColor(m_background);
    }
    SetToolMode(kToolMove);
    m_buttonsCreated = TRUE;
    RECT client;
    GetClientRect(&client);
    OnSize(SIZE_RESTORED, client.right, client.bottom);
    RecalcLayout();
    std::snprintf(m_name, sizeof m_name, "%s", title ? title : "");
    return TRUE;
}

void CViewerPanel::SetToolbarVisible(BOOL visible)
{
    ShowToolButtons(visible);
}

BOOL CViewerPanel::SetViewCursor(CWnd*, UINT, UINT)
{
    SetFocus();
    if (!HasPixels())
        return static_cast<BOOL>(Default());
    POINT p{};
    ::GetCursorPos(&p);
    ScreenToClient(&p);
    if (!PtInRect(&m_imageArea, p)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    }
    const UINT id = m_toolMode == kToolZoomIn ? kZoomInCursor : m_toolMode == kToolZoomOut ? kZoomOutCursor : kHandCursor;
    if (HCURSOR cursor = AlbumCursor(id))
        ::SetCursor(cursor);
    return TRUE;
}

} // namespace shelf
