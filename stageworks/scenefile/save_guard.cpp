/**********************************************************************************************
*
*   save_guard - what a save may write over
*
**********************************************************************************************/
#include "save_guard.h"

#include "file_replace.h"
#include "material_sync.h"
#include "scene_file.h"

#include <cstdio>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// The question a first save asked: about which state of the file, and when
struct SaveQuestion {
    bool asked = false;
    SceneOnDisk state = SCENE_AS_KNOWN;
    SceneFileStamp stamp;
    long long askedMs = 0;
};

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static SaveQuestion question;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// A save that waits for its answer: the question noted, the notice and the line on standard
// error
static SaveCheck ask(SceneOnDisk state, long long nowMs)
{
    question.asked = true;
    question.state = state;
    question.stamp = sceneFileStamp();
    question.askedMs = nowMs;
    SaveCheck check;
    check.verdict = SAVE_ASK_AGAIN;
    const long long seconds = SAVE_CONFIRM_MS / 1000;
    if (state == SCENE_UNREADABLE) {
        fprintf(stderr, "Error: %s not saved: it changed on disk and saving now would lose those changes\n",
                SCENE_FILE_NAME);
        check.notice = std::string(SCENE_FILE_NAME) + " cambio en disco y no se puede leer: F9 otra vez en " +
                       std::to_string(seconds) + " s guarda y lo conserva aparte";
    } else {
        fprintf(stderr,
                "Error: %s not saved: its flags or objects changed on disk since stageworks read or wrote it "
                "(save again within %lld s to write it, keeping the file on disk as %s%s)\n",
                SCENE_FILE_NAME, seconds, SCENE_FILE_NAME, CHANGED_COPY_SUFFIX);
        check.notice = std::string(SCENE_FILE_NAME) + " cambio en disco (objetos o flags): F9 otra vez en " +
                       std::to_string(seconds) + " s guarda y conserva esa version aparte";
    }
    return check;
}

// True when this save answers the question asked about the same state of the file in time
static bool answers(SceneOnDisk state, long long nowMs)
{
    return question.asked && question.state == state && sameSceneStamp(question.stamp, sceneFileStamp()) &&
           nowMs >= question.askedMs && nowMs - question.askedMs <= SAVE_CONFIRM_MS;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
SaveCheck checkSceneSave(long long nowMs)
{
    SaveCheck check;
    const FileStatus replaceable = checkReplaceable(SCENE_FILE_NAME);
    if (!fileOk(replaceable)) {
        fprintf(stderr, "Error: %s not saved: %s\n", SCENE_FILE_NAME, fileProblemText(replaceable).c_str());
        check.verdict = SAVE_REFUSED;
        check.notice = saveFailedNotice(replaceable);
        return check;
    }
    const SceneOnDisk state = checkSceneOnDisk();
    switch (state) {
    case SCENE_AS_KNOWN:
    case SCENE_MATERIALS_TAKEN: return check;
    case SCENE_NOT_LOADED:
        check.verdict = SAVE_KEEP_COPY_FIRST;
        check.copySuffix = NOT_LOADED_COPY_SUFFIX;
        return check;
    case SCENE_OTHERS_CHANGED:
    case SCENE_UNREADABLE:
        if (!answers(state, nowMs)) return ask(state, nowMs);
        question = SaveQuestion();
        check.verdict = SAVE_KEEP_COPY_FIRST;
        check.copySuffix = CHANGED_COPY_SUFFIX;
        return check;
    }
    return check;
}

bool keepSceneCopy(const SaveCheck &check, std::string *copy, std::string *notice)
{
    const FileStatus status = keepCopyBeside(SCENE_FILE_NAME, check.copySuffix, copy);
    if (fileOk(status)) return true;
    fprintf(stderr, "Error: %s not saved: no copy of the file on disk could be kept (%s)\n", SCENE_FILE_NAME,
            fileProblemText(status).c_str());
    *notice = std::string("No guardado: no se pudo conservar una copia de ") + SCENE_FILE_NAME + " (" +
              fileProblemSpanish(status) + ")";
    return false;
}

std::string savedWithCopyNotice(const SaveCheck &check, const std::string &copy)
{
    if (std::string(check.copySuffix) == NOT_LOADED_COPY_SUFFIX)
        return std::string("Guardado. El ") + SCENE_FILE_NAME + " que no se pudo cargar queda en " + copy;
    return "Guardado. La version que habia en disco queda en " + copy;
}

std::string saveFailedNotice(const FileStatus &status)
{
    return std::string("No guardado: ") + SCENE_FILE_NAME + ": " + fileProblemSpanish(status);
}

void forgetSaveQuestion() { question = SaveQuestion(); }
