#include "output/MailScript.h"

#include "core/StringHelpers.h"
#include "platform/RegularFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <utility>

#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

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

// The script's "KIND|what happened" in plain words; its own words where they are plain already.
QString plainReason(const QString &said, const QString &server, const QString &port)
{
    static const std::pair<QLatin1String, const char *> kSentences[] = {
        {QLatin1String("timeout"), "The mail server did not answer in time."},
        {QLatin1String("tls"), "No encrypted connection to the mail server could be made."},
        {QLatin1String("encryption"), "The mail server offers no encryption, so the password was not sent."},
        {QLatin1String("login"), "The mail server refused the login: check the address and password in the e-mail settings."},
        {QLatin1String("sender"), "The mail server refused the sender's address."},
        {QLatin1String("recipient"), "The mail server refused the recipient's address."},
        {QLatin1String("size"), "The mail server refused the mail as too large."},
    };
    const QString kind = said.section(QLatin1Char('|'), 0, 0);
    if (kind == QLatin1String("connect"))
        return QStringLiteral("No mail server answers at %1, port %2.").arg(server, port);
    for (const auto &[name, sentence] : kSentences)
        if (kind == name)
            return QString::fromLatin1(sentence);
    if (kind == QLatin1String("message")) {
        // The script's own sentence, after the error's name.
        const QString text = said.section(QLatin1Char('|'), 1).section(QStringLiteral(": "), 1).trimmed();
        if (!text.isEmpty() && !text.contains(QLatin1Char('\n')))
            return text;
    }
    return QStringLiteral("The mail server refused the mail.");
}

// The script goes when the program goes, however the program ends: no orphan sends mail later.
void dieWithParent(QProcess &process)
{
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(1);
    });
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
                          const QString &enable_ssl, const std::atomic<bool> *end)
{
    MailResult result;
    result.detail = task.problem();
    if (!result.detail.isEmpty()) {
        result.reason = result.detail;
        return result;
    }

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
    dieWithParent(process);
    process.start(task.interpreter, arguments);
    if (!process.waitForStarted()) {
        result.detail = process.errorString();
        result.reason = QStringLiteral("The mail script could not be started.");
        return result;
    }
    process.write(withPwd.toUtf8() + "\nDescription");
    process.closeWriteChannel();

    // Waited for in short steps, so that the program's end is seen at once.
    constexpr int kStepMs = 100;
    constexpr int kGraceMs = 1000;
    const int limit = task.timeLimitFor(Attachments);
    QElapsedTimer clock;
    clock.start();
    while (!process.waitForFinished(kStepMs)) {
        const bool running = process.state() != QProcess::NotRunning;
        result.ended = running && end && end->load();
        result.timedOut = running && !result.ended && clock.elapsed() >= limit;
        if (running && !result.ended && !result.timedOut)
            continue;
        if (running) {
            process.terminate();
            if (!process.waitForFinished(kGraceMs)) {
                process.kill();
                process.waitForFinished(kGraceMs);
            }
        }
        result.detail = result.ended      ? QStringLiteral("The mail script was ended as the program closed.")
                        : result.timedOut ? QStringLiteral("The mail script did not finish within %1 seconds.").arg(limit / 1000)
                                          : process.errorString();
        result.reason = result.ended ? QStringLiteral("The program closed before the mail was sent.")
                                     : QStringLiteral("The mail server did not answer in time.");
        return result;
    }
    const QString said = shortened(QString::fromUtf8(process.readAll()));
    result.sent = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    if (!result.sent) {
        result.detail = said.isEmpty() ? QStringLiteral("The mail script ended with status %1.").arg(process.exitCode())
                                       : said;
        result.reason = plainReason(said, withSMTP, withPort);
    }
    return result;
}

MailResult sendEmail_pyth(const MailScript &task, const QString &toAddress, const QString &withSubject,
                          const QStringList &Attachments, const MailSettings &settings, const QString &withBody,
                          const std::atomic<bool> *end)
{
    return sendEmail_pyth(task, toAddress, withSubject, Attachments, settings.sender, settings.password,
                          settings.server, settings.port, withBody, settings.ssl, end);
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
