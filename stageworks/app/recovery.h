/**********************************************************************************************
*
*   recovery - the recovery copy of a scene with unsaved changes
*
*   While the scene has unsaved changes, a copy of the whole scene is kept beside escena.xml in
*   the hidden file .escena.xml.recuperacion, written by the scene writer and put in place whole
*   (file_replace), so that a crash, a killed X session or a power cut loses at most a minute
*   of work. It is written RECOVERY_DELAY_MS after the scene first differs from the last copy
*   (or from escena.xml), then at most once every RECOVERY_INTERVAL_MS while edits go on, and
*   when the program ends with unsaved changes in any way it can catch: leaving anyway, the
*   window destroyed, the X connection lost (Xlib ends the process through exit()), SIGTERM
*   or SIGHUP (the signal then ends the program as it would have).
*   A save that succeeds removes it, and so does an exit with nothing unsaved when this run
*   wrote it (its changes were undone).
*
*   The document is made on the main thread from the running scene (the snapshot); a writer
*   thread then puts it in place, so the flush to the disk never holds a frame. The main thread
*   looks for the end of the write on its half-second scene-file check; only one write runs
*   at a time. The first copy written in a run is told once on the notice line.
*
*   While the offer of an older copy found at start waits for an answer, no copy is written
*   (that copy is not replaced before the user has chosen).
*
*   DEPENDENCIES: unsaved, edit_history (notice, position) (app); scene_writer (scenefile);
*                 app_state (base); file_replace (file_safety); POSIX signals; std::thread
*
**********************************************************************************************/
#pragma once

#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr const char *RECOVERY_FILE_NAME = ".escena.xml.recuperacion";
constexpr long long RECOVERY_DELAY_MS = 10000;      // from the first unsaved edit to the copy
constexpr long long RECOVERY_INTERVAL_MS = 60000;   // between two copies

// When the copies were written (milliseconds of one clock; -1: not yet)
struct RecoverySchedule {
    long long changedSinceMs = -1;   // the scene first seen differing from the last copy
    long long lastWriteMs = -1;      // the last copy began
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------

// True when a copy is due at nowMs for a scene that differs from the last copy
bool recoveryDue(const RecoverySchedule &schedule, long long nowMs);

// The half-second check: a signal that came, the end of a running write, a copy that is due
void serviceRecovery(long long nowMs);

// Writes the copy now on this thread, after any running write, when the scene has unsaved
// changes the copy on disk does not hold; true when the copy holds the scene (or nothing is
// unsaved), false with the reason in *reason
bool writeRecoveryNow(std::string *reason = nullptr);

// A save succeeded: waits for a running write, removes the copy
void forgetRecoveryCopy();

// The scene was just taken from the copy on disk: it holds the scene
void recoveryCopyHoldsScene();

// No copy is written while paused (the offer of an older copy waits for an answer)
void pauseRecovery(bool paused);

// SIGTERM and SIGHUP keep the copy before they end the program (nothing unsaved: as before);
// at the end of the process a running write is let finish, unsaved changes are written, and
// a copy this run wrote for changes undone since is removed
void installRecoverySignals();

// Copies written in this run
int recoveryCopiesWritten();

// Waits for a running write to end (tests, benchmarks, the exit)
void finishRecoveryWrite();
