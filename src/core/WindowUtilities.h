#pragma once

#include <QDateTime>
#include <QImage>
#include <QSizeF>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>

// Services of the design window that any part of the program, on any thread, may call: unit
// conversion, picture re-rendering and saving, folder listings, date strings and path checks.
// Pictures are QImage only (workers call these too); a QImage's size in points follows from its
// pixel size and its dots per metre.

// points × 0.3527777777778, computed in double and rounded to float.
float Points_to_MM_Convert(float points);
// mm × 2.834645669291, computed in double and rounded to float.
float MM_to_Points_Convert(float mm);

// The picture's size in points: pixels at its resolution (dots per metre, which files keep too).
// Without a resolution of its own (a new QImage's default) it is the device-independent size.
QSizeF imageSizeInPoints(const QImage &image);
// Gives the picture the resolution, per axis, at which it measures `size` points, and the
// matching device pixel ratio; its pixels stay as they are.
void setImageSizeInPoints(QImage &image, const QSizeF &size);

// The picture scaled, with smooth interpolation, to a new picture of `newSize` points at 72 dpi.
// A null picture logs "Invalid Image" and gives a null one; so does a size that cannot be made.
QImage imageResize(const QImage &image, const QSizeF &newSize);
// The picture redrawn, without interpolation, into ceil(dpi × w / 72) × ceil(dpi × h / 72) pixels
// that measure the picture's w × h points. A null picture logs "Invalid image" and gives a null one.
QImage Increase_DPI(const QImage &image, double dpi);
// As Increase_DPI, for a picture whose pixels are stretched over `points` (whatever resolution it
// carries): each pixel becomes a sharp block of points.width() / width by points.height() / height.
QImage Increase_DPI(const QImage &image, double dpi, const QSizeF &points);
// Writes the picture as PNG data, whatever the path's extension, replacing the file at the path
// in one step. On failure the path and then the reason are shown; the old file is kept. Answers
// whether the file was written.
bool Save_gen_image(const QImage &image, const QString &path);

// Names, last extension removed, of the regular files in `folder` (hidden ones included, folders
// left out), sorted by file name; empty when `folder` is not an existing folder.
QStringList Get_Files_Array_At_Path(const QString &folder);

// `when` formatted with a Unicode date pattern ("dd-MMM-yy", "h:mm:ss a"), names in the default
// locale. Text in single quotes is literal, '' is a quote.
QString Format_Date_With_Pattern(const QDateTime &when, const QString &pattern);
// The current date and time formatted with the pattern (the two do the same).
QString Get_date_Value(const QString &pattern);
QString Get_time_Value(const QString &pattern);

// The URL's file-system path.
QString Convert_Path_From_URL(const QUrl &url);
// 0 when the trimmed path names an existing file or folder; otherwise shows "Please select valid
// file path." and answers 1.
int Check_And_Validate_File_Path(const QString &path);

// The running toolkit's version as major × 10000 + minor × 100 + patch (6.4.2 gives 60402).
int Get_OS_Version();

// Where a file panel opens: the folder of the open design when it is there, else `fallback` (the
// user's documents or pictures), else the home folder; never the working folder, and never a
// folder of special files, where a panel can hang reading them.
QString Panel_Start_Folder(QStandardPaths::StandardLocation fallback);

// A path to a file of the program's data folders as it was on another account or machine: a
// file that is not there but lies below a folder named "Resources" is looked for at the same
// place below the current Resource_Path. The path as given when neither is there.
QString Relocated_Resource_Path(const QString &path);
// The folder of the frame pictures in the resources; empty without a resources folder, so that the
// working folder's "Frames" is never taken for it.
QString Frames_Folder();
