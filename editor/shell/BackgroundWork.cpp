#include "editor/shell/BackgroundWork.h"

#include "platform/afx/WinApp.h"
#include "platform/afx/WinThread.h"

#include <QEventLoop>
#include <QMetaObject>

#include <atomic>
#include <thread>

int RunInBackground(CWnd* window, const std::function<int()>& work)
{
    CWinApp* app = AfxGetApp();
    const BOOL wasEnabled = window && window->GetSafeHwnd() && window->IsWindowEnabled();
    if (wasEnabled)
        window->EnableWindow(FALSE);
    if (app)
        app->DoWaitCursor(1);
    // The work stands in for a wait that pumps nothing: posted messages and
    // timers (a queued close among them) wait until it is done.
    const qlafx::HoldPostedMessages hold;
    QEventLoop loop;
    std::atomic<int> result{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        result = work();
        done = true;
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    // The quit may come before the loop runs; done covers that.
    while (!done.load())
        loop.exec();
    worker.join();
    if (app)
        app->DoWaitCursor(-1);
    if (wasEnabled)
        window->EnableWindow(TRUE);
    return result.load();
}
