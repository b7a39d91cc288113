#include "SkinTestSupport.h"

#include "editor/ui/AppSettings.h"

#include <cstdlib>
#include <filesystem>

namespace skintest {

void Fill(CQLImage* image, int w, int h, CPixel colour)
{
    ASSERT_EQ(image->Create(w, h), 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image->PutPixel(x, y, colour);
}

QImage SurfaceOf(HWND hwnd)
{
    ::UpdateWindow(hwnd);
    qlafx::ProcessPendingEvents();
    const QImage* s = qlafx::SurfaceOfWindow(hwnd);
    return s ? s->copy() : QImage();
}

BOOL CParentWnd::CreateParent(int x, int y, int cx, int cy)
{
    return CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP | WS_VISIBLE, x, y, cx, cy, nullptr, nullptr);
}

BOOL CParentWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    m_commands.push_back(LOWORD(static_cast<DWORD>(wParam)));
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CParentWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    m_notifyCodes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
    return CWnd::OnNotify(wParam, lParam, pResult);
}

void SkinTest::TearDown()
{
    for (CQLImage* image : {&theAppSettings.m_faceImage, &theAppSettings.m_buttonImage, &theAppSettings.m_sliderImage,
                            &theAppSettings.m_sliderBarImage, &theAppSettings.m_checkImage})
        image->Free();
    g_skinButtonImage = nullptr;
    qlafx::ProcessPendingEvents();
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quillo-skin-XXXXXX").string();
    if (char* made = ::mkdtemp(pattern.data()))
        m_path = std::string(made) + "/";
}

TempFolder::~TempFolder()
{
    if (!m_path.empty())
        std::filesystem::remove_all(m_path);
}

}  // namespace skintest
