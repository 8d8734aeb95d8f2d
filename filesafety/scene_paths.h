/**********************************************************************************************
*
*   scene_paths - opening the files a scene names, and no other
*
*   A scene names files (its DTD, its texture bitmaps) by paths relative to the scene
*   directory, with "/" separators. One rule holds for every such name, in every program that
*   reads a scene:
*     - the name is not empty, not absolute, and its ".." never climb above the scene directory;
*     - after every symbolic link is followed it lies inside the scene directory;
*     - it is a regular file (no folder, pipe, device or socket), not larger than the caller's
*       limit;
*     - it is opened without blocking and without following a last symbolic link, so nothing
*       it points to can be swapped in after the check and a pipe never stalls the program.
*   Anything else is refused with a FileStatus whose text names no outside file: a name that
*   leads outside and a name that leads nowhere get the same answer (FILE_NOT_IN_SCENE).
*
*   Files a user names directly (the scene file itself, which may be a link to anywhere) are
*   read with readRegularFile: no containment, but the same regular-file, size and
*   non-blocking rules.
*
*   The identity of an opened file (device, inode, size, modification time) tells whether two
*   spellings of a path ("Data/a.bmp", "./Data//a.bmp", a link to it) are the same file, so a
*   reader can load it once.
*
*   DEPENDENCIES: file_status, POSIX (realpath, open, fstat)
*
**********************************************************************************************/
#pragma once

#include "file_status.h"

#include <sys/types.h>

#include <cstddef>
#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// Largest scene file either program reads (a scene of 1000 objects with events takes a few
// megabytes)
constexpr size_t SCENE_FILE_MAX_BYTES = (size_t)64 << 20;

// What tells one file from another, and one state of it from another
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedSeconds = 0, modifiedNanoseconds = 0;

    bool operator==(const FileIdentity &o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modifiedSeconds == o.modifiedSeconds &&
               modifiedNanoseconds == o.modifiedNanoseconds;
    }
    bool operator!=(const FileIdentity &o) const { return !(*this == o); }
    bool operator<(const FileIdentity &o) const;
};

// A file opened for reading; the descriptor is closed when the record goes
struct OpenedFile {
    int descriptor = -1;
    std::string resolved;     // absolute path after every symbolic link
    FileIdentity identity;

    OpenedFile() = default;
    OpenedFile(const OpenedFile &) = delete;
    OpenedFile &operator=(const OpenedFile &) = delete;
    OpenedFile(OpenedFile &&other) noexcept;
    OpenedFile &operator=(OpenedFile &&other) noexcept;
    ~OpenedFile();
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// The checks on the name alone: FILE_NAME_EMPTY, FILE_NAME_ABSOLUTE, FILE_NAME_CLIMBS_OUT or
// FILE_OK
FileStatus checkSceneName(const std::string &name);

// Opens the file a scene in sceneDirectory names, under the rule above; maxBytes 0 means no
// size limit
FileStatus openSceneFile(const std::string &sceneDirectory, const std::string &name, size_t maxBytes,
                         OpenedFile *file);

// Reads the whole file a scene names (openSceneFile, then at most maxBytes bytes)
FileStatus readSceneFile(const std::string &sceneDirectory, const std::string &name, size_t maxBytes,
                         std::string *bytes, FileIdentity *identity = nullptr);

// Opens a file named directly by the user: it must exist, be a regular file (after links)
// and hold at most maxBytes bytes (0: no limit); opened without blocking
FileStatus openRegularFile(const std::string &path, size_t maxBytes, OpenedFile *file);

// Reads the whole of such a file; a file that grows past maxBytes while it is read is
// refused as too large
FileStatus readRegularFile(const std::string &path, size_t maxBytes, std::string *bytes,
                           FileIdentity *identity = nullptr);

// Reads everything left of an opened file, at most maxBytes bytes (0: no limit)
FileStatus readOpenedFile(const OpenedFile &file, size_t maxBytes, std::string *bytes);

// The identity of the file at path now (following links); false when there is none
bool fileIdentityOf(const std::string &path, FileIdentity *identity);
