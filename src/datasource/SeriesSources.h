#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The sources a series is imported from: text, CSV and RTF files, pasted text and the pictures of
// a folder. Plain functions of their input: any thread may call them and they touch no widget and
// no process-wide state. Every input is taken as hostile: sizes and nesting are bounded before
// memory is taken, and what cannot be read gives the reason instead of values.

// What an import reads: its values in source order, or why there are none.
struct SeriesSource {
    QStringList values;
    QString error; // empty when the source was read
    bool ok() const { return error.isEmpty(); }
};

// Source files larger than this are refused before they are read; a source of more values than a
// series may hold (SeriesStore.h) is refused as soon as it gets there.
inline constexpr qint64 kMostSourceBytes = 64 * 1024 * 1024;
// RTF groups nested deeper than this are refused: real documents stay far below it.
inline constexpr int kMostRtfDepth = 1000;
// A folder listing stops and is refused after this many entries.
inline constexpr int kMostFolderEntries = 1000000;
// The picture types a folder import takes, matched in any letter case.
const QStringList &seriesPictureExtensions();

// Text of unknown encoding: a byte-order mark (UTF-8, UTF-16) decides; else valid UTF-8 is UTF-8
// and anything else Windows-1252. Nothing for bytes that are no text (NUL or other control bytes).
std::optional<QString> Decode_Text(const QByteArray &bytes);

// The records and fields of CSV text (RFC 4180): records end at CRLF, CR or LF outside quotes; a
// quoted field may hold commas, line breaks and doubled quotes. No trimming.
QList<QStringList> Csv_Rows(const QString &text);
// The plain text of an RTF document: font, colour, style, information and other non-text groups
// skipped, \par and \line as line breaks, \'hh in the document's code page and \uN decoded. Nothing,
// with the reason, for a file that is not RTF or nests groups deeper than kMostRtfDepth.
std::optional<QString> Rtf_Plain_Text(const QByteArray &rtf, QString *error = nullptr);

// A value as a series holds it: trimmed, line breaks inside made one blank each, since a line
// break would split it into two values of the series, and each character XML cannot carry U+FFFD.
QString Series_Line_Value(const QString &value);
// A value as imports take it: every "\", "{" and "}" removed, then as Series_Line_Value.
QString Clean_Series_Value(const QString &value);

// The values of a text: its lines (ended by CRLF, CR or LF), cleaned, blank ones left out.
SeriesSource Text_Values(const QString &text);
// The values of CSV text: its fields in reading order, cleaned, blank ones left out. A quote that
// never closes is refused, naming its line; so is text whose every field is blank.
SeriesSource Csv_Values(const QString &text);
// The values of a text file, chosen by its extension in any case: "csv" as CSV, "rtf" as the plain
// text of the document, anything else as text.
SeriesSource Read_Text_Source(const QString &path);
// The lines of pasted text: the whole text trimmed, then its lines, blank ones left out; lines are
// not trimmed, but each character XML cannot carry becomes U+FFFD.
QStringList Pasted_Lines(const QString &text);
// The full paths of the picture files of `folder`, sorted by name; sub-folders are not entered.
SeriesSource Picture_Files(const QString &folder);
// A reason given as a clause ("it is not a regular file") made a sentence of its own.
QString Clause_As_Sentence(const QString &clause);
