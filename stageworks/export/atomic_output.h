/**********************************************************************************************
*
*   atomic_output - outputs that appear whole or not at all
*
*   The scene-file programs write what they make into a scratch directory beside the place
*   it is meant for, flush it to disk and only then rename it into place, so a failure never
*   leaves a partial output behind and never touches what was there before. A file is
*   renamed over the old one; a whole folder takes the place of an old folder by exchanging
*   the two in one step (Linux renameat2), after which the old one is removed.
*
*   DEPENDENCIES: POSIX (mkdtemp, fsync, rename), Linux (renameat2 with RENAME_EXCHANGE)
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The directory part of a path ("." without one) and its last part
std::string parentOf(const std::string &path);
std::string lastPartOf(const std::string &path);

// A new empty directory dir/<prefix>XXXXXX; empty with the reason in error when none can be made
std::string makeScratchDir(const std::string &dir, const std::string &prefix, std::string &error);

// Writes bytes to a new file (mode 0644) and flushes it to disk
bool writeFileSynced(const std::string &path, const std::string &bytes, std::string &error);

// Flushes a file another writer made, or a directory (its entries), to disk
bool syncPath(const std::string &path);

// Removes a directory tree (nothing when it does not exist); false when something stayed
bool removeTree(const std::string &path);

// Puts the finished directory scratch in the place of target: renamed when target does not
// exist, exchanged with it in one step when it does (the old folder is then removed). On
// failure target is as it was and scratch is left for the caller to remove
bool replaceDirectory(const std::string &scratch, const std::string &target, std::string &error);
