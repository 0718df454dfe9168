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

// Removes `path` when it is a regular file of this user that no process holds locked, and that
// this process is not writing, and says whether it did. A writer holds an exclusive flock on its
// temporary file for as long as it writes it: a process id proves nothing on a shared folder or
// across pid namespaces, a lock does. The file is held with a shared lock while it is unlinked, so
// a writer that has just made it and takes its lock after finds its name gone (see lockNewFile).
bool removeIfAbandoned(const QString &path);

// Takes the writer's lock on `fd`, a file just made at `path` with O_EXCL, and checks that no sweep
// removed it first. False, with errno set and `fd` closed, when the file must be made again under
// another name. A file locked so is closed with closeNewFile.
bool lockNewFile(int fd, const QString &path);
void closeNewFile(int fd);

} // namespace platform
