#include "output/MailScript.h"

#include "core/StringHelpers.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

namespace {

// The path the script runs with; python3 is looked for there first.
const QStringList kScriptPath{QStringLiteral("/bin"), QStringLiteral("/usr/bin"), QStringLiteral("/usr/local/bin")};
constexpr qsizetype kMostDetail = 4000;

QString shortened(QString text)
{
    text = text.trimmed();
    if (text.size() > kMostDetail)
        text = text.left(kMostDetail) + QStringLiteral("…");
    return text;
}

} // namespace

MailScript MailScript::inFolder(const QString &resourceFolder)
{
    MailScript task;
    task.interpreter = findInterpreter();
    task.script = QDir(resourceFolder).filePath(QStringLiteral("pyth_mail.py"));
    return task;
}

QString MailScript::findInterpreter()
{
    const QString python = QStringLiteral("python3");
    const QString onScriptPath = QStandardPaths::findExecutable(python, kScriptPath);
    return onScriptPath.isEmpty() ? QStandardPaths::findExecutable(python) : onScriptPath;
}

QString MailScript::problem() const
{
    if (interpreter.isEmpty())
        return QStringLiteral("E-mail cannot be sent: python3 is not installed.");
    if (!platform::isRegularFile(script))
        return QStringLiteral("E-mail cannot be sent: the mail script %1 is missing.").arg(QDir::toNativeSeparators(script));
    return QString();
}

int MailScript::timeLimitFor(const QStringList &attachments) const
{
    if (timeLimitMs > 0)
        return timeLimitMs;
    qint64 bytes = 0;
    for (const QString &path : attachments)
        bytes += std::max<qint64>(0, QFileInfo(path).size());
    const qint64 limit = kBaseTimeLimitMs + bytes / (1024 * 1024) * kTimeLimitMsPerMiB;
    return int(std::min<qint64>(limit, 3'600'000));
}

MailResult sendEmail_pyth(const MailScript &task, const QString &toAddress, const QString &withSubject,
                          const QStringList &Attachments, const QString &withSender, const QString &withPwd,
                          const QString &withSMTP, const QString &withPort, const QString &withBody,
                          const QString &enable_ssl)
{
    MailResult result;
    result.detail = task.problem();
    if (!result.detail.isEmpty())
        return result;

    QProcess process;
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PYTHONPATH"), QString());
    environment.insert(QStringLiteral("PATH"), kScriptPath.join(QLatin1Char(':')));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    // The flag always goes in its place, so the attachments never slide into it.
    const QString ssl = enable_ssl == QLatin1String("Y") ? QStringLiteral("Y") : QStringLiteral("N");
    QStringList arguments{task.script, withSender, withSMTP, withPort, withSender, toAddress, withSubject, withBody, ssl};
    arguments += Attachments;
    process.start(task.interpreter, arguments);
    if (!process.waitForStarted()) {
        result.detail = process.errorString();
        return result;
    }
    process.write(withPwd.toUtf8() + "\nDescription");
    process.closeWriteChannel();

    const int limit = task.timeLimitFor(Attachments);
    if (!process.waitForFinished(limit)) {
        const bool running = process.state() != QProcess::NotRunning;
        process.kill();
        process.waitForFinished(5000);
        result.timedOut = running;
        result.detail = running ? QStringLiteral("The mail script did not finish within %1 seconds.").arg(limit / 1000)
                                : process.errorString();
        return result;
    }
    const QString said = shortened(QString::fromUtf8(process.readAll()));
    result.sent = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!result.sent)
        result.detail = said.isEmpty() ? QStringLiteral("The mail script ended with status %1.").arg(process.exitCode())
                                       : said;
    return result;
}

MailResult sendEmail_pyth(const MailScript &task, const QString &toAddress, const QString &withSubject,
                          const QStringList &Attachments, const MailSettings &settings, const QString &withBody)
{
    return sendEmail_pyth(task, toAddress, withSubject, Attachments, settings.sender, settings.password,
                          settings.server, settings.port, withBody, settings.ssl);
}

bool isValidEmail(const QString &address)
{
    const QString trimmed = Trim_Str(address);
    if (trimmed.size() < 6)
        return false;
    const qsizetype at = trimmed.indexOf(QLatin1Char('@'));
    if (at <= 0 || at == trimmed.size() - 1 || trimmed.indexOf(QLatin1Char('@'), at + 1) >= 0)
        return false;
    if (!trimmed.contains(QLatin1Char('.')))
        return false;
    for (const QChar c : trimmed) {
        if (c.isSpace() || c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            return false;
        if (QStringLiteral(",;<>\"").contains(c))
            return false;
    }
    return true;
}
