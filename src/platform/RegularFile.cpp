#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>

namespace platform {

bool isRegularFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes, QString *error)
{
    const auto refuse = [&](const QString &reason) -> std::optional<QByteArray> {
        if (error)
            *error = reason;
        return std::nullopt;
    };
    const QFileInfo info(path);
    if (!isRegularFile(path))
        return refuse(info.exists() ? QStringLiteral("it is not a regular file") : QStringLiteral("there is no such file"));
    const QString tooLarge = QStringLiteral("the file is larger than %1 MB").arg(double(maxBytes) / (1024 * 1024));
    if (info.size() > maxBytes)
        return refuse(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    // The file may have grown since it was measured.
    QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes)
        return refuse(tooLarge);
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    return bytes;
}

} // namespace platform
