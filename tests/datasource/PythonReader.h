#pragma once

#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <optional>

// Runs a short script with the system's Python (Debian's, which has the modules the tests use) as an
// independent reader; nothing when that Python or one of `modules` is missing.
inline std::optional<QString> runPython(const QString &script, const QStringList &args,
                                        const QStringList &modules = {})
{
    const QString python = QStringLiteral("/usr/bin/python3");
    if (!QFileInfo(python).isExecutable())
        return std::nullopt;
    for (const QString &module : modules)
        if (QProcess::execute(python, {QStringLiteral("-c"), QStringLiteral("import ") + module}) != 0)
            return std::nullopt;
    QProcess process;
    process.start(python, QStringList{QStringLiteral("-c"), script} + args);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("failed: ") + QString::fromUtf8(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}
