#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace platform {

// Writes a file whole and safely: the bytes go to a temporary file beside it, named
// "<name>.saving-XXXXXX", which is flushed to the disk and renamed over the file; the folder is then
// synced, so that after a crash the folder holds the old file or the new one, never half of one.
// A temporary file that an interrupted earlier write of the same file left behind is removed; no
// other file is touched. False, with the reason, when the file could not be written; the previous
// file is then as it was. `mode` gives the file these permissions from the start (0600 for a file
// that holds a secret); -1 keeps an existing file's and gives a new one what the umask allows.
bool writeFileSafely(const QString &path, const QByteArray &bytes, QString *error = nullptr, int mode = -1);

// The temporary files that unfinished writes of `path` left beside it.
QStringList leftoverTemporaryFiles(const QString &path);

// The system call that puts the bytes in the temporary file: tests replace it to meet a full disk.
// Returns the one it replaces.
using WriteFunction = ssize_t (*)(int fd, const void *data, size_t size);
WriteFunction setSafeWriteFunction(WriteFunction write);

} // namespace platform
