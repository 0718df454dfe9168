#pragma once

#include <QString>
#include <QStringView>

// XML 1.0 cannot carry C0 controls other than tab, line feed and carriage return, U+FFFE, U+FFFF or
// an unpaired surrogate, not even as a character reference: a file holding one does not open again.
namespace XmlCharacters {

// The index of the first UTF-16 unit of `text` that XML cannot carry; -1 when there is none.
qsizetype firstUncarried(QStringView text);

// The unit at `at`, which XML cannot carry, named for a message: "NUL", "U+0001", or "an unpaired
// surrogate (U+D83D)".
QString nameOf(QStringView text, qsizetype at);

// Whether every character of `text` can stand in an XML document.
bool isXmlText(QStringView text);

// Replaces each of the `size` units from `units` on that XML cannot carry by U+FFFD, in place.
void replaceIn(QChar *units, qsizetype size);

// `text` with each unit XML cannot carry replaced by U+FFFD, so the length stays; unchanged
// (shared) when there is none.
QString replaced(const QString &text);

} // namespace XmlCharacters
