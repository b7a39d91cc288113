// Keeps QuilloDevelop to one running copy through a named mutex.
#pragma once

#include "platform/win/WinTypes.h"

#include <string>

namespace develop {

inline constexpr const char* kInstanceMutexName = "OrvantaQuilloDevelop";

class SingleInstanceGuard {
public:
    SingleInstanceGuard() = default;
    ~SingleInstanceGuard() { Release(); }
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    // TRUE when this copy is the first. Otherwise a top-level window titled
    // windowTitle (name when NULL), if there is one, is shown, restored and
    // brought to the front.
    BOOL Acquire(const char* name, const char* windowTitle = nullptr);
    void Release();
    BOOL IsHeld() const { return m_mutex != nullptr; }

private:
    HANDLE m_mutex = nullptr;
    std::string m_name;
};

} // namespace develop
