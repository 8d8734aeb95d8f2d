/**********************************************************************************************
*
*   file_bundle - several files written as one: all of them, or none
*
*   A program that writes a group of files that belong together (a .gltf and its .bin, a
*   folder of pages and pictures) hands them all to writeFilesTogether:
*     - every file is written first into a scratch folder made with mkdtemp inside the
*       destination folder (so the renames below stay on one file system), each write, flush
*       and close checked;
*     - only when all of them are complete are they moved into place one by one, each old
*       file kept aside (a hard link, or a rename where links are not possible) until the
*       last one is in place;
*     - when anything fails, the files already moved are taken back, the old files are put
*       back as they were and the scratch folder is removed: the destination holds exactly
*       what it held before.
*   Names are relative to the destination folder, "/" separated, and may name subfolders
*   (made as needed); a name that is empty, absolute or holds "." or ".." is refused.
*
*   DEPENDENCIES: file_status, file_replace (folders), POSIX (mkdtemp, link, rename)
*
**********************************************************************************************/
#pragma once

#include "file_status.h"

#include <string>
#include <vector>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// One file of a group: its name inside the destination folder and its whole contents
struct OutputFile {
    std::string name;
    std::string bytes;
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// True for a name writeFilesTogether accepts
bool outputNameAccepted(const std::string &name);

// Writes every file into folder, all or none, as described above; new files get 0666 less
// the umask. The files are moved into place in the order given (put the file that names the
// others last)
FileStatus writeFilesTogether(const std::string &folder, const std::vector<OutputFile> &files);
