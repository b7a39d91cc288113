#include "album/shell/WebBrowser2.h"

#include "platform/afx/WinUser.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

#include <cstring>

namespace shelf {

namespace {

LRESULT HtmlViewProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProc(hwnd, msg, wParam, lParam);
}

QTextBrowser* ViewOf(HWND hwnd) { return hwnd ? qobject_cast<QTextBrowser*>(qlafx::WidgetOf(hwnd)) : nullptr; }

} // namespace

void CWebBrowser2::RegisterClass()
{
    static const bool registered = [] {
        qlafx::BuiltinClass cls;
        cls.defProc = &HtmlViewProc;
        cls.createWidget = [](HWND, const CREATESTRUCT&, QWidget* parent) -> QWidget* {
            auto* view = new QTextBrowser(parent);
            view->setOpenLinks(true);
            view->setOpenExternalLinks(false);
            return view;
        };
        qlafx::RegisterBuiltinClass("QlHtmlView", std::move(cls));
        return true;
    }();
    (void)registered;
}

void CWebBrowser2::Navigate(const char* url)
{
    m_url = url ? url : "";
    QTextBrowser* view = ViewOf(m_hWnd);
    if (!view)
        return;
    const QString text = QString::fromStdString(m_url);
    const QUrl target = text.startsWith("file://") ? QUrl(text) : QUrl::fromLocalFile(text);
    const QString local = target.toLocalFile();
    if (local.isEmpty() || !QFileInfo(local).isFile()) {
        view->setHtml("<h3>The page cannot be found.</h3><p>" + local.toHtmlEscaped() + "</p>");
        return;
    }
    view->setSource(target);
}

std::string CWebBrowser2::GetPlainText() const
{
    const QTextBrowser* view = ViewOf(m_hWnd);
    return view ? view->toPlainText().toStdString() : std::string();
}

} // namespace shelf
