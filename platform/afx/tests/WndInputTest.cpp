// Mouse input the editor's windows rely on: capture, leave and hover
// tracking, the wheel, dropped files, size limits and parent notification.
#include "WndTestSupport.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Msg {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// Records every message; handles none of them.
class CRecordWnd : public CWnd {
public:
    std::vector<Msg> m_msgs;
    bool m_eatWheel = false;

    int Count(UINT message) const
    {
        int n = 0;
        for (const Msg& m : m_msgs)
            n += m.message == message;
        return n;
    }
    const Msg* Last(UINT message) const
    {
        for (auto it = m_msgs.rbegin(); it != m_msgs.rend(); ++it)
            if (it->message == message)
                return &*it;
        return nullptr;
    }
    BOOL MakePopup(int x, int y, int cx = 100, int cy = 80)
    {
        return CreateEx(0, TestClass(), "", WS_POPUP | WS_VISIBLE, x, y, cx, cy, nullptr, nullptr);
    }
    BOOL MakeChild(CWnd& parent, int x, int y, UINT id, DWORD exStyle = 0)
    {
        return CreateEx(exStyle, TestClass(), "", WS_CHILD | WS_VISIBLE, x, y, 40, 30, parent.m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<uintptr_t>(id)));
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_msgs.push_back({message, wParam, lParam});
        if (message == WM_MOUSEWHEEL && m_eatWheel)
            return 0;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

QPoint PointOf(LPARAM lParam)
{
    return QPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
}

void MouseEvent(CWnd& wnd, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton,
                Qt::MouseButtons buttons = Qt::NoButton)
{
    QWidget* w = wnd.GetWidget();
    QMouseEvent e(type, QPointF(at), QPointF(w->mapToGlobal(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

void Enter(CWnd& wnd, QPoint at)
{
    QWidget* w = wnd.GetWidget();
    const QPointF local(at);
    QEnterEvent e(local, local, QPointF(w->mapToGlobal(at)));
    QApplication::sendEvent(w, &e);
    MouseEvent(wnd, QEvent::MouseMove, at);
}

void Leave(CWnd& wnd)
{
    QEvent e(QEvent::Leave);
    QApplication::sendEvent(wnd.GetWidget(), &e);
}

BOOL Track(CWnd& wnd, DWORD flags, DWORD hoverTime = HOVER_DEFAULT)
{
    TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), flags, wnd.m_hWnd, hoverTime};
    return _TrackMouseEvent(&tme);
}

// Two top-level windows side by side, away from the pointer Qt itself
// tracks (so its own enter and leave events do not interfere).
class WndInput : public ::testing::Test {
protected:
    void SetUp() override
    {
        QCursor::setPos(0, 0);
        ASSERT_TRUE(m_a.MakePopup(100, 50));
        ASSERT_TRUE(m_b.MakePopup(300, 200));
    }
    void TearDown() override
    {
        ReleaseCapture();
        m_a.DestroyWindow();
        m_b.DestroyWindow();
        qlafx::ProcessPendingEvents();
    }
    CRecordWnd m_a, m_b;
};

// ---- capture ----

TEST_F(WndInput, CaptureRoutesMovesElsewhereToTheCapturingWindowInItsCoordinates)
{
    EXPECT_EQ(m_a.SetCapture(), nullptr);
    EXPECT_EQ(GetCapture(), m_a.m_hWnd);
    m_a.m_msgs.clear();
    MouseEvent(m_b, QEvent::MouseMove, QPoint(10, 20));
    EXPECT_EQ(m_b.Count(WM_MOUSEMOVE), 0);
    ASSERT_EQ(m_a.Count(WM_MOUSEMOVE), 1);
    QPoint expected = m_b.GetWidget()->mapToGlobal(QPoint(10, 20)) - m_a.GetWidget()->mapToGlobal(QPoint(0, 0));
    EXPECT_EQ(PointOf(m_a.Last(WM_MOUSEMOVE)->lParam), expected);

    MouseEvent(m_b, QEvent::MouseButtonPress, QPoint(5, 5), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(m_a.Count(WM_LBUTTONDOWN), 1);
    EXPECT_EQ(m_b.Count(WM_LBUTTONDOWN), 0);
    EXPECT_EQ(m_a.Last(WM_LBUTTONDOWN)->wParam, static_cast<WPARAM>(MK_LBUTTON));

    EXPECT_TRUE(ReleaseCapture());
    MouseEvent(m_b, QEvent::MouseMove, QPoint(10, 20));
    EXPECT_EQ(m_b.Count(WM_MOUSEMOVE), 1) << "after release the window under the pointer has it";
    EXPECT_EQ(PointOf(m_b.Last(WM_MOUSEMOVE)->lParam), QPoint(10, 20));
}

TEST_F(WndInput, LosingCaptureSendsCaptureChangedWithTheNewOwner)
{
    m_a.SetCapture();
    EXPECT_EQ(m_a.Count(WM_CAPTURECHANGED), 0);
    EXPECT_EQ(m_b.SetCapture(), &m_a);
    ASSERT_EQ(m_a.Count(WM_CAPTURECHANGED), 1);
    EXPECT_EQ(m_a.Last(WM_CAPTURECHANGED)->lParam, reinterpret_cast<LPARAM>(m_b.m_hWnd));
    EXPECT_EQ(m_b.Count(WM_CAPTURECHANGED), 0);

    ReleaseCapture();
    ASSERT_EQ(m_b.Count(WM_CAPTURECHANGED), 1);
    EXPECT_EQ(m_b.Last(WM_CAPTURECHANGED)->lParam, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    ReleaseCapture();
    EXPECT_EQ(m_b.Count(WM_CAPTURECHANGED), 1) << "nothing to lose the second time";
}

TEST_F(WndInput, DestroyingTheCapturingWindowReleasesCapture)
{
    m_b.SetCapture();
    m_b.DestroyWindow();
    EXPECT_EQ(GetCapture(), nullptr);
    MouseEvent(m_a, QEvent::MouseMove, QPoint(3, 4));
    EXPECT_EQ(m_a.Count(WM_MOUSEMOVE), 1);
}

// ---- leave and hover ----

TEST_F(WndInput, TrackedLeaveComesOnceAfterThePointerLeaves)
{
    Enter(m_a, QPoint(10, 10));
    ASSERT_TRUE(Track(m_a, TME_LEAVE));
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_a.Count(WM_MOUSELEAVE), 0) << "the pointer is still inside";
    Leave(m_a);
    Leave(m_a);
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_a.Count(WM_MOUSELEAVE), 1);

    Enter(m_a, QPoint(10, 10));
    Leave(m_a);
    EXPECT_EQ(m_a.Count(WM_MOUSELEAVE), 1) << "untracked leaves send nothing";
}

TEST_F(WndInput, LeaveTrackedWhileOutsideComesAtOnceAndCancelStopsIt)
{
    Enter(m_b, QPoint(5, 5));
    Track(m_a, TME_LEAVE);
    ASSERT_TRUE(PumpUntil([&] { return m_a.Count(WM_MOUSELEAVE) == 1; }));

    Enter(m_a, QPoint(5, 5));
    Track(m_a, TME_LEAVE);
    Track(m_a, TME_LEAVE | TME_CANCEL);
    Leave(m_a);
    qlafx::ProcessPendingEvents();
    EXPECT_EQ(m_a.Count(WM_MOUSELEAVE), 1);
}

struct HoverCase {
    const char* name;
    DWORD hoverTime;
};

class WndHover : public WndInput, public ::testing::WithParamInterface<HoverCase> {};

TEST_P(WndHover, HoverComesOnceWhereThePointerRests)
{
    Enter(m_a, QPoint(12, 14));
    ASSERT_TRUE(Track(m_a, TME_HOVER, GetParam().hoverTime));
    ASSERT_TRUE(PumpUntil([&] { return m_a.Count(WM_MOUSEHOVER) > 0; }));
    EXPECT_EQ(PointOf(m_a.Last(WM_MOUSEHOVER)->lParam), QPoint(12, 14));
    EXPECT_EQ(m_a.Last(WM_MOUSEHOVER)->wParam, 0u);
    // Tracking ended with the message; a second hover needs a second request.
    Enter(m_b, QPoint(1, 1));
    ASSERT_TRUE(Track(m_b, TME_HOVER, GetParam().hoverTime));
    ASSERT_TRUE(PumpUntil([&] { return m_b.Count(WM_MOUSEHOVER) > 0; }));
    EXPECT_EQ(m_a.Count(WM_MOUSEHOVER), 1);
}

INSTANTIATE_TEST_SUITE_P(Times, WndHover,
                         ::testing::Values(HoverCase{"Short", 20}, HoverCase{"Default", HOVER_DEFAULT}),
                         [](const ::testing::TestParamInfo<HoverCase>& info) { return std::string(info.param.name); });

TEST_F(WndInput, LeavingBeforeTheHoverTimeCancelsHover)
{
    Enter(m_a, QPoint(12, 14));
    Track(m_a, TME_HOVER, 10);
    Leave(m_a);
    // b's later hover shows the loop ran past a's hover time.
    Enter(m_b, QPoint(3, 3));
    Track(m_b, TME_HOVER, 60);
    ASSERT_TRUE(PumpUntil([&] { return m_b.Count(WM_MOUSEHOVER) > 0; }));
    EXPECT_EQ(m_a.Count(WM_MOUSEHOVER), 0);
}

TEST_F(WndInput, MovingOutOfTheHoverRectangleRestartsFromThere)
{
    Enter(m_a, QPoint(10, 10));
    Track(m_a, TME_HOVER, 30);
    MouseEvent(m_a, QEvent::MouseMove, QPoint(11, 11));  // inside the rectangle
    MouseEvent(m_a, QEvent::MouseMove, QPoint(40, 30));  // out of it
    ASSERT_TRUE(PumpUntil([&] { return m_a.Count(WM_MOUSEHOVER) > 0; }));
    EXPECT_EQ(PointOf(m_a.Last(WM_MOUSEHOVER)->lParam), QPoint(40, 30));
}

// ---- wheel ----

struct WheelCase {
    const char* name;
    int delta;
    Qt::MouseButtons buttons;
    Qt::KeyboardModifiers mods;
    WORD flags;
};

class WndWheel : public WndInput, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(WndWheel, WheelGivesDeltaFlagsAndScreenPoint)
{
    const WheelCase& c = GetParam();
    QWidget* w = m_b.GetWidget();
    const QPoint local(7, 9), global = w->mapToGlobal(local);
    QWheelEvent e(QPointF(local), QPointF(global), QPoint(), QPoint(0, c.delta), c.buttons, c.mods, Qt::NoScrollPhase,
                  false);
    QApplication::sendEvent(w, &e);
    const Msg* m = m_b.Last(WM_MOUSEWHEEL);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(m->wParam), c.delta);
    EXPECT_EQ(c.delta % WHEEL_DELTA, 0);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(m->wParam)), c.flags);
    EXPECT_EQ(PointOf(m->lParam), global) << "screen coordinates";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WndWheel,
    ::testing::Values(WheelCase{"OneNotchUp", WHEEL_DELTA, Qt::NoButton, Qt::NoModifier, 0},
                      WheelCase{"TwoNotchesDownWithControl", -2 * WHEEL_DELTA, Qt::NoButton, Qt::ControlModifier,
                                MK_CONTROL},
                      WheelCase{"ShiftAndLeftButton", WHEEL_DELTA, Qt::LeftButton, Qt::ShiftModifier,
                                MK_SHIFT | MK_LBUTTON},
                      WheelCase{"RightButton", -WHEEL_DELTA, Qt::RightButton, Qt::NoModifier, MK_RBUTTON}),
    [](const ::testing::TestParamInfo<WheelCase>& info) { return std::string(info.param.name); });

