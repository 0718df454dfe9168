#include "window/TextEntryList.h"

#include "core/MessageBoxes.h"
#include "core/StringHelpers.h"
#include "platform/RegularFile.h"

#include <QFileInfo>

std::optional<QStringList> Load_Text_Entries(const QString &path)
{
    QString reason;
    const std::optional<QByteArray> text = platform::readRegularFile(path, kMaxTextEntriesBytes, &reason);
    if (!text) {
        // A list that is not there is simply not offered; one that is there but refused says why.
        if (QFileInfo::exists(path))
            Show_MessageBox(QStringLiteral("The list \"%1\" cannot be used: %2.").arg(QFileInfo(path).fileName(), reason));
        return std::nullopt;
    }
    return Trim_Str(QString::fromUtf8(*text)).split(QLatin1Char('\n'));
}

void TextEntryCycler::setEntries(std::optional<QStringList> entries)
{
    m_entries = std::move(entries);
}

QString TextEntryCycler::current() const
{
    if (!m_entries || m_index < 0 || m_index >= m_entries->size())
        return QString(QLatin1String(""));
    return m_entries->at(m_index);
}

QString TextEntryCycler::next()
{
    ++m_index;
    if (m_index >= count())
        m_index = 0;
    return current();
}

QString TextEntryCycler::back()
{
    --m_index;
    if (m_index < 0)
        m_index = count() - 1;
    return current();
}
