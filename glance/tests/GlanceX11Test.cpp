// The viewer's own frame under a real window manager: moving by the title
// band, resizing by the corner, maximising by a double click, and a hand-over
// bringing the window forward.
#include "glance/GlanceDlg.h"
#include "glance/GlanceTexts.h"
#include "glance/LoadingThread.h"
#include "GlanceTempDir.h"
#include "platform/afx/QtBridge.h"
#include "platform/afx/WinApp.h"
#include "platform/afx/tests/X11TestSupport.h"
#include "platform/codec/QLImageCodec.h"
#include "platform/win/Profile.h"

#include <QImage>

using namespace glance;
using x11test::XdoTool;

namespace {

QString N(int v) { return QString::number(v); }

class GlanceX11Test : public testing::Test {
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs an X server";
        static bool started = [] {
            CQLImageCodec::Start();
            FillGlanceTexts();
            SetProgramFolder(QUILLO_PROGRAM_DIR);
            LoadingThread().CreateThread();
            return true;
        }();
        (void)started;
        static CWinApp app("QuilloGlance");
        std::free(const_cast<char*>(app.m_pszProfileName));
        app.m_pszProfileName = strdup((dir.Path() + "QuilloView.ini").c_str());
        WritePrivateProfileString("Config", "Max", "0", app.m_pszProfileName);
        QImage photo(800, 600, QImage::Format_RGB32);
        photo.fill(Qt::darkGreen);
        ASSERT_TRUE(photo.save(QString::fromStdString(dir.Path() + "a.jpg")));
        ASSERT_TRUE(photo.save(QString::fromStdString(dir.Path() + "b.jpg")));
        dlg = std::make_unique<GlanceDlg>(&LoadingThread(), dir.Path() + "a.jpg");
        ASSERT_TRUE(dlg->Create(kGlanceDlgId));
        dlg->SetWindowPos(nullptr, 100, 100, 900, 650, SWP_NOZORDER);
        dlg->ShowWindow(SW_SHOW);
        widget = qlafx::WidgetOf(dlg->m_hWnd);
        ASSERT_TRUE(PumpUntil([&] { return widget->isVisible() && dlg->m_view.Mode() == 2; }));
        x11test::WaitActive(widget);
        ASSERT_TRUE(barrier.Sync());
    }
    void TearDown() override
    {
        if (dlg && dlg->m_hWnd)
            dlg->DestroyWindow();
        PumpUntil([] { return LoadingThread().m_state == 3; });
    }
    QPoint Global(int x, int y) const { return widget->mapToGlobal(QPoint(x, y)); }
    bool Drag(QPoint from, QPoint to)
    {
        return XdoTool({"mousemove", "--sync", N(from.x()), N(from.y()), "mousedown", "1"})
               && XdoTool({"mousemove", "--sync", N((from.x() + to.x()) / 2), N((from.y() + to.y()) / 2)})
               && XdoTool({"mousemove", "--sync", N(to.x()), N(to.y()), "mouseup", "1"});
    }

    GlanceTempDir dir;
    x11test::WmBarrier barrier;
    std::unique_ptr<GlanceDlg> dlg;
    QWidget* widget = nullptr;
};

} // namespace

TEST_F(GlanceX11Test, TitleBandMovesAndCornerResizesNeverBelow600By400)
{
    const QPoint before = widget->geometry().topLeft();
    ASSERT_TRUE(Drag(Global(300, 10), Global(380, 70)));
    EXPECT_TRUE(PumpUntil([&] { return widget->geometry().topLeft() == before + QPoint(80, 60); }, 5000))
        << widget->geometry().x() << "," << widget->geometry().y();

    const QSize size = widget->size();
    ASSERT_TRUE(Drag(Global(size.width() - 4, size.height() - 4), Global(size.width() - 600, size.height() - 500)));
    EXPECT_TRUE(PumpUntil([&] { return widget->size() != size; }, 5000));
    EXPECT_GE(widget->width(), 600);
    EXPECT_GE(widget->height(), 400);
    EXPECT_LT(widget->width(), size.width());
    barrier.Sync();
    PumpUntil([] { return false; }, 300);
    x11test::SaveScreenshot("glance-resized");
}

TEST_F(GlanceX11Test, DoubleClickOnTheBandMaximisesAndRestores)
{
    const QPoint band = Global(300, 10);
    ASSERT_TRUE(XdoTool({"mousemove", "--sync", N(band.x()), N(band.y()), "click", "--repeat", "2", "--delay", "80",
                         "1"}));
    EXPECT_TRUE(PumpUntil([&] { return dlg->m_bMaximized == 1 && widget->isMaximized(); }, 10000));
    PumpUntil([] { return false; }, 300);
    x11test::SaveScreenshot("glance-maximised");
    const QPoint again = Global(300, 10);
    ASSERT_TRUE(XdoTool({"mousemove", "--sync", N(again.x()), N(again.y()), "click", "--repeat", "2", "--delay", "80",
                         "1"}));
    EXPECT_TRUE(PumpUntil([&] { return dlg->m_bMaximized == 0 && !widget->isMaximized(); }, 10000));
}

TEST_F(GlanceX11Test, HandOverBringsTheWindowForward)
{
    QWidget other;
    other.setWindowTitle("other");
    other.resize(400, 300);
    other.show();
    x11test::WaitManaged(&other);
    other.activateWindow();
    ASSERT_TRUE(PumpUntil([&] { return other.isActiveWindow(); }));
    AfxGetApp()->WriteProfileString("Temp", "Open", (dir.Path() + "b.jpg").c_str());
    dlg->SendMessage(WM_GLANCE_HANDOVER, 0, 0);
    EXPECT_TRUE(x11test::WaitActive(widget));
    EXPECT_STREQ(AfxGetApp()->GetProfileString("Temp", "Open", "x").GetString(), "");
    EXPECT_TRUE(PumpUntil([&] { return LoadingThread().m_folder.CurrentName() == "b.jpg"; }));
}
