#pragma once

#include <QString>
#include <QStringList>

// String helpers with fixed edge behaviour, called throughout the program.
// Lengths, indexes and counts are in UTF-16 units (QString::size()). A null string stands for "no
// string": the helpers answer a null string for a null input, and a non-null empty string otherwise.

// Trims white space and line breaks at both ends, then, in a second pass, control and format
// characters (Unicode Cc and Cf, e.g. a byte-order mark) at both ends.
QString Trim_Str(const QString &s);
// Same as Trim_Str.
QString Replace_Char_For_valid(const QString &s);
// Trims the reserved characters / \ ? % * | " < > at both ends, then Trim_Str. Reserved characters
// inside the name stay.
QString Remove_Reserve_Char_In_File_Name(const QString &s);
// Every occurrence of `find` (literal, case-sensitive) replaced by `with`.
QString Replace_char_in_string(const QString &s, const QString &find, const QString &with);

// The first n units; n < 0 gives "", n >= length gives s.
QString Left_Str_substringToIndex(const QString &s, int n);
// The last n units; n < 0 gives "", n >= length gives s.
QString Right_Str_substringFromIndex(const QString &s, int n);
// From index i to the end; i < 0 or i >= length gives "".
QString Read_Str_FromIndex(const QString &s, int i);
// The first i units; i < 0 or i > length gives "", i == length gives s.
QString Read_Str_Upto_Index(const QString &s, int i);

// True when a non-empty `part` occurs in `s` (literal, case-sensitive); false for a null `s`.
bool Find_Str(const QString &s, const QString &part);
// As Find_Str, ignoring case; false when either string is null.
bool Find_Str_Case_Insensitive(const QString &s, const QString &part);

// True when nothing in `s` ends or breaks a line anywhere: no control character (line feed, tab, VT,
// FF, NEL…) and no line or paragraph separator (U+2028, U+2029).
bool isOneLine(const QString &s);

// A list of names or titles for a message box, one item a line, kept to a screenful whatever the
// list: at most kMessageListLines lines, each item cut in its middle to kMessageLineCharacters ("…"
// in place of the rest: a path keeps its file's name, a name the place that follows it) and its line
// breaks made blanks, the items past those shown counted on the last line ("… and 9981 more").
constexpr qsizetype kMessageListLines = 20;
constexpr qsizetype kMessageLineCharacters = 120;
QString messageList(const QStringList &items);
