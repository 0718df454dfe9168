#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// Paths from a design, a file or the user are read only when they name a regular file: a FIFO
// blocks in open(2) for good and a device never ends. Checked with stat, before any open.
bool isRegularFile(const QString &path);

// The whole of a regular file of at most `maxBytes`; nothing for anything else, with the reason as
// a clause ("it is not a regular file", "the file is larger than 4 MB").
std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes, QString *error = nullptr);

} // namespace platform
