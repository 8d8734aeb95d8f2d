/**********************************************************************************************
*
*   file_status - why a file a program reads or writes was refused or failed
*
**********************************************************************************************/
#include "file_status.h"

#include <cerrno>   // Required for: the error numbers named in Spanish
#include <cstring>  // Required for: strerror()

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The phrase, and the system's words after it where they add something
static std::string withError(const char *phrase, int error)
{
    std::string text = phrase;
    if (error != 0) text += std::string(": ") + strerror(error);
    return text;
}

// The Spanish phrase, with the commonest system errors named after it
static std::string withSpanishError(const char *phrase, int error)
{
    const char *cause = nullptr;
    switch (error) {
    case ENOSPC: cause = "disco lleno"; break;
    case EDQUOT: cause = "cuota de disco agotada"; break;
    case EFBIG: cause = "fichero demasiado grande"; break;
    case EROFS: cause = "sistema de ficheros de solo lectura"; break;
    case EACCES:
    case EPERM: cause = "permiso denegado"; break;
    case EIO: cause = "error de disco"; break;
    default: break;
    }
    std::string text = phrase;
    if (cause != nullptr) text += std::string(" (") + cause + ")";
    return text;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
FileStatus fileFailure(FileProblem problem, int error)
{
    FileStatus status;
    status.problem = problem;
    status.error = error;
    return status;
}

std::string fileProblemText(const FileStatus &status)
{
    switch (status.problem) {
    case FILE_OK: return "no problem";
    case FILE_NAME_EMPTY: return "the name is empty";
    case FILE_NAME_ABSOLUTE: return "an absolute path; a scene names its files relative to its directory";
    case FILE_NAME_CLIMBS_OUT: return "the name leaves the scene directory through \"..\"";
    // NOTE: never more than this, so that a message cannot tell whether a file outside exists
    case FILE_NOT_IN_SCENE: return "no such file in the scene directory";
    case FILE_MISSING: return "no such file";
    case FILE_NOT_REGULAR: return "not a regular file";
    case FILE_TOO_LARGE: return "the file is too large";
    case FILE_UNREADABLE: return withError("cannot be read", status.error);
    case FILE_READ_ONLY: return "the file is read-only";
    case FILE_NO_TEMPORARY: return withError("no temporary file can be made beside it", status.error);
    case FILE_WRITE_FAILED: return withError("cannot write", status.error);
    case FILE_RENAME_FAILED: return withError("the new file cannot take the old one's place", status.error);
    case FILE_BAD_OUTPUT_NAME: return "an output name must stay inside its folder";
    }
    return "unknown problem";
}

std::string fileProblemSpanish(const FileStatus &status)
{
    switch (status.problem) {
    case FILE_OK: return "sin problema";
    case FILE_NAME_EMPTY: return "el nombre esta vacio";
    case FILE_NAME_ABSOLUTE: return "es una ruta absoluta; una escena nombra sus ficheros desde su directorio";
    case FILE_NAME_CLIMBS_OUT: return "el nombre sale del directorio de la escena con \"..\"";
    case FILE_NOT_IN_SCENE: return "no hay tal fichero en el directorio de la escena";
    case FILE_MISSING: return "no existe";
    case FILE_NOT_REGULAR: return "no es un fichero normal";
    case FILE_TOO_LARGE: return "el fichero es demasiado grande";
    case FILE_UNREADABLE: return withSpanishError("no se puede leer", status.error);
    case FILE_READ_ONLY: return "el fichero es de solo lectura";
    case FILE_NO_TEMPORARY: return withSpanishError("no se puede crear un fichero temporal a su lado", status.error);
    case FILE_WRITE_FAILED: return withSpanishError("no se puede escribir", status.error);
    case FILE_RENAME_FAILED: return withSpanishError("el fichero nuevo no puede ocupar el lugar del anterior", status.error);
    case FILE_BAD_OUTPUT_NAME: return "un nombre de salida debe quedar dentro de su carpeta";
    }
    return "problema desconocido";
}

std::string sceneFileMessage(const std::string &name, const FileStatus &status)
{
    return "\"" + name + "\": " + fileProblemText(status);
}
