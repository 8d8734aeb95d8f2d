/**********************************************************************************************
*
*   save_guard - what a save may write over
*
*   A save replaces escena.xml whole. Before it does, the guard looks at what the file on disk
*   holds that stageworks does not, so that no work is lost unasked:
*     - a read-only escena.xml, or one that is no regular file, is not replaced at all;
*     - the file whose load failed (a typing mistake in a hand edit, a missing DTD) is still
*       there and stageworks holds none of it: the save goes on, but first keeps the file's
*       bytes beside it (escena.xml.no-cargado, then .no-cargado.2, ...) and says where;
*     - the file changed on disk since stageworks read or wrote it, in its flags or objects
*       (another stageworks saved), or so that it cannot be read: the first save asks (a notice
*       on screen) and writes nothing; a second save within SAVE_CONFIRM_MS writes, after
*       keeping that file beside it (escena.xml.cambiado-en-disco, ...);
*     - a file where only matforge's texture and material sections changed is taken over
*       (material_sync) and saved with them, as before.
*   Every answer comes with a text for the screen (Spanish, plain ASCII for the texture font)
*   and the refusals with a line on standard error.
*
*   DEPENDENCIES: material_sync (the file on disk), scene_writer (the last save's status),
*                 scene_file (names), file_replace (file_safety)
*
**********************************************************************************************/
#pragma once

#include "file_status.h"

#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// How long a second save counts as the answer to the guard's question
constexpr long long SAVE_CONFIRM_MS = 5000;

// The names a copy of the file on disk gets, after "escena.xml"
constexpr const char *NOT_LOADED_COPY_SUFFIX = ".no-cargado";
constexpr const char *CHANGED_COPY_SUFFIX = ".cambiado-en-disco";

enum SaveVerdict {
    SAVE_GO = 0,            // write
    SAVE_KEEP_COPY_FIRST,   // keep a copy of the file on disk beside it, then write
    SAVE_ASK_AGAIN,         // not now: the notice asks for a second save
    SAVE_REFUSED,           // not at all: the notice says why
};

struct SaveCheck {
    SaveVerdict verdict = SAVE_GO;
    const char *copySuffix = "";   // for SAVE_KEEP_COPY_FIRST
    std::string notice;            // for SAVE_ASK_AGAIN and SAVE_REFUSED
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// What a save asked for at nowMs (any clock in milliseconds) may do
SaveCheck checkSceneSave(long long nowMs);

// Keeps the copy a SAVE_KEEP_COPY_FIRST check asks for; its file name in *copy. False, with
// the notice in *notice and a line on standard error, when it cannot be kept (then nothing
// may be written)
bool keepSceneCopy(const SaveCheck &check, std::string *copy, std::string *notice);

// The notice after a save that kept a copy first
std::string savedWithCopyNotice(const SaveCheck &check, const std::string &copy);

// The notice after a save that failed ("No guardado: escena.xml: el fichero es de solo
// lectura")
std::string saveFailedNotice(const FileStatus &status);

// Forgets the question a first save asked (a load, or any save that was written)
void forgetSaveQuestion();
