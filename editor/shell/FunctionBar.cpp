#include "editor/shell/FunctionBar.h"

#include "editor/shell/PhotoDocument.h"
#include "editor/shell/UITextTable.h"
#include "editor/ui/AppSettings.h"
#include "editor/ui/HintWnd.h"
#include "platform/afx/PaintDC.h"
#include "platform/afx/WinApp.h"
#include "platform/win/Process.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <utility>

IMPLEMENT_DYNAMIC(CFunctionBar, CWnd)

BEGIN_MESSAGE_MAP(CFunctionBar, CWnd)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
    ON_CONTROL_RANGE(BN_CLICKED, CFunctionBar::kTransform, CFunctionBar::kEnhance, OnGroupButton)
    ON_BN_CLICKED(CFunctionBar::kForum, OnForum)
    ON_BN_CLICKED(CFunctionBar::kLogo, OnLogo)
    ON_BN_CLICKED(CFunctionBar::kToCompact, OnToCompact)
    ON_BN_CLICKED(CFunctionBar::kToNormal, OnToNormal)
END_MESSAGE_MAP()

namespace {

// The frame's command that opens the community web page.
constexpr UINT kCommunityCmd = 32861;
constexpr UINT kColorThemeCmd = 32839;
constexpr UINT kPluginsText = 117;
constexpr COLORREF kCompactFace = RGB(240, 240, 240);

struct ButtonRunner {
    UINT id;
    FrameDialogRunner run;
};
ButtonRunner g_runners[] = {{CFunctionBar::kTransform, nullptr},
                            {CFunctionBar::kExposure, nullptr},
                            {CFunctionBar::kColor, nullptr},
                            {CFunctionBar::kFrame, nullptr},
                            {CFunctionBar::kEnhance, nullptr}};

// Noise Reduction, Digital Beauty and Quillo Sharpen.
constexpr UINT kEnhancements[] = {32799, 32800, 32801};

ButtonRunner* FindRunner(UINT id)
{
    for (ButtonRunner& r : g_runners)
        if (r.id == id)
            return &r;
    return nullptr;
}

// Large button of slot i (0 to 5), its menu button, and compact slot j.
CRect SlotRect(int i)
{
    return CRect(15, 25 + 90 * i, 105, 115 + 90 * i);
}
CRect MenuSlotRect(int i)
{
    return CRect(105, 25 + 90 * i, 120, 115 + 90 * i);
}
CRect CompactSlotRect(int j)
{
    return CRect(1, 45 + 32 * j, 32, 76 + 32 * j);
}

std::string SkinFile(const char* name)
{
    return std::string(theAppSettings.m_programFolder) + "skin/" + name;
}

// One line into out (at most max characters, line end removed); FALSE at
// the end of the file or for a longer line.
BOOL ReadLine(FILE* f, char* out, int max)
{
    char line[512];
    if (!std::fgets(line, sizeof line, f))
        return FALSE;
    size_t n = std::strlen(line);
    const bool complete = n > 0 && line[n - 1] == '\n';
    if (!complete && !std::feof(f))
        return FALSE;
    while (n > 0 && (line[n - 1] == '\n' || line[n - 1] == '\r'))
        line[--n] = '\0';
    if (n > static_cast<size_t>(max))
        return FALSE;
    std::memcpy(out, line, n + 1);
    return TRUE;
}

COLORREF Mix(COLORREF from, COLORREF to, int step, int steps)
{
    auto channel = [&](int a, int b) { return static_cast<BYTE>(a + (b - a) * step / steps); };
    return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
               channel(GetBValue(from), GetBValue(to)));
}

}  // namespace

CFunctionBar::~CFunctionBar()
{
    if (m_hWnd)
        DestroyWindow();
}

namespace {

class CEnableProbe : public CCmdUI {
public:
    void Enable(BOOL on) override
    {
        m_enabled = on;
        m_bEnableChanged = TRUE;
    }
    BOOL m_enabled = TRUE;
};

}  // namespace

BOOL CFunctionBar::CommandEnabled(CWnd* target, UINT command)
{
    if (!target)
        return FALSE;
    CEnableProbe probe;
    probe.m_nID = command;
    probe.DoUpdate(target, TRUE);
    return probe.m_enabled;
}

FrameDialogRunner CFunctionBar::SetButtonRunner(UINT buttonId, FrameDialogRunner run)
{
    ButtonRunner* r = FindRunner(buttonId);
    return r ? std::exchange(r->run, run) : nullptr;
}

