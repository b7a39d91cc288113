#include "develop/SingleInstanceGuard.h"

#include "platform/afx/WinUser.h"
#include "platform/win/Threads.h"

namespace develop {

BOOL SingleInstanceGuard::Acquire(const char* name, const char* windowTitle)
{
    Release();
    HANDLE mutex = ::CreateMutex(nullptr, FALSE, name);
    // Without a mutex there is no guard, not a second copy.
    if (!mutex)
        return TRUE;
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(mutex);
        if (HWND wnd = ::FindWindow(nullptr, windowTitle ? windowTitle : name)) {
            ::ShowWindow(wnd, SW_SHOW);
            ::ShowWindow(wnd, SW_RESTORE);
            ::BringWindowToTop(wnd);
            ::SetForegroundWindow(wnd);
        }
        return FALSE;
    }
    m_mutex = mutex;
    m_name = name ? name : "";
    return TRUE;
}

void SingleInstanceGuard::Release()
{
    if (m_mutex)
        ::CloseHandle(m_mutex);
    m_mutex = nullptr;
    m_name.clear();
}

} // namespace develop
