#pragma once

#include <QString>
#include <QStringList>

#include <atomic>

// The SMTP account a mail leaves with, as the settings hold it.
struct MailSettings {
    QString sender, password, server, port;
    QString ssl; // "Y" for TLS from the start, anything else "N"
};

// The outside mail script ("pyth_mail.py" of the resources), which sends one mail a call and exits
// with 0 exactly when the server accepted it. It runs under python3, without a shell, with a
// fixed small environment, the password on its standard input and a time limit.
class MailScript {
public:
    QString interpreter; // python3
    QString script;
    // How long a call may take before the script is ended; 0 gives kBaseTimeLimitMs and more for
    // large attachments.
    int timeLimitMs = 0;

    static constexpr int kBaseTimeLimitMs = 120'000;
    static constexpr int kTimeLimitMsPerMiB = 4'000;

    // The script in `resourceFolder`, run by the python3 that findInterpreter gives.
    static MailScript inFolder(const QString &resourceFolder);
    // python3 on the path the script runs with, else on the user's path; empty when there is none.
    static QString findInterpreter();
    // Why no mail can be sent, for the user; empty when the interpreter and the script are there.
    QString problem() const;
    // The limit of a call that sends `attachments`.
    int timeLimitFor(const QStringList &attachments) const;
};

// What became of one call.
struct MailResult {
    bool sent = false;
    bool timedOut = false;
    bool ended = false; // ended by the program before it was done
    QString detail;     // what the script said, or why it did not run; for the log
    QString reason;     // why the mail did not go, in one plain sentence for the user
};

// Sends one mail through the script: arguments in the script's order (sender, server, port, the
// sender again as the login, recipient, subject, body, the SSL flag, the attachment paths); the
// password as UTF-8 on standard input. A script that runs past its time limit is ended, and so is
// one whose `end` flag is set (the program quits): terminated, killed after a short grace; the mail
// then counts as not sent. The script dies with the program. Any thread may call it; it blocks
// until the script is done.
MailResult sendEmail_pyth(const MailScript &task, const QString &toAddress, const QString &withSubject,
                          const QStringList &Attachments, const QString &withSender, const QString &withPwd,
                          const QString &withSMTP, const QString &withPort, const QString &withBody,
                          const QString &enable_ssl, const std::atomic<bool> *end = nullptr);
// The same with the account of `settings`.
MailResult sendEmail_pyth(const MailScript &task, const QString &toAddress, const QString &withSubject,
                          const QStringList &Attachments, const MailSettings &settings, const QString &withBody,
                          const std::atomic<bool> *end = nullptr);

// The address test: trimmed at both ends, at least 6 characters, one "@" with text on both sides,
// a "." somewhere, and nothing inside that would end or split a header line (white space, control
// characters, ",", ";", "<", ">", '"').
bool isValidEmail(const QString &address);
