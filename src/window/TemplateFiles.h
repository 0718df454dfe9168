#pragma once

#include <QString>

// Files of templates: a design file and a picture of one base name, in "Templates" (shipped) or
// "Templates/User" (the user's). Copies and moves never leave half a file behind.
namespace TemplateFiles {

// Resource_Path + "Templates/" and + "Templates/User/".
QString shippedFolder();
QString userFolder();
// A name the user may give a template: not empty, no path separator or NUL, not "." or "..", and
// short enough for a file name with its extension.
bool isAcceptableName(const QString &name);
// Why a name is not acceptable, in the message's words; empty for an acceptable name.
QString nameProblem(const QString &name);
bool isNameTooLong(const QString &name);
// The path with its last extension replaced by `extension` (without the dot).
QString withExtension(const QString &path, const QString &extension);
// The file name without its last extension; a name that is all extension (".png") stays whole.
QString baseName(const QString &path);
// The first "<base> (copy k).<ext>" beside `path`, k from 1, at which no file exists.
QString firstFreeCopyPath(const QString &path);

// Copies `from` to `to` through a temporary file, then reads the copy back and compares it; an
// existing `to` is replaced only by a complete copy. False with the reason in `error`.
bool copyVerified(const QString &from, const QString &to, QString *error);
// Moves `from` to `to`, replacing `to`: a rename where it can be, else a verified copy after which
// the original is removed. False with the reason in `error`; `from` is then still there.
bool moveFile(const QString &from, const QString &to, QString *error);

} // namespace TemplateFiles
