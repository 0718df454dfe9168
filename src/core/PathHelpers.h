#pragma once

#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QUrl>

// Folder listings, path checks and the folders file panels open in and resources are found in.

// Names, last extension removed, of the regular files in `folder` (hidden ones included, folders
// left out), sorted by file name; empty when `folder` is not an existing folder.
QStringList Get_Files_Array_At_Path(const QString &folder);

// A name that stays in the folder it is looked up in: not empty, not "." or "..", and holding no
// "/", "\" or NUL. Names a file brings for the program's own files (hatch patterns) must be such.
bool isBareName(const QString &name);

// The URL's file-system path.
QString Convert_Path_From_URL(const QUrl &url);
// 0 when the trimmed path names an existing file or folder; otherwise shows "Please select valid
// file path." and answers 1.
int Check_And_Validate_File_Path(const QString &path);

// Where a file panel opens: the folder of the open design when it is there, else `fallback` (the
// user's documents or pictures), else the home folder; never the working folder, and never a
// folder of special files, where a panel can hang reading them.
QString Panel_Start_Folder(QStandardPaths::StandardLocation fallback);

// A path to a file of the program's data folders as it was on another account or machine: a
// file that is not there but lies below a folder named "Resources" is looked for at the same
// place below the current Resource_Path. The path as given when neither is there.
QString Relocated_Resource_Path(const QString &path);
// How a design the program ships names a file of the resources folder `resources`, so that it
// resolves on any install: "/Resources/" and the file's place below that folder, which
// Relocated_Resource_Path (and readers that know no other form) find below the reader's own
// Resource_Path. Empty for a path outside `resources`.
QString Resource_Relative_Path(const QString &path, const QString &resources);
// The file such a name stands for in the resources folder `resources`; empty for any other path.
QString Resource_File_Of_Name(const QString &name, const QString &resources);
// The folder of the frame pictures in the resources; empty without a resources folder, so that the
// working folder's "Frames" is never taken for it.
QString Frames_Folder();
