/**********************************************************************************************
*
*   file_status - why a file a program reads or writes was refused or failed
*
*   Every reading and writing function of the file-safety library answers with a FileStatus:
*   FILE_OK, or one problem with the system's error number where one applies. The texts here
*   are English, for standard error and command-line tools, and Spanish, for the windows and
*   notices of the programs.
*
*   The texts about a file a scene names never tell whether something outside the scene
*   directory exists: a name that resolves outside it and a name that resolves to nothing
*   get the same answer.
*
*   DEPENDENCIES: none
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
enum FileProblem {
    FILE_OK = 0,
    FILE_NAME_EMPTY,        // a scene names a file with no name at all
    FILE_NAME_ABSOLUTE,     // a scene names a file from the root instead of from its directory
    FILE_NAME_CLIMBS_OUT,   // a ".." of the name leaves the scene directory
    FILE_NOT_IN_SCENE,      // nothing of that name inside the scene directory (missing or outside)
    FILE_MISSING,           // a file named directly (not by a scene) does not exist
    FILE_NOT_REGULAR,       // a folder, pipe, device or socket where a file belongs
    FILE_TOO_LARGE,         // larger than the limit of its kind
    FILE_UNREADABLE,        // there, but it cannot be opened or read
    FILE_READ_ONLY,         // a file to replace whose permissions allow no writing
    FILE_NO_TEMPORARY,      // no temporary file or folder can be made beside the destination
    FILE_WRITE_FAILED,      // a write, the flush to the disk or the close failed
    FILE_RENAME_FAILED,     // the complete new file could not take the old one's place
    FILE_BAD_OUTPUT_NAME,   // an output name that would leave its folder
};

struct FileStatus {
    FileProblem problem = FILE_OK;
    int error = 0;          // errno where the system gave one, else 0
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// True when the status is FILE_OK
inline bool fileOk(const FileStatus &status) { return status.problem == FILE_OK; }

// A status with a problem and the error number now in errno (0 for none)
FileStatus fileFailure(FileProblem problem, int error = 0);

// The reason as an English phrase, with the system's words for the error where there is one
// ("no such file in the scene directory", "the file is read-only", "cannot write: No space
// left on device")
std::string fileProblemText(const FileStatus &status);

// The same reason in Spanish, for the programs' own windows and notices (plain ASCII, so that
// any font shows it): "no hay tal fichero en el directorio de la escena", "el fichero es de
// solo lectura", "no se puede escribir (disco lleno)"
std::string fileProblemSpanish(const FileStatus &status);

// The reason for a file a scene names, with the name as the scene writes it:
// "\"Data/x.bmp\": no such file in the scene directory"
std::string sceneFileMessage(const std::string &name, const FileStatus &status);
