#pragma once

#include <QMap>
#include <QString>

#include <memory>
#include <optional>

// The keys of the e-mail settings file.
inline const QString send_email_RecipientKey = QStringLiteral("SendEmailRecipient");
inline const QString send_email_SenderEmailKey = QStringLiteral("SendEmailSender");
inline const QString send_email_PasswordKey = QStringLiteral("SendEmailPwd");
inline const QString send_email_SMTP_serverKey = QStringLiteral("SendEmailSMTP");
inline const QString send_email_PORT_numKey = QStringLiteral("SendEmailPORT");
inline const QString send_email_enable_sslKey = QStringLiteral("SendEnableSSL");

// The e-mail settings: an XML property list whose root dictionary holds the six strings above, in
// the writable resources folder. The file holds a password, so it is only ever written whole with
// mode 0600, and only by flush(): reading never writes, a missing file reads as empty settings, and
// one that cannot be read reads as empty settings with the reason in readError(), left as it is.
class Preferences {
public:
    // Reads the settings file of the resources folder in use.
    Preferences();
    explicit Preferences(const QString &path);

    // A new object on every call, so that each reader sees the file as it is now.
    static std::unique_ptr<Preferences> sharedInstance();
    // App().Resource_Path + "com.zolt.card.plist"; empty while there is no resources folder.
    static QString Email_Settings_File();

    // Writes the settings; false, with the reason, when the file could not be written (the old
    // file is then as it was).
    bool flush(QString *error = nullptr);
    // Every key but the SSL choice empty, in memory.
    void setDefaults();
    // Why the file could not be read; empty when it was read or there was none.
    const QString &readError() const { return m_readError; }

    // A key's value; a null string when the key is absent.
    QString send_email_Recipient() const { return value(send_email_RecipientKey); }
    QString send_email_SenderEmail() const { return value(send_email_SenderEmailKey); }
    QString send_email_Password() const { return value(send_email_PasswordKey); }
    QString send_email_SMTP_server() const { return value(send_email_SMTP_serverKey); }
    QString send_email_PORT_num() const { return value(send_email_PORT_numKey); }
    QString send_email_enable_ssl() const { return value(send_email_enable_sslKey); }

    void setsend_email_Recipient(const QString &text) { mDict[send_email_RecipientKey] = text; }
    void setsend_email_SenderEmail(const QString &text) { mDict[send_email_SenderEmailKey] = text; }
    void setsend_email_Password(const QString &text) { mDict[send_email_PasswordKey] = text; }
    void setsend_email_SMTP_server(const QString &text) { mDict[send_email_SMTP_serverKey] = text; }
    void setsend_email_PORT_num(const QString &text) { mDict[send_email_PORT_numKey] = text; }
    void setsend_email_enable_ssl(const QString &text) { mDict[send_email_enable_sslKey] = text; }

    QString mPreferencesPath;
    QMap<QString, QString> mDict;

private:
    QString value(const QString &key) const { return mDict.value(key); }
    QString m_readError;
};

// The settings window's fields as typed.
struct EmailSettingsForm {
    QString recipient, sender, password, server, port;
    bool ssl = false;
    bool tls = true;

    // "Y" only for SSL chosen alone.
    QString sslFlag() const { return ssl && !tls ? QStringLiteral("Y") : QStringLiteral("N"); }
};

// The field a check found wanting, and what to tell the user.
struct EmailSettingsProblem {
    enum class Field { Recipient, Sender, Password, Server, Port } field;
    QString message;
};

// The settings window's checks in their order; the recipient only for a test mail. Nothing when
// the form may be used.
std::optional<EmailSettingsProblem> Check_Validation(const EmailSettingsForm &form, bool with_recipient);
