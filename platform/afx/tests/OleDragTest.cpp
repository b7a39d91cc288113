#include "platform/afx/Clipboard.h"
#include "platform/afx/OleDrag.h"

#include <QCoreApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

HGLOBAL DropBlock(const std::string& list)
{
    const DROPFILES header{sizeof(DROPFILES), {0, 0}, FALSE, FALSE};
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof header + list.size());
    auto* p = static_cast<char*>(GlobalLock(block));
    std::memcpy(p, &header, sizeof header);
    std::memcpy(p + sizeof header, list.data(), list.size());
    GlobalUnlock(block);
    return block;
}

void SendMove(QWidget& w, QPoint global)
{
    QMouseEvent move(QEvent::MouseMove, w.mapFromGlobal(global), global, Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &move);
}

struct DragFixture : ::testing::Test {
    void TearDown() override { qlafx::SetDragHook({}); }
    QWidget widget;
    int hookCalls = 0;
    QList<QUrl> offered;
    DROPEFFECT allowedSeen = 0;
};

// Moves inside the square start nothing; the first one past it offers the
// files as local URLs and returns what the target chose.
TEST_F(DragFixture, StartsOnlyPastTheSquareAndOffersTheFiles)
{
    qlafx::SetDragHook([this](const QMimeData& data, DROPEFFECT allowed) {
        ++hookCalls;
        offered = data.urls();
        allowedSeen = allowed;
        return DROPEFFECT_COPY;
    });
    COleDataSource source;
    source.CacheGlobalData(CF_HDROP, DropBlock(std::string("/tmp/a b.jpg\0/tmp/c.jpg\0\0", 25)));
    const RECT square{90, 90, 110, 110};
    QTimer::singleShot(0, [&] {
        SendMove(widget, {105, 100});
        SendMove(widget, {100, 110});
        EXPECT_EQ(hookCalls, 0);
        SendMove(widget, {111, 100});
    });
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_LINK, &square), DROPEFFECT_COPY);
    EXPECT_EQ(hookCalls, 1);
    EXPECT_EQ(allowedSeen, DROPEFFECT_COPY | DROPEFFECT_LINK);
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered[0].toLocalFile(), "/tmp/a b.jpg");
    EXPECT_EQ(offered[1].toLocalFile(), "/tmp/c.jpg");
}

// A release inside the square ends the wait with no drag; an effect the
// source did not allow counts as none.
TEST_F(DragFixture, ReleaseInsideTheSquareDragsNothing)
{
    qlafx::SetDragHook([this](const QMimeData&, DROPEFFECT) {
        ++hookCalls;
        return DROPEFFECT_MOVE;
    });
    COleDataSource source;
    source.CacheGlobalData(CF_HDROP, DropBlock(std::string("/tmp/a.jpg\0\0", 12)));
    const RECT square{90, 90, 110, 110};
    QTimer::singleShot(0, [&] {
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(100, 100), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QCoreApplication::sendEvent(&widget, &up);
    });
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY, &square), DROPEFFECT_NONE);
    EXPECT_EQ(hookCalls, 0);
    QTimer::singleShot(0, [&] { SendMove(widget, {200, 200}); });
    EXPECT_EQ(source.DoDragDrop(DROPEFFECT_COPY, &square), DROPEFFECT_NONE);
    EXPECT_EQ(hookCalls, 1);
}

} // namespace