BOOL CFunctionBar::ReadLogoFile(const char* path, char* address, char* tip)
{
    address[0] = tip[0] = '\0';
    FILE* f = std::fopen(path, "r");
    if (!f)
        return FALSE;
    const BOOL ok = ReadLine(f, address, kLogoLineMax) && address[0] && ReadLine(f, tip, kLogoLineMax);
    std::fclose(f);
    if (!ok)
        address[0] = tip[0] = '\0';
    return ok;
}

BOOL CFunctionBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(nullptr, nullptr, style, rect, parent, id);
}

int CFunctionBar::OnCreate(LPCREATESTRUCT cs)
{
    if (CWnd::OnCreate(cs) == -1)
        return -1;
    if (CWinApp* app = AfxGetApp())
        m_compact = static_cast<int>(app->GetProfileInt("Interface", "qlFuncBarCompact", 0));
    if (!CreateButtons())
        return -1;
    UpdateButtons();
    return 0;
}

// Without the tile a button keeps its plain background colour.
void CFunctionBar::SkinBackground(CImgButton& button)
{
    button.LoadBackground(SkinFile("3dface.bmp").c_str());
}

BOOL CFunctionBar::CreateFace(CImgButton& button, UINT id, const char* face, const char* caption, const char* tip,
                              const RECT& place, int layout)
{
    return button.Create(caption, place, this, id, SkinFile(face).c_str(), tip, layout);
}

BOOL CFunctionBar::CreateMenuFace(CMenuButton& button, UINT id, const char* face, UINT menu, const RECT& place)
{
    return button.Create(place, this, id, SkinFile(face).c_str(), static_cast<int>(menu));
}

// The plug-in pop-up before Color Theme, once the document has built it.
void CFunctionBar::AddPluginMenu(CMenuButton& button)
{
    button.m_fill = [&button](CMenu*) {
        PluginMenu& plugins = thePhotoDocument.m_pluginMenu;
        plugins.Build();
        if (plugins.m_built && plugins.m_popup && plugins.m_popup->m_hMenu)
            button.m_menu.InsertItem(kColorThemeCmd, MF_BYCOMMAND | MF_POPUP,
                                     reinterpret_cast<UINT_PTR>(plugins.m_popup->m_hMenu),
                                     theUITextTable.GetText(kPluginsText));
    };
}

BOOL CFunctionBar::CreateButtons()
{
    struct Group {
        CImgButton& button;
        UINT id;
        const char* face;
        UINT caption, tip;
        CMenuButton& menuButton;
        UINT menuId;
        UINT menu;
    };
    const Group groups[] = {
        {m_transform, kTransform, "transform.bmp", 202, 203, m_transformMenu, kTransformMenu, 132},
        {m_exposure, kExposure, "exposure.bmp", 204, 205, m_exposureMenu, kExposureMenu, 173},
        {m_color, kColor, "color.bmp", 206, 207, m_colorMenu, kColorMenu, 221},
        {m_enhance, kEnhance, "enhance.bmp", 210, 211, m_enhanceMenu, kEnhanceMenu, 218},
        {m_frameButton, kFrame, "frame.bmp", 208, 209, m_frameMenu, kFrameMenu, 220},
    };
    AddPluginMenu(m_enhanceMenu);
    AddPluginMenu(m_compactFilter);
    int slot = 0;
    for (const Group& g : groups) {
        if (!CreateFace(g.button, g.id, g.face, theUITextTable.GetText(g.caption), theUITextTable.GetText(g.tip),
                        SlotRect(slot), 0) ||
            !CreateMenuFace(g.menuButton, g.menuId, "menubut.bmp", g.menu, MenuSlotRect(slot)))
            return FALSE;
        SkinBackground(g.button);
        SkinBackground(g.menuButton);
        ++slot;
    }
    const BOOL forum = theAppSettings.m_noForum == 0;
    if (forum) {
        if (!CreateFace(m_forum, kForum, "onlineforum.bmp", theUITextTable.GetText(212), theUITextTable.GetText(213),
                        SlotRect(5), 0))
            return FALSE;
        SkinBackground(m_forum);
    }
    if (!CreateMenuFace(m_more, kMore, "morebut.bmp", kMoreLongMenu, CRect(115, 370, 130, 460)))
        return FALSE;
    SkinBackground(m_more);

    // The logo is a partner's addition: without its picture the bar goes on
    // without it rather than failing the editor's start.
    if (ReadLogoFile(SkinFile("outlogo.txt").c_str(), m_logoAddress, m_logoTip)) {
        const CRect place = forum ? CRect(22, 580, 112, 615) : CRect(22, 500, 112, 535);
        if (CreateFace(m_logo, kLogo, "outlogo.bmp", "", m_logoTip, place, 1))
            SkinBackground(m_logo);
        else
            m_logoAddress[0] = m_logoTip[0] = '\0';
    }
    if (!CreateFace(m_toCompact, kToCompact, "left.bmp", "", theUITextTable.GetText(239), CRect(22, 1, 112, 24), 0) ||
        !CreateFace(m_toNormal, kToNormal, "func_right.bmp", "", theUITextTable.GetText(240), CRect(1, 1, 32, 32), 0))
        return FALSE;
    SkinBackground(m_toCompact);
    m_toNormal.SetBkColor(kCompactFace);

    if (m_logoTip[0])
        m_compactNet.m_fill = [this](CMenu*) {
            if (CBitmapMenu* popup = m_compactNet.m_menu.SubMenuAt(0))
                popup->InsertItem(0, MF_BYPOSITION, kLogoCmd, m_logoTip);
        };
    struct Compact {
        CMenuButton& button;
        UINT id;
        const char* face;
        UINT menu;
    };
    const Compact compact[] = {
        {m_compactTransform, kCompactTransform, "func_trans.bmp", 132},
        {m_compactExposure, kCompactExposure, "func_expo.bmp", 173},
        {m_compactColor, kCompactColor, "func_color.bmp", 221},
        {m_compactFilter, kCompactFilter, "func_filter.bmp", 218},
        {m_compactFrame, kCompactFrame, "func_frame.bmp", 220},
        {m_compactNet, kCompactNet, "func_net.bmp", 395},
    };
    slot = 0;
    for (const Compact& c : compact) {
        if (!CreateMenuFace(c.button, c.id, c.face, c.menu, CompactSlotRect(slot++)))
            return FALSE;
        c.button.SetBkColor(kCompactFace);
    }
    ShowForMode();
    return TRUE;
}

