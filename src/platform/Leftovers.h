#pragma once

#include <QString>

// What the sweeps of a killed run's leftovers ask before they remove anything: the temporary
// folder and the folders users print into are shared, so only this user's own things of the
// program's own making, whose maker is gone, may go.
namespace platform {

// True while a process of that id runs, whoever owns it.
bool isProcessRunning(qint64 pid);

// A regular file of this user, looked at without following a link.
bool isOwnRegularFile(const QString &path);

} // namespace platform
