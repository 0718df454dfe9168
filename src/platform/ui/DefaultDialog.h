#pragma once

#include <QCoreApplication>
#include <QPointer>

// The one instance of a dialog class, made on first use and kept for the whole run. It is deleted
// while the application object still exists: a widget outliving it would crash at exit.
template <typename Dialog>
Dialog *defaultDialogInstance()
{
    static QPointer<Dialog> instance;
    if (!instance) {
        instance = new Dialog;
        qAddPostRoutine([] { delete instance.data(); });
    }
    return instance.data();
}