void CFunctionBar::ShowForMode()
{
    const int normal = m_compact ? SW_HIDE : SW_SHOW;
    const int compact = m_compact ? SW_SHOW : SW_HIDE;
    for (CWnd* w : std::initializer_list<CWnd*>{&m_transform, &m_exposure, &m_color, &m_enhance, &m_frameButton,
                                                &m_exposureMenu, &m_colorMenu, &m_enhanceMenu, &m_forum, &m_logo,
                                                &m_toCompact})
        if (w->m_hWnd)
            w->ShowWindow(normal);
    // Kit mode keeps the photo's geometry and frame: no menus for them.
    for (CWnd* w : {&m_transformMenu, &m_frameMenu})
        if (w->m_hWnd)
            w->ShowWindow(KitMode() ? SW_HIDE : normal);
    for (CWnd* w : std::initializer_list<CWnd*>{&m_compactTransform, &m_compactExposure, &m_compactColor,
                                                &m_compactFilter, &m_compactFrame, &m_compactNet, &m_toNormal})
        if (w->m_hWnd)
            w->ShowWindow(compact);
    CRect client;
    GetClientRect(&client);
    PlaceMoreButton(client.Width(), client.Height());
}

void CFunctionBar::SetMoreMenu(UINT menu)
{
    if (m_more.m_menuId == static_cast<int>(menu))
        return;
    m_more.m_menu.DestroyMenu();
    if (m_more.m_menu.LoadMenu(menu))
        for (UINT toolbar : {128u, 134u, 365u})
            m_more.m_menu.LoadToolbarImages(toolbar);
    m_more.SetMenuId(static_cast<int>(menu));
}

// The more button stays hidden in compact mode, whose column holds every group.
void CFunctionBar::PlaceMoreButton(int cx, int cy)
{
    if (!m_more.m_hWnd)
        return;
    m_more.MoveWindow(cx - 20, cy - 20, 20, 20);
    if (m_compact || cy >= kMoreShortBelow) {
        m_more.ShowWindow(SW_HIDE);
        return;
    }
    SetMoreMenu(cy < kMoreLongBelow ? kMoreLongMenu : kMoreShortMenu);
    m_more.ShowWindow(SW_SHOW);
}

void CFunctionBar::OnSize(UINT type, int cx, int cy)
{
    CWnd::OnSize(type, cx, cy);
    PlaceMoreButton(cx, cy);
}

