#include "platform/afx/OleDrag.h"

#include "platform/afx/Clipboard.h"

#include <QApplication>
#include <QDrag>
#include <QEventLoop>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {

qlafx::DragHook& Hook()
{
    static qlafx::DragHook hook;
    return hook;
}

// Ends the loop with 1 once the pointer leaves the square, with 0 when the
// button comes up first.
class StartWatch : public QObject {
public:
    StartWatch(QEventLoop& loop, const RECT& square) : m_loop(loop), m_square(square) {}

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove) {
            const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
            if (at.x() < m_square.left || at.x() > m_square.right || at.y() < m_square.top || at.y() > m_square.bottom)
                m_loop.exit(1);
        } else if (event->type() == QEvent::MouseButtonRelease &&
                   static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_loop.exit(0); // the release still reaches its window
        }
        return false;
    }

private:
    QEventLoop& m_loop;
    RECT m_square;
};

Qt::DropActions ActionsOf(DROPEFFECT allowed)
{
    Qt::DropActions actions;
    if (allowed & DROPEFFECT_COPY)
        actions |= Qt::CopyAction;
    if (allowed & DROPEFFECT_MOVE)
        actions |= Qt::MoveAction;
    if (allowed & DROPEFFECT_LINK)
        actions |= Qt::LinkAction;
    return actions;
}

DROPEFFECT EffectOf(Qt::DropAction action)
{
    switch (action) {
    case Qt::CopyAction: return DROPEFFECT_COPY;
    case Qt::MoveAction: return DROPEFFECT_MOVE;
    case Qt::LinkAction: return DROPEFFECT_LINK;
    default: return DROPEFFECT_NONE;
    }
}

} // namespace

namespace qlafx {
void SetDragHook(DragHook hook) { Hook() = std::move(hook); }
} // namespace qlafx

COleDataSource::~COleDataSource()
{
    for (auto& [format, block] : m_blocks)
        GlobalFree(block);
}

void COleDataSource::CacheGlobalData(UINT format, HGLOBAL data, LPFORMATETC)
{
    if (auto it = m_blocks.find(format); it != m_blocks.end())
        GlobalFree(it->second);
    m_blocks[format] = data;
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD allowed, LPCRECT startRect, void*)
{
    if (!qApp)
        return DROPEFFECT_NONE;
    RECT square;
    if (startRect) {
        square = *startRect;
    } else {
        const QPoint at = QCursor::pos();
        const int d = QApplication::startDragDistance();
        square = RECT{at.x() - d, at.y() - d, at.x() + d, at.y() + d};
    }
    QEventLoop loop;
    StartWatch watch(loop, square);
    qApp->installEventFilter(&watch);
    const int started = loop.exec();
    qApp->removeEventFilter(&watch);
    if (!started)
        return DROPEFFECT_NONE;

    auto* mime = new QMimeData;
    if (auto it = m_blocks.find(CF_HDROP); it != m_blocks.end()) {
        QList<QUrl> urls;
        if (qlafx::UrlsFromDropBlock(GlobalLock(it->second), GlobalSize(it->second), urls))
            mime->setUrls(urls);
        GlobalUnlock(it->second);
    }
    if (Hook()) {
        const DROPEFFECT chosen = Hook()(*mime, allowed);
        delete mime;
        return chosen & allowed;
    }
    QObject* source = QApplication::focusWidget() ? static_cast<QObject*>(QApplication::focusWidget()) : qApp;
    QDrag drag(source);
    drag.setMimeData(mime);
    return EffectOf(drag.exec(ActionsOf(allowed), Qt::CopyAction)) & allowed;
}
