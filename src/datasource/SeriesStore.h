#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class SKTGraphicList;

// The series: text files of one value a line in the series folder (App().Data_Folder_Path), named
// after the series: UTF-8, each value followed by a line feed, an empty series an empty file. Any
// thread may read them; writing asks and shows, so it belongs to the GUI thread.

// The series names: the regular, non-hidden "<name>.txt" files of the series folder whose names
// Stored_Series_Name_Problem takes, sorted by name, so that a stored list position means the same
// on every machine. Editor backups and files of other types beside a series are no series.
QStringList Get_datasheet_File_Name_Array();
// Why `seriesName` cannot name a file of the series folder, as a clause ("a series name cannot be
// empty"); nothing when it can. Refused: the empty name, "." and "..", and names holding a path
// separator, which would lead out of the folder; a name beginning with ".", whose file is hidden
// and never listed; a control character (NUL, line breaks, tabs), which would cut the name short.
std::optional<QString> Stored_Series_Name_Problem(const QString &seriesName);
// Why a series cannot be given the name `seriesName` now: what Stored_Series_Name_Problem refuses,
// and a line or paragraph separator, which would split the name in lists. Series the folder holds
// under such a name from before keep it: they are listed, read and written back.
std::optional<QString> Series_Name_Problem(const QString &seriesName);
// What a writer shows when Series_Name_Problem refuses `seriesName`: "This series name cannot be used."
// and why; nothing when the name is safe.
std::optional<QString> Series_Name_Refusal(const QString &seriesName);
// Whether Series_Name_Problem finds nothing.
bool Is_Series_Name_Safe(const QString &seriesName);
// The file of the series `seriesName` in the series folder; empty for a name that
// Stored_Series_Name_Problem refuses or while there is no series folder.
QString Series_File_Path(const QString &seriesName);
// What a series may hold: its file and its values (one a line).
inline constexpr qint64 kMostSeriesBytes = 16 * 1024 * 1024;
inline constexpr qint64 kMostSeriesValues = 1000000;
// The one check of those limits, which every reader and writer of a series goes through: why a
// series of `bytes` bytes and `values` values may not be, as a clause that says the limit ("it has
// more than 1,000,000 values, the most a series may have"); nothing within the limits.
std::optional<QString> Series_Limit_Problem(qint64 bytes, qint64 values);
// The values a series file's bytes hold: one a line, a last line without its line feed included.
qint64 Series_Value_Count(const QByteArray &bytes);
// The first line of the series `seriesName` (its file in the series folder, split at line feeds,
// not trimmed); "" when there is no such file or it does not read as a series.
QString Get_First_Value_Of_Dataset(const QString &seriesName);

// The bytes of the series file at `path`; nothing, with the reason as a clause in `error`, for a
// path that is no regular file (a FIFO or a device would block or never end), a file that does not
// open, or a series past its limits (Series_Limit_Problem), which is not read.
std::optional<QByteArray> Read_Series_File(const QString &path, QString *error = nullptr);
// The text of bytes read from a series file, each character XML cannot carry made U+FFFD; nothing,
// with the reason, for bytes that hold NUL or are not UTF-8.
std::optional<QString> Series_Text(const QByteArray &bytes, QString *error = nullptr);
// Read_Series_File, then Series_Text.
std::optional<QString> Read_Series_Text(const QString &path, QString *error = nullptr);
// The records of a series text as a bound run counts them: the whole text trimmed, then split at
// line feeds, so that blank lines inside count as empty values and an empty text as one value.
QStringList Series_Record_Values(const QString &text);
// The values of a series text as lists show them: each line trimmed, blank lines left out.
QStringList Series_List_Values(const QString &text);

// Whose name a write gives the series: a name given now (a series created, renamed, imported or
// generated) must pass Series_Name_Problem; a series the folder holds, written back under the name
// it is stored under, keeps that name as long as its file is there.
enum class SeriesName { Given, Stored };
// Writes the series `seriesName` whole, each value followed by a line feed; with `append` after the
// values the file holds. The bytes go to a temporary file that then replaces the old one, so a
// failed write leaves the old file as it was. A series past its limits is refused, named, with the
// limit said; a name that is not safe shows Series_Name_Refusal; a file that cannot be written
// shows "Error in file accessing." with the series, its file and the reason. False, with nothing
// written, on any refusal.
bool Write_Series_File(const QString &seriesName, const QStringList &values, bool append = false,
                       SeriesName name = SeriesName::Given);
// As above, for values already made into `lines` (UTF-8, each ended by a line feed).
bool Write_Series_File(const QString &seriesName, const QByteArray &lines, bool append = false,
                       SeriesName name = SeriesName::Given);
// The one writer under Write_Series_File, shown to no one: false, with the reason as a clause in
// `error`, when nothing was written.
bool Write_Series_Lines(const QString &seriesName, const QByteArray &lines, bool append = false,
                        QString *error = nullptr);
// Whether the series may be written under `seriesName`: yes when there is no such series or the
// name is one no series may be given (its writer refuses it, saying why), else the user's answer
// to replacing it.
bool Confirm_Series_Replace(const QString &seriesName);

// Whether a picture, text or barcode object of the sides takes its value from the series, which
// must be a file of the series folder. `back` is null for a design of the front alone. A failure
// is shown and answers no.
bool Check_Batch_File_In_Use_Validation(const QString &seriesName, const SKTGraphicList *front,
                                        const SKTGraphicList *back);