void CFunctionBar::UpdateButtons()
{
    const BOOL pixels = thePhotoDocument.IsLoaded();
    for (const ButtonRunner& r : g_runners) {
        CWnd* button = GetDlgItem(r.id);
        const BOOL needsEdits = r.id == kTransform || r.id == kFrame;
        // The enhancement choice is worth opening only with a function to
        // choose, as the main frame's commands tell (without one, the runner decides).
        CWnd* main = AfxGetMainWnd();
        const BOOL choice = r.id != kEnhance || !main ||
                            std::any_of(std::begin(kEnhancements), std::end(kEnhancements),
                                        [main](UINT c) { return CommandEnabled(main, c); });
        if (button)
            button->EnableWindow(pixels && r.run && choice && !(needsEdits && KitMode()));
    }
    for (CWnd* w : std::initializer_list<CWnd*>{&m_transformMenu, &m_exposureMenu, &m_colorMenu, &m_frameMenu,
                                                &m_enhanceMenu, &m_more, &m_compactTransform, &m_compactExposure,
                                                &m_compactColor, &m_compactFilter, &m_compactFrame})
        if (w->m_hWnd)
            w->EnableWindow(pixels);
    for (CWnd* w : std::initializer_list<CWnd*>{&m_forum, &m_logo, &m_toCompact, &m_toNormal, &m_compactNet})
        if (w->m_hWnd)
            w->EnableWindow(TRUE);
    ShowForMode();
    RedrawWindow(nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
}

void CFunctionBar::OnGroupButton(UINT id)
{
    const ButtonRunner* r = FindRunner(id);
    if (!r || !r->run)
        return;
    if (r->run(m_frame) == IDOK)
        if (CWnd* main = AfxGetMainWnd())
            main->RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void CFunctionBar::OnForum()
{
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessage(WM_COMMAND, kCommunityCmd, 0);
}

void CFunctionBar::OpenLogo()
{
    if (m_logoAddress[0])
        ShellExecute(m_hWnd, "open", m_logoAddress, nullptr, nullptr, SW_SHOW);
}

void CFunctionBar::OnLogo()
{
    OpenLogo();
}

void CFunctionBar::OnToCompact()
{
    SetCompact(1);
}

void CFunctionBar::OnToNormal()
{
    SetCompact(0);
}

// The pane lays its children out on a size change only, so it is sent one.
void CFunctionBar::SetCompact(int compact)
{
    // The clicked switch hides under the pointer: its tip goes with it.
    CHintWnd::HideWnd(g_hintWnd);
    m_compact = compact;
    ShowForMode();
    if (CWnd* parent = GetParent()) {
        CRect client;
        parent->GetClientRect(&client);
        parent->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.Width(), client.Height()));
    }
    RedrawWindow(nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_UPDATENOW);
    if (CWinApp* app = AfxGetApp())
        app->WriteProfileInt("Interface", "qlFuncBarCompact", m_compact);
}

BOOL CFunctionBar::OnEraseBkgnd(CDC*)
{
    return TRUE;  // the paint covers the whole bar
}

void CFunctionBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (m_compact)
        DrawCompactBackground(&dc, client);
    else
        DrawNormalBackground(&dc, client);
}

void CFunctionBar::DrawNormalBackground(CDC* dc, const RECT& client)
{
    dc->FillRect(&client, &theAppSettings.m_skinBrush);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (int y = 2; y < 1300; y += 13) {
        dc->FillSolidRect(3, y, 10, 10, face);
        dc->FillSolidRect(client.right - 13, y, 10, 10, face);
    }
}

// Darker without a photo, and over a shorter run.
void CFunctionBar::DrawCompactBackground(CDC* dc, const RECT& client)
{
    const BOOL pixels = thePhotoDocument.IsLoaded();
    const int run = pixels ? 300 : 200;
    const COLORREF top = pixels ? RGB(0x96, 0x96, 0x96) : RGB(0x64, 0x64, 0x64);
    const COLORREF stripTop = pixels ? RGB(0xC8, 0xC8, 0xC8) : RGB(0x8C, 0x8C, 0x8C);
    const int strip = client.right - 4;
    for (int y = client.top; y < client.bottom; ++y) {
        const int step = y < run ? y : run;
        dc->FillSolidRect(0, y, strip, 1, Mix(top, RGB(0xF0, 0xF0, 0xF0), step, run));
        dc->FillSolidRect(strip, y, 4, 1, Mix(stripTop, RGB(0xFF, 0xFF, 0xFF), step, run));
    }
}
