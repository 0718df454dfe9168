#include "output/Preferences.h"

#include "core/AppState.h"
#include "output/MailScript.h"
#include "platform/PropertyList.h"
#include "platform/RegularFile.h"
#include "platform/SafeFileWriter.h"
#include "platform/XmlCharacters.h"

#include <QFileInfo>
#include <QVariantMap>

namespace {

// Far more than six short strings ever take; a larger file is not ours.
constexpr qint64 kMostSettingsBytes = 1024 * 1024;

// A field holding a character the settings file cannot keep, named by the field alone: its value
// may be the password, which no message shows.
std::optional<EmailSettingsProblem> uncarriedField(const EmailSettingsForm &form)
{
    using Field = EmailSettingsProblem::Field;
    const struct {
        Field field;
        const QString &text;
        const char *name;
    } fields[] = {{Field::Sender, form.sender, "sender E-mail"},
                  {Field::Password, form.password, "password"},
                  {Field::Server, form.server, "SMTP server"},
                  {Field::Port, form.port, "port number"},
                  {Field::Recipient, form.recipient, "recipient E-mail address"}};
    for (const auto &f : fields) {
        if (const qsizetype at = XmlCharacters::firstUncarried(f.text); at >= 0)
            return EmailSettingsProblem{f.field, QStringLiteral("The %1 holds %2, a character the e-mail settings "
                                                                "cannot keep. Please type it again.")
                                                     .arg(QLatin1String(f.name), XmlCharacters::nameOf(f.text, at))};
    }
    return std::nullopt;
}

} // namespace

Preferences::Preferences() : Preferences(Email_Settings_File()) {}

Preferences::Preferences(const QString &path) : mPreferencesPath(path)
{
    setDefaults();
    if (path.isEmpty() || !QFileInfo::exists(path))
        return;
    QString reason;
    std::optional<QVariant> root;
    if (const auto bytes = platform::readRegularFile(path, kMostSettingsBytes, &reason))
        root = platform::propertyListFromData(*bytes, &reason);
    if (root && root->typeId() != QMetaType::QVariantMap) {
        root.reset();
        reason = QStringLiteral("it holds no dictionary");
    }
    if (!root) {
        m_readError = QStringLiteral("The e-mail settings in %1 could not be read: %2.").arg(path, reason);
        return;
    }
    const QVariantMap stored = root->toMap();
    for (auto it = stored.begin(); it != stored.end(); ++it)
        if (it.value().typeId() == QMetaType::QString)
            mDict[it.key()] = it.value().toString();
}

std::unique_ptr<Preferences> Preferences::sharedInstance()
{
    return std::make_unique<Preferences>();
}

QString Preferences::Email_Settings_File()
{
    const QString &folder = App().Resource_Path;
    if (folder.isEmpty())
        return QString();
    return folder.endsWith(QLatin1Char('/')) ? folder + QStringLiteral("com.zolt.card.plist")
                                             : folder + QStringLiteral("/com.zolt.card.plist");
}

bool Preferences::flush(QString *error)
{
    if (mPreferencesPath.isEmpty()) {
        if (error)
            *error = QStringLiteral("There is no resources folder to keep the e-mail settings in.");
        return false;
    }
    QVariantMap root;
    for (auto it = mDict.begin(); it != mDict.end(); ++it)
        root.insert(it.key(), it.value());
    const QByteArray bytes = platform::propertyListData(root, platform::PropertyListFormat::Xml, error);
    return !bytes.isEmpty() && platform::writeFileSafely(mPreferencesPath, bytes, error, 0600);
}

void Preferences::setDefaults()
{
    for (const QString *key : {&send_email_RecipientKey, &send_email_SenderEmailKey, &send_email_PasswordKey,
                               &send_email_SMTP_serverKey, &send_email_PORT_numKey})
        mDict[*key] = QString();
}

std::optional<EmailSettingsProblem> Check_Validation(const EmailSettingsForm &form, bool with_recipient)
{
    using Field = EmailSettingsProblem::Field;
    const QString sender = form.sender.toLower();
    if (sender.isEmpty())
        return EmailSettingsProblem{Field::Sender, QStringLiteral("Please enter sender E-mail.")};
    if (!isValidEmail(sender))
        return EmailSettingsProblem{Field::Sender, QStringLiteral("Please enter valid sender E-mail address.")};
    if (form.password.isEmpty())
        return EmailSettingsProblem{Field::Password, QStringLiteral("Please enter password.")};
    if (form.server.isEmpty())
        return EmailSettingsProblem{Field::Server, QStringLiteral("Please enter SMTP server.")};
    if (form.port.isEmpty())
        return EmailSettingsProblem{Field::Port, QStringLiteral("Please enter port number.")};
    if (auto problem = uncarriedField(form))
        return problem;
    if (!with_recipient)
        return std::nullopt;
    const QString recipient = form.recipient.toLower();
    if (recipient.isEmpty())
        return EmailSettingsProblem{Field::Recipient, QStringLiteral("Please enter recipient E-mail address.")};
    if (!isValidEmail(recipient))
        return EmailSettingsProblem{Field::Recipient, QStringLiteral("Please enter valid recipient E-mail address.")};
    return std::nullopt;
}
