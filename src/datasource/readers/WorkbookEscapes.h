#pragma once

#include <QChar>
#include <QString>

// How a workbook keeps a character XML cannot hold in a cell's text: as "_xHHHH_", the UTF-16 unit
// in hex, and the "_" of a text that would read as such a form as "_x005F_". The .xlsx writer and
// reader both go by it, so that what one writes the other reads back as it was.
namespace WorkbookEscapes {

// `text` as a workbook keeps it: each unit XML cannot carry, and a carriage return (which a parser
// reads as a line feed), written as "_xHHHH_"; shared, unchanged, when nothing is to be written so.
QString escaped(const QString &text);

// [begin, end) with each "_xHHHH_" read back as its unit, in place; its new end.
QChar *unescaped(QChar *begin, QChar *end);

} // namespace WorkbookEscapes
