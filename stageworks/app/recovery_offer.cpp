/**********************************************************************************************
*
*   recovery_offer - a recovery copy found at start: offered, loaded or kept
*
**********************************************************************************************/
#include "recovery_offer.h"

#include "commands.h"
#include "edit_history.h"
#include "font.h"
#include "help_overlay.h"
#include "recovery.h"
#include "redraw.h"
#include "scene_document.h"
#include "scene_file.h"
#include "scene_reader.h"

#include <GL/gl.h>

#include <sys/stat.h>  // Required for: stat()
#include <ctime>       // Required for: localtime_r(), strftime()
#include <memory>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int OFFER_NOTICE_MS = 8000;
static const float OFFER_X = -36.0f;
static const float OFFER_Y = -14.0f;
static const float OFFER_Z = -70.0f;
static const float OFFER_LINE_STEP = 2.0f;
static const int KEY_ESCAPE = 27;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::unique_ptr<SceneData> offered;   // the copy read, while the offer waits
static std::string offeredTime;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The copy read and put in place of the running scene
static void takeCopy(const SceneData &scene, const std::string &time)
{
    replaceSceneWith(scene);
    recoveryCopyHoldsScene();
    showNotice("Copia de recuperacion de las " + time + " cargada: F9 la guarda en escena.xml", OFFER_NOTICE_MS);
}

// The offer's text
static std::string offerText()
{
    return "Hay una copia de recuperacion de las " + offeredTime + ", mas nueva que escena.xml (cambios sin guardar "
           "de la ultima sesion). R: cargar la copia   N o Escape: conservar escena.xml";
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
std::string fileTimeText(const char *path)
{
    struct stat info;
    if (stat(path, &info) != 0) return "";
    struct tm local;
    const time_t seconds = info.st_mtime;
    if (localtime_r(&seconds, &local) == nullptr) return "";
    char text[64];
    strftime(text, sizeof text, "%H:%M:%S del %d/%m/%Y", &local);
    return text;
}

bool copyIsNewer(const char *copy, const char *scene)
{
    struct stat copyInfo, sceneInfo;
    if (stat(copy, &copyInfo) != 0) return false;
    if (stat(scene, &sceneInfo) != 0) return true;
    if (copyInfo.st_mtim.tv_sec != sceneInfo.st_mtim.tv_sec) return copyInfo.st_mtim.tv_sec > sceneInfo.st_mtim.tv_sec;
    return copyInfo.st_mtim.tv_nsec > sceneInfo.st_mtim.tv_nsec;
}

void checkRecoveryAtStart(bool recoverNow)
{
    struct stat info;
    if (stat(RECOVERY_FILE_NAME, &info) != 0) {
        if (recoverNow) {
            fprintf(stderr, "stageworks: --recover: there is no recovery copy (%s)\n", RECOVERY_FILE_NAME);
            showNotice(std::string("--recover: no hay copia de recuperacion (") + RECOVERY_FILE_NAME + ")", OFFER_NOTICE_MS);
        }
        return;
    }
    if (!recoverNow && !copyIsNewer(RECOVERY_FILE_NAME, SCENE_FILE_NAME)) return;
    const std::string time = fileTimeText(RECOVERY_FILE_NAME);
    auto scene = std::make_unique<SceneData>();
    std::string reason;
    if (!readOtherSceneFile(RECOVERY_FILE_NAME, scene.get(), &reason)) {
        showNotice("La copia de recuperacion " + std::string(RECOVERY_FILE_NAME) + " de las " + time +
                       " no se puede cargar (" + reason + "): se conserva sin cargar",
                   OFFER_NOTICE_MS);
        return;
    }
    if (recoverNow) {
        takeCopy(*scene, time);
        return;
    }
    offered = std::move(scene);
    offeredTime = time;
    pauseRecovery(true);
    printf("%s\n", offerText().c_str());
    fflush(stdout);
    requestRedraw();
}

int recoveryOfferOpen() { return offered != nullptr ? 1 : 0; }

void answerRecoveryOffer(int load)
{
    if (offered == nullptr) return;
    std::unique_ptr<SceneData> scene = std::move(offered);
    pauseRecovery(false);
    if (load) {
        takeCopy(*scene, offeredTime);
        return;
    }
    showNotice("Se conserva escena.xml; la copia de recuperacion queda hasta el proximo guardado", OFFER_NOTICE_MS);
}

int recoveryOfferKey(unsigned char key)
{
    if (offered == nullptr) return 0;
    if (key == 'r' || key == 'R') answerRecoveryOffer(1);
    else if (key == 'n' || key == 'N' || key == KEY_ESCAPE) answerRecoveryOffer(0);
    else return 0;
    requestRedraw();
    return 1;
}

void drawRecoveryOffer()
{
    if (offered == nullptr) return;
    const std::vector<std::string> lines = noticeLines(offerText());
    const float top = OFFER_Y + OFFER_LINE_STEP * (float)lines.size();
    drawTextBacking(OFFER_X - 1.0f, top - 0.5f, -OFFER_X + 1.0f, OFFER_Y - 2.2f);
    glColor3f(1.0f, 0.85f, 0.3f);
    for (size_t i = 0; i < lines.size(); i++) {
        const float y = OFFER_Y + OFFER_LINE_STEP * (float)(lines.size() - 1 - i);
        drawText(lines[i].c_str(), OFFER_X, y, OFFER_Z, 1000.0f);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}
