#include "output/Preferences.h"

#include "fixtures/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {


// The settings file as Python's own property-list reader sees it, one "key=value" a line.
QString decodedByPython(const QString &path)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import plistlib,sys\nd=plistlib.load(open(sys.argv[1],'rb'))\n"
                                 "print('\\n'.join(k+'='+d[k] for k in sorted(d)))"),
                  path});
    python.waitForFinished(10000);
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

} // namespace

TEST(Preferences, SavedSettingsAreAPrivatePropertyListThatReadingNeverRewrites)
{
    AppFixture app;
    const QString path = Preferences::Email_Settings_File();
    EXPECT_EQ(path, app.resourcePath() + QStringLiteral("com.zolt.card.plist"));
    {
        // No file: empty settings without the SSL key, and still no file.
        const Preferences none;
        EXPECT_TRUE(none.readError().isEmpty());
        EXPECT_EQ(none.send_email_SenderEmail(), QString());
        EXPECT_TRUE(none.send_email_enable_ssl().isNull());
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    Preferences settings;
    settings.setsend_email_SenderEmail(QStringLiteral("Card@Example.org"));
    settings.setsend_email_Password(QStringLiteral(" pässword<&> "));
    settings.setsend_email_SMTP_server(QStringLiteral("smtp.example.org"));
    settings.setsend_email_PORT_num(QStringLiteral("587"));
    settings.setsend_email_enable_ssl(QStringLiteral("N"));
    ASSERT_TRUE(settings.flush());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(decodedByPython(path), QStringLiteral("SendEmailPORT=587\nSendEmailPwd= pässword<&> \nSendEmailRecipient=\n"
                                                    "SendEmailSMTP=smtp.example.org\nSendEmailSender=Card@Example.org\n"
                                                    "SendEnableSSL=N"));

    const QByteArray written = fileBytes(path);
    const QDateTime modified = QFileInfo(path).lastModified();
    {
        const auto read = Preferences::sharedInstance();
        EXPECT_EQ(read->send_email_Password(), QStringLiteral(" pässword<&> "));
        EXPECT_EQ(read->send_email_enable_ssl(), QStringLiteral("N"));
    }
    EXPECT_EQ(fileBytes(path), written);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);
}

TEST(Preferences, AFileThatCannotBeReadIsReportedAndLeftAsItIs)
{
    AppFixture app;
    const QString path = Preferences::Email_Settings_File();
    for (const QByteArray &bytes : {QByteArray("not a property list"), QByteArray(),
                                    QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array/></plist>")}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const Preferences read;
        EXPECT_TRUE(read.readError().contains(path)) << bytes.constData();
        EXPECT_EQ(read.send_email_SenderEmail(), QString());
        EXPECT_EQ(fileBytes(path), bytes);
    }
    // A folder that is not there cannot take the file: said, nothing half written.
    Preferences elsewhere(app.resourcePath() + QStringLiteral("missing/com.zolt.card.plist"));
    QString error;
    EXPECT_FALSE(elsewhere.flush(&error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(Preferences, TheFormIsCheckedFieldByFieldInItsOrder)
{
    const EmailSettingsForm good{QStringLiteral("to@example.org"), QStringLiteral("From@Example.org"),
                                 QStringLiteral("pw"), QStringLiteral("smtp.example.org"), QStringLiteral("25")};
    using Field = EmailSettingsProblem::Field;
    struct Row {
        std::function<void(EmailSettingsForm &)> change;
        bool withRecipient;
        std::optional<Field> field;
        const char *message;
    };
    const Row rows[] = {
        {[](EmailSettingsForm &) {}, true, std::nullopt, ""},
        // Everything wrong: the sender is named first.
        {[](EmailSettingsForm &f) { f = EmailSettingsForm{}; }, true, Field::Sender, "Please enter sender E-mail."},
        {[](EmailSettingsForm &f) { f.sender = QStringLiteral("from.example.org"); f.password.clear(); }, true,
         Field::Sender, "Please enter valid sender E-mail address."},
        {[](EmailSettingsForm &f) { f.sender = QStringLiteral("a@b.org\r\nBcc: x@y.org"); }, true, Field::Sender,
         "Please enter valid sender E-mail address."},
        {[](EmailSettingsForm &f) { f.password.clear(); f.server.clear(); }, true, Field::Password,
         "Please enter password."},
        {[](EmailSettingsForm &f) { f.server.clear(); f.port.clear(); }, true, Field::Server, "Please enter SMTP server."},
        {[](EmailSettingsForm &f) { f.port.clear(); f.recipient.clear(); }, true, Field::Port, "Please enter port number."},
        {[](EmailSettingsForm &f) { f.recipient.clear(); }, true, Field::Recipient,
         "Please enter recipient E-mail address."},
        {[](EmailSettingsForm &f) { f.recipient = QStringLiteral("to@example"); }, true, Field::Recipient,
         "Please enter valid recipient E-mail address."},
        // Saving needs no recipient.
        {[](EmailSettingsForm &f) { f.recipient.clear(); }, false, std::nullopt, ""},
        // A character the file cannot keep names its field, never the value (which may be the password).
        {[](EmailSettingsForm &f) { f.password = QStringLiteral("pa\u0001ss"); }, false, Field::Password,
         "The password holds U+0001, a character the e-mail settings cannot keep. Please type it again."},
        {[](EmailSettingsForm &f) { f.recipient = QStringLiteral("t\uFFFEo"); }, false, Field::Recipient,
         "The recipient E-mail address holds U+FFFE, a character the e-mail settings cannot keep. Please type it again."},
    };
    for (const Row &row : rows) {
        EmailSettingsForm form = good;
        row.change(form);
        const auto problem = Check_Validation(form, row.withRecipient);
        ASSERT_EQ(problem.has_value(), row.field.has_value()) << row.message;
        if (problem) {
            EXPECT_EQ(problem->field, *row.field) << row.message;
            EXPECT_EQ(problem->message, QString::fromLatin1(row.message));
        }
    }
}
