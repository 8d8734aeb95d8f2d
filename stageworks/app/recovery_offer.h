/**********************************************************************************************
*
*   recovery_offer - a recovery copy found at start: offered, loaded or kept
*
*   At start, after escena.xml is loaded, a recovery copy (.escena.xml.recuperacion) newer than
*   escena.xml means that the last run ended with unsaved changes. It is never loaded silently
*   and never removed before the user has chosen: a copy that loads is offered on the screen
*   with its time ("R carga la copia, N conserva escena.xml"; Escape is N), a copy that does not
*   is reported and kept. Loading it makes the scene the copy's, unsaved, until F9 writes it
*   to escena.xml (which removes the copy); keeping escena.xml leaves both files as they are
*   until the next save. While the offer waits, F9 does not save and no new copy is written.
*
*   --recover loads the copy at start without asking (a copy that does not load is reported,
*   and escena.xml stays loaded). The player never looks for a copy.
*
*   DEPENDENCIES: recovery, commands, edit_history (notice, line cutting) (app); scene_reader
*                 (scenefile); font, redraw (base); POSIX stat
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// Start-up, after the first load: looks for a copy newer than escena.xml and offers it (or,
// with recoverNow, loads any copy there is)
void checkRecoveryAtStart(bool recoverNow);

// 1 while the offer waits for an answer
int recoveryOfferOpen();

// The answer: load the copy (1) or keep escena.xml (0)
void answerRecoveryOffer(int load);

// A key while the offer waits: R/r loads, N/n and Escape keep escena.xml; 1 when it was one
// of them (the key goes no further)
int recoveryOfferKey(unsigned char key);

// Draws the offer while it waits (the caller has begun text)
void drawRecoveryOffer();

// "12:34:56 del 07/12/2026" for a file's modification time ("" when there is no file)
std::string fileTimeText(const char *path);

// True when the file at copy is newer than the one at scene (or scene does not exist)
bool copyIsNewer(const char *copy, const char *scene);
