/**********************************************************************************************
*
*   file_replace - replacing a file whole, or not at all
*
*   replaceFile writes new contents for a file so that a reader sees either the old file or
*   the new one, never a part, and so that a failure anywhere leaves the old file as it was:
*     - a symbolic link is followed to the file it names (the link stays; its target is
*       replaced, in the target's own folder);
*     - an existing target must be a regular file whose permissions allow writing: a
*       read-only file is refused before anything is written;
*     - the bytes go to a temporary file made with mkstemp beside the target (a fresh name
*       every time, created exclusively, so no link or pipe of that name is ever followed);
*       every write, the flush to the disk and the close are checked;
*     - the temporary file takes the old file's permissions (a 0600 file stays 0600; a new
*       file gets 0666 less the umask) and, where allowed, its owner and group;
*     - only then is it renamed over the target and the folder flushed. On any failure the
*       temporary file is removed.
*
*   keepCopyBeside saves the present bytes of a file under a new name beside it before it is
*   replaced, so that what another program or a failed load left there is never lost.
*
*   DEPENDENCIES: file_status, POSIX (mkstemp, fsync, rename, link)
*
**********************************************************************************************/
#pragma once

#include "file_status.h"

#include <cstddef>
#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The file a write to path really replaces: path itself, or the end of its chain of links
// (a link to nothing gives the path where the file would be made). FILE_NOT_REGULAR for a
// chain of more than 40 links
FileStatus writeTargetOf(const std::string &path, std::string *target);

// The refusals that come before any writing: FILE_NOT_REGULAR when the target is there but is
// no regular file, FILE_READ_ONLY when its permissions allow no writing; FILE_OK otherwise
// (also when there is no file yet)
FileStatus checkReplaceable(const std::string &path);

// Replaces the file at path with bytes, as described above
FileStatus replaceFile(const std::string &path, const std::string &bytes);

// Copies the present bytes of the file at path (links followed) into a new file beside path,
// named path + suffix, or path + suffix + ".2", ".3", ... when that name is taken; the new
// file's path in *copy. Never writes over an existing file
FileStatus keepCopyBeside(const std::string &path, const std::string &suffix, std::string *copy);

// Writes all bytes to a descriptor, going on after interruptions; the errno of the first
// failure, 0 when every byte was written
int writeWhole(int descriptor, const char *bytes, size_t size);

// Flushes a folder, so that names just made or renamed in it reach the disk
bool syncFolder(const std::string &folder);

// The folder part of a path ("." when there is none) and its last part
std::string folderOf(const std::string &path);
std::string lastPartOf(const std::string &path);
