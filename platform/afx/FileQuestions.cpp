#include "platform/afx/FileQuestions.h"

#include "platform/afx/MessageBox.h"
#include "platform/win/FileOps.h"

#include <QCoreApplication>
#include <QThread>

#include <string>

namespace qlafx {

namespace {

bool Ask(HWND owner, qlwin::FileQuestion question, const char* path)
{
    const bool del = question == qlwin::FileQuestion::Delete;
    auto* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return del;
    const std::string text = del ? "Are you sure you want to permanently delete '" + std::string(path) + "'?"
                                 : "'" + std::string(path) + "' already exists.\n\nDo you want to replace it?";
    return MessageBox(owner, text.c_str(), del ? "Delete File" : "Confirm File Replace",
                      MB_YESNO | MB_ICONWARNING) == IDYES;
}

} // namespace

void InstallFileQuestions()
{
    qlwin::SetFileConfirmHook(Ask);
}

} // namespace qlafx
