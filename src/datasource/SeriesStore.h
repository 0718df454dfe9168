#pragma once

#include <QString>
#include <QStringList>

class SKTGraphicList;

// The series: text files of one value a line in the series folder (App().Data_Folder_Path), named
// after the series. Any thread may read them.

// The series names: Get_Files_Array_At_Path of the series folder.
QStringList Get_datasheet_File_Name_Array();
// The file of the series `seriesName` in the series folder; empty for a name that is not a plain
// file name (it would lead out of the folder) or while there is no series folder.
QString Series_File_Path(const QString &seriesName);
// A series file holds one value a line; longer reads than this are no series of ours.
inline constexpr qint64 kMostSeriesBytes = 16 * 1024 * 1024;
// The first line of the series `seriesName` (its file in the series folder, split at line feeds,
// not trimmed); "" when there is no such file. A name that is not a plain file name gives "".
QString Get_First_Value_Of_Dataset(const QString &seriesName);

// Whether a picture, text or barcode object of the sides takes its value from the series, which
// must be a file of the series folder. `back` is null for a design of the front alone. A failure
// is shown and answers no.
bool Check_Batch_File_In_Use_Validation(const QString &seriesName, const SKTGraphicList *front,
                                        const SKTGraphicList *back);
