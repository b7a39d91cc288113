// The Tips dialog's page view: a window class "QlHtmlView" that shows local
// HTML pages (a Qt text browser), enough for the tip pages.
#pragma once

#include "platform/afx/Wnd.h"

#include <string>

namespace shelf {

class CWebBrowser2 : public CWnd {
public:
    // Registers the window class; templates may then name it.
    static void RegisterClass();
    // "file://<path>" or a plain path; a missing file shows a short notice.
    void Navigate(const char* url);
    std::string GetLocationURL() const { return m_url; }
    // The text the view shows now, for tests.
    std::string GetPlainText() const;

private:
    std::string m_url;
};

} // namespace shelf
