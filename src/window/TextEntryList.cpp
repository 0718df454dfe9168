#include "window/TextEntryList.h"

#include "core/StringHelpers.h"

#include <QFile>

std::optional<QStringList> Load_Text_Entries(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return Trim_Str(QString::fromUtf8(file.readAll())).split(QLatin1Char('\n'));
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
