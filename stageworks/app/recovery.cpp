/**********************************************************************************************
*
*   recovery - the recovery copy of a scene with unsaved changes
*
**********************************************************************************************/
#include "recovery.h"

#include "app_state.h"
#include "edit_history.h"
#include "file_replace.h"
#include "scene_writer.h"
#include "unsaved.h"

#include <atomic>
#include <csignal>   // Required for: sigaction(), raise()
#include <cstdio>
#include <cstdlib>   // Required for: atexit()
#include <thread>
#include <unistd.h>  // Required for: unlink(), access()

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int RECOVERY_NOTICE_MS = 2500;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static RecoverySchedule schedule;
static long long copiedPosition = -1;      // the history position the copy on disk holds
static bool paused = false;
static int written = 0;
static bool failureTold = false;
static bool ownCopy = false;               // the copy on disk was written by this run

// The running write
static std::thread writer;
static std::atomic<bool> writeDone{false};
static FileStatus writeStatus;
static long long writingPosition = -1;

static volatile sig_atomic_t pendingSignal = 0;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The result of the write that ended (its thread joined)
static void takeWriteResult()
{
    if (fileOk(writeStatus)) {
        copiedPosition = writingPosition;
        ownCopy = true;
        failureTold = false;
        if (++written == 1)
            showNotice(std::string("Copia de recuperacion guardada en ") + RECOVERY_FILE_NAME, RECOVERY_NOTICE_MS);
        return;
    }
    if (!failureTold) {
        fprintf(stderr, "Error: recovery copy \"%s\" not written: %s\n", RECOVERY_FILE_NAME,
                fileProblemText(writeStatus).c_str());
        showNotice(std::string("No se pudo guardar la copia de recuperacion: ") + fileProblemText(writeStatus),
                   RECOVERY_NOTICE_MS * 2);
        failureTold = true;
    }
}

// The end of the running write: the thread joined, its result taken in
static void collectWrite()
{
    if (!writer.joinable()) return;
    writer.join();
    takeWriteResult();
}

// True while the scene has unsaved changes the copy on disk does not hold
static bool copyBehind() { return sceneUnsaved() && historyPosition() != copiedPosition; }

// Starts a write of the scene as it is now: the document made here, put in place by the thread
static void startWrite(long long nowMs)
{
    std::string document;
    schedule.lastWriteMs = nowMs;
    schedule.changedSinceMs = -1;
    if (!writeSceneDocument(&document)) {
        writeStatus = fileFailure(FILE_WRITE_FAILED);
        takeWriteResult();
        return;
    }
    writingPosition = historyPosition();
    writeDone = false;
    writer = std::thread([bytes = std::move(document)] {
        writeStatus = replaceFile(RECOVERY_FILE_NAME, bytes);
        writeDone = true;
    });
}

// A caught signal: the copy, then the signal's own end
static void onSignal(int signal)
{
    if (!unsavedForSignals()) {
        std::signal(signal, SIG_DFL);
        raise(signal);
        return;
    }
    pendingSignal = signal;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
bool recoveryDue(const RecoverySchedule &s, long long nowMs)
{
    if (s.changedSinceMs < 0) return false;
    if (nowMs - s.changedSinceMs < RECOVERY_DELAY_MS) return false;
    return s.lastWriteMs < 0 || nowMs - s.lastWriteMs >= RECOVERY_INTERVAL_MS;
}

void serviceRecovery(long long nowMs)
{
    const int signal = pendingSignal;
    if (signal != 0) {
        std::string reason;
        if (writeRecoveryNow(&reason)) {
            if (!paused) printf("Senal %d: copia de recuperacion guardada en %s\n", signal, RECOVERY_FILE_NAME);
        } else
            fprintf(stderr, "Error: recovery copy \"%s\" not written: %s\n", RECOVERY_FILE_NAME, reason.c_str());
        fflush(stdout);
        std::signal(signal, SIG_DFL);
        raise(signal);
        return;
    }
    if (writer.joinable() && writeDone) collectWrite();
    if (writer.joinable() || paused) return;
    if (!copyBehind()) {
        schedule.changedSinceMs = -1;
        return;
    }
    if (schedule.changedSinceMs < 0) schedule.changedSinceMs = nowMs;
    if (recoveryDue(schedule, nowMs)) startWrite(nowMs);
}

bool writeRecoveryNow(std::string *reason)
{
    finishRecoveryWrite();
    if (!sceneUnsaved() || paused) return true;
    if (historyPosition() == copiedPosition && access(RECOVERY_FILE_NAME, F_OK) == 0) return true;
    std::string document;
    FileStatus status = fileFailure(FILE_WRITE_FAILED);
    if (writeSceneDocument(&document)) status = replaceFile(RECOVERY_FILE_NAME, document);
    if (!fileOk(status)) {
        if (reason != nullptr) *reason = fileProblemText(status);
        return false;
    }
    copiedPosition = historyPosition();
    ownCopy = true;
    written++;
    return true;
}

void forgetRecoveryCopy()
{
    finishRecoveryWrite();
    unlink(RECOVERY_FILE_NAME);
    copiedPosition = -1;
    ownCopy = false;
    schedule = RecoverySchedule();
}

void recoveryCopyHoldsScene()
{
    copiedPosition = historyPosition();
    schedule = RecoverySchedule();
}

void pauseRecovery(bool pause) { paused = pause; }

// The end of the process, however it comes through exit() (leaving, the window destroyed,
// the X connection lost): a write still running is let finish (no half file is left); unsaved
// changes the copy does not hold yet are written; a copy this run wrote for changes that are
// no longer unsaved (undone back to the saved scene) goes, so that the next start offers
// nothing
static void recoveryAtExit()
{
    if (sceneUnsaved()) {
        std::string reason;
        // NOTE: the exit sequence has had its chance to write the copy (leaving anyway), and
        // has cleaned up the XML library the writer needs
        if (getExiting() != 0) finishRecoveryWrite();
        else if (!writeRecoveryNow(&reason))
            fprintf(stderr, "Error: recovery copy \"%s\" not written: %s\n", RECOVERY_FILE_NAME, reason.c_str());
        return;
    }
    finishRecoveryWrite();
    if (ownCopy) unlink(RECOVERY_FILE_NAME);
}

void installRecoverySignals()
{
    atexit(recoveryAtExit);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

int recoveryCopiesWritten() { return written; }

void finishRecoveryWrite()
{
    collectWrite();
}
