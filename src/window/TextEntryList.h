#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The ready-made titles and messages of the Resources folder ("Title.txt", "Message.txt"), and
// stepping through them with Back and Next.
//
// A list file is UTF-8 text, one entry a line: the whole text is trimmed, then split at every line
// feed, so blank lines at the ends give no entries while one inside the text is an entry of its own.
// A carriage return stays inside its entry. None when the file cannot be read; a file that is there
// but is not a regular file or is larger than kMaxTextEntriesBytes is refused with a message.
constexpr qint64 kMaxTextEntriesBytes = 4 * 1024 * 1024;
std::optional<QStringList> Load_Text_Entries(const QString &path);

// One list and the entry shown; Next past the last shows the first, Back before the first the last.
class TextEntryCycler {
public:
    void setEntries(std::optional<QStringList> entries);
    bool isMissing() const { return !m_entries.has_value(); }
    int count() const { return m_entries ? static_cast<int>(m_entries->size()) : 0; }
    int index() const { return m_index; }
    void setIndex(int index) { m_index = index; }

    // The entry shown; the empty string when the list is missing or has no such entry.
    QString current() const;
    QString next();
    QString back();

private:
    std::optional<QStringList> m_entries;
    int m_index = 0;
};
