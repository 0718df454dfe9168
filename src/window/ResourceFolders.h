#pragma once

#include <QString>

// Where the program finds the resources it ships and where it keeps the folders it writes.
// Shipped resources are read-only (beside the executable in a build tree, under the install prefix
// once installed); the program works in a per-user copy that it may write. The environment
// variable CARD_RESOURCE_PATH names one folder to use for both instead (tests, portable set-ups).
namespace ResourceFolders {

// The shipped Resources folder, ending with '/'; empty when none is found.
QString shippedResourcesFolder();
// The folder that becomes Resource_Path, ending with '/'.
QString userResourcesFolder();
// Creates `target` and copies into it every shipped file it lacks or holds in an older version than
// `shipped`; files the user's copy has of its own, or newer, stay. Links are not followed. What
// killed writes left in `target`, and no write holds, is removed first. Answers false only when
// `target` cannot be made.
bool prepareUserResources(const QString &shipped, const QString &target);

} // namespace ResourceFolders
