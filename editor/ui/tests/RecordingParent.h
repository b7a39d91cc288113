// A top-level parent for the colour control tests that records one message
// its child sends or posts.
#pragma once

#include "platform/afx/Afx.h"
#include "platform/afx/QtBridge.h"

#include <utility>
#include <vector>

class CRecordingParent : public CWnd {
public:
    explicit CRecordingParent(UINT message) : m_message(message) {}

    BOOL CreateParent()
    {
        return CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr);
    }
    // The messages received so far, posted ones included.
    int Count()
    {
        qlafx::ProcessPendingEvents();
        return static_cast<int>(m_received.size());
    }

    std::vector<std::pair<WPARAM, LPARAM>> m_received;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == m_message) {
            m_received.emplace_back(wParam, lParam);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    UINT m_message;
};