TEST_F(WndInput, WheelUnhandledByAChildGoesToItsParent)
{
    CRecordWnd child;
    ASSERT_TRUE(child.MakeChild(m_a, 10, 10, 5));
    QWidget* w = child.GetWidget();
    QWheelEvent e(QPointF(3, 3), QPointF(w->mapToGlobal(QPoint(3, 3))), QPoint(), QPoint(0, WHEEL_DELTA),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
    EXPECT_EQ(child.Count(WM_MOUSEWHEEL), 1);
    EXPECT_EQ(m_a.Count(WM_MOUSEWHEEL), 1);

    child.m_eatWheel = true;
    QApplication::sendEvent(w, &e);
    EXPECT_EQ(m_a.Count(WM_MOUSEWHEEL), 1) << "a handled wheel stays with the child";
}

// ---- dropped files ----

struct DroppedFiles {
    UINT count = 0;
    std::vector<std::string> names;
    std::vector<UINT> lengths;
    POINT point{-1, -1};
    BOOL pointOk = FALSE;
};

class CDropWnd : public CWnd {
public:
    std::vector<DroppedFiles> m_drops;

protected:
    void OnDropFiles(HDROP drop)
    {
        DroppedFiles d;
        d.count = DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < d.count; ++i) {
            const UINT len = DragQueryFile(drop, i, nullptr, 0);
            std::string name(len + 1, '\0');
            d.lengths.push_back(DragQueryFile(drop, i, name.data(), len + 1));
            name.resize(len);
            d.names.push_back(name);
        }
        d.pointOk = DragQueryPoint(drop, &d.point);
        DragFinish(drop);
        // A finished handle answers nothing and may be finished again.
        EXPECT_EQ(DragQueryFile(drop, 0xFFFFFFFF, nullptr, 0), 0u);
        DragFinish(drop);
        m_drops.push_back(d);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDropWnd, CWnd)
    ON_WM_DROPFILES()
END_MESSAGE_MAP()

void DropUrls(CWnd& wnd, const QList<QUrl>& urls, QPoint at)
{
    SendFileDrop(wnd.GetWidget(), urls, at);
}

TEST(WndDropFiles, DroppedFilesArriveWithNamesAndPoint)
{
    CDropWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
    wnd.DragAcceptFiles();
    DropUrls(wnd,
             {QUrl::fromLocalFile(QString::fromUtf8("/tmp/photos/b\xC3\xA4r 1.jpg")), QUrl("https://example.org/x.png"),
              QUrl::fromLocalFile("/tmp/c.tif")},
             QPoint(30, 40));
    ASSERT_EQ(wnd.m_drops.size(), 1u);
    const DroppedFiles& d = wnd.m_drops[0];
    EXPECT_EQ(d.count, 2u) << "only local files";
    EXPECT_EQ(d.names, (std::vector<std::string>{"/tmp/photos/b\xC3\xA4r 1.jpg", "/tmp/c.tif"}));
    EXPECT_EQ(d.lengths, (std::vector<UINT>{22u, 10u})) << "bytes of UTF-8, without the NUL";
    EXPECT_TRUE(d.pointOk);
    EXPECT_EQ(d.point.x, 30);
    EXPECT_EQ(d.point.y, 40);

    wnd.DragAcceptFiles(FALSE);
    DropUrls(wnd, {QUrl::fromLocalFile("/tmp/c.tif")}, QPoint(1, 1));
    EXPECT_EQ(wnd.m_drops.size(), 1u) << "no longer accepting";
    wnd.DestroyWindow();
}

TEST(WndDropFiles, QueriesOnUnknownHandlesAnswerNothing)
{
    EXPECT_EQ(DragQueryFile(nullptr, 0xFFFFFFFF, nullptr, 0), 0u);
    POINT pt{};
    EXPECT_FALSE(DragQueryPoint(nullptr, &pt));
    DragFinish(nullptr);
}

// ---- size limits ----

class CLimitedWnd : public CWnd {
public:
    SIZE m_min{0, 0};
    SIZE m_max{0, 0};

protected:
    void OnGetMinMaxInfo(MINMAXINFO* mmi)
    {
        if (m_min.cx)
            mmi->ptMinTrackSize = {m_min.cx, m_min.cy};
        if (m_max.cx)
            mmi->ptMaxTrackSize = {m_max.cx, m_max.cy};
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLimitedWnd, CWnd)
    ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

SIZE ClientSize(CWnd& wnd)
{
    RECT rc{};
    wnd.GetClientRect(&rc);
    return SIZE{rc.right, rc.bottom};
}

TEST(WndMinMax, TrackSizesLimitResizing)
{
    CLimitedWnd wnd;
    wnd.m_min = {200, 150};
    wnd.m_max = {400, 300};
    ASSERT_TRUE(wnd.CreateEx(0, TestClass(), "", WS_OVERLAPPEDWINDOW, 0, 0, 250, 200, nullptr, nullptr));
    EXPECT_EQ(wnd.GetWidget()->minimumSize(), QSize(200, 150));
    EXPECT_EQ(wnd.GetWidget()->maximumSize(), QSize(400, 300));
    wnd.MoveWindow(0, 0, 50, 40);
    EXPECT_EQ(ClientSize(wnd).cx, 200);
    EXPECT_EQ(ClientSize(wnd).cy, 150);
    wnd.MoveWindow(0, 0, 900, 900);
    EXPECT_EQ(ClientSize(wnd).cx, 400);
    EXPECT_EQ(ClientSize(wnd).cy, 300);

    // Limits are asked for again: changed ones hold from the next resize on.
    wnd.m_min = {0, 0};
    wnd.m_max = {500, 350};
    wnd.MoveWindow(0, 0, 60, 900);
    CRect window;
    wnd.GetWindowRect(&window);
    EXPECT_EQ(window.Width(), 60) << "the window, frame and all, as asked";
    EXPECT_EQ(ClientSize(wnd).cy, 350);
    wnd.DestroyWindow();
}

// ---- parent notification ----

TEST_F(WndInput, ParentHearsOfChildCreationDestructionAndClicks)
{
    CRecordWnd child, grandchild, quiet;
    ASSERT_TRUE(child.MakeChild(m_a, 10, 10, 21));
    const Msg* m = m_a.Last(WM_PARENTNOTIFY);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->wParam, MAKEWPARAM(WM_CREATE, 21));
    EXPECT_EQ(m->lParam, reinterpret_cast<LPARAM>(child.m_hWnd));

    ASSERT_TRUE(grandchild.MakeChild(child, 5, 5, 22));
    EXPECT_EQ(child.Count(WM_PARENTNOTIFY), 1);
    EXPECT_EQ(m_a.Count(WM_PARENTNOTIFY), 2) << "passed on up the chain";
    EXPECT_EQ(m_a.Last(WM_PARENTNOTIFY)->lParam, reinterpret_cast<LPARAM>(grandchild.m_hWnd));

    m_a.m_msgs.clear();
    child.m_msgs.clear();
    MouseEvent(grandchild, QEvent::MouseButtonPress, QPoint(2, 3), Qt::RightButton, Qt::RightButton);
    ASSERT_NE(child.Last(WM_PARENTNOTIFY), nullptr);
    EXPECT_EQ(LOWORD(static_cast<DWORD>(child.Last(WM_PARENTNOTIFY)->wParam)), WM_RBUTTONDOWN);
    EXPECT_EQ(PointOf(child.Last(WM_PARENTNOTIFY)->lParam), QPoint(7, 8)) << "in the parent's client coordinates";
    ASSERT_NE(m_a.Last(WM_PARENTNOTIFY), nullptr);
    EXPECT_EQ(PointOf(m_a.Last(WM_PARENTNOTIFY)->lParam), QPoint(17, 18));
    MouseEvent(grandchild, QEvent::MouseButtonRelease, QPoint(2, 3), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(m_a.Count(WM_PARENTNOTIFY), 1) << "button-ups are not told";

    m_a.m_msgs.clear();
    grandchild.DestroyWindow();
    ASSERT_NE(m_a.Last(WM_PARENTNOTIFY), nullptr);
    EXPECT_EQ(m_a.Last(WM_PARENTNOTIFY)->wParam, MAKEWPARAM(WM_DESTROY, 22));

    m_a.m_msgs.clear();
    ASSERT_TRUE(quiet.MakeChild(m_a, 60, 10, 23, WS_EX_NOPARENTNOTIFY));
    MouseEvent(quiet, QEvent::MouseButtonPress, QPoint(1, 1), Qt::LeftButton, Qt::LeftButton);
    quiet.DestroyWindow();
    EXPECT_EQ(m_a.Count(WM_PARENTNOTIFY), 0);
}

}  // namespace

namespace {

// ---- application activation ----

TEST(WndActivateApp, TopLevelWindowsHearWhenTheApplicationTurnsActive)
{
    // Qt's offscreen platform never turns an application inactive again, so
    // this needs a process where no window was active yet (as under ctest).
    if (QGuiApplication::applicationState() == Qt::ApplicationActive)
        GTEST_SKIP() << "the application is already active";
    CRecordWnd shown, hidden, child;
    ASSERT_TRUE(hidden.CreateEx(0, TestClass(), "", WS_POPUP, 300, 50, 50, 50, nullptr, nullptr));
    ASSERT_TRUE(shown.CreateEx(0, TestClass(), "", WS_POPUP, 100, 50, 50, 50, nullptr, nullptr));
    ASSERT_TRUE(child.MakeChild(shown, 1, 1, 3));
    shown.ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return hidden.Count(WM_ACTIVATEAPP) == 1; }));
    EXPECT_EQ(hidden.Last(WM_ACTIVATEAPP)->wParam, static_cast<WPARAM>(TRUE));
    EXPECT_EQ(shown.Count(WM_ACTIVATEAPP), 1);
    EXPECT_EQ(child.Count(WM_ACTIVATEAPP), 0) << "child windows are not told";
    shown.DestroyWindow();
    hidden.DestroyWindow();
}

}  // namespace
