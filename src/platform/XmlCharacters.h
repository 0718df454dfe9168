#pragma once

#include <QString>
#include <QStringView>

// XML 1.0 cannot carry C0 controls other than tab, line feed and carriage return, U+FFFE, U+FFFF or
// an unpaired surrogate, not even as a character reference: a file holding one does not open again.
namespace XmlCharacters {

// Whether every character of `text` can stand in an XML document.
bool isXmlText(QStringView text);

// `text` with each character XML cannot carry replaced by U+FFFD; unchanged (shared) when there is none.
QString replaced(const QString &text);

} // namespace XmlCharacters
