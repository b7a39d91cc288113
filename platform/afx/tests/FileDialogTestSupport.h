// Working the file dialog's Qt widget in tests, as a person would.
#pragma once

#include "platform/afx/tests/WndTestSupport.h"

#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>

#include <string>

// The Qt file widget inside a running file dialog.
inline QFileDialog* FileWidgetOf(CWnd* dialog)
{
    return dialog && dialog->GetWidget() ? dialog->GetWidget()->findChild<QFileDialog*>() : nullptr;
}

// Clicks the file in the widget's list once its folder is read.
inline bool PickInList(QFileDialog* widget, const std::string& path)
{
    auto* view = widget ? widget->findChild<QListView*>("listView") : nullptr;
    auto* model = view ? qobject_cast<QFileSystemModel*>(view->model()) : nullptr;
    const QString file = QString::fromStdString(path);
    if (!model || !PumpUntil([&] { return model->index(file).isValid(); }, 5000))
        return false;
    view->setCurrentIndex(model->index(file));
    return true;
}
