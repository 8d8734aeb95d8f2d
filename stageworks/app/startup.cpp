/**********************************************************************************************
*
*   startup - entry, start-up order and the one-time OpenGL set-up of stageworks
*
*   Each start-up step prints its message on standard output before it runs. Without GLUT
*   game mode the program says so and ends with status 1 before any later step. With
*   --window the same program runs in an ordinary 1024x768 window instead of game mode.
*
**********************************************************************************************/
#include "startup.h"

#include "app_state.h"
#include "bindings.h"
#include "choosers.h"
#include "command_line.h"
#include "commands.h"
#include "drags.h"
#include "event_editor.h"
#include "events.h"
#include "flags.h"
#include "camera.h"
#include "command_line.h"
#include "font.h"
#include "frame_pacing.h"
#include "edit_history.h"
#include "help_overlay.h"
#include "leave_guard.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "menus.h"
#include "objects.h"
#include "picking.h"
#include "play.h"
#include "prompts.h"
#include "recovery.h"
#include "recovery_offer.h"
#include "redraw.h"
#include "render.h"
#include "screen_view.h"
#include "sky.h"
#include "test_probe.h"
#include "textures.h"
#include "timers.h"
#include "unsaved.h"
#include "window_close.h"

#include <GL/freeglut.h>
#include <libxml/xmlversion.h>
#include <cstdio>
#include <cstdlib>
#include <string>    // Required for: std::string
#include <unistd.h>  // Required for: getcwd()

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const char *GAME_MODE = "1024x768:32@75";
static const int LEAVING_NOTICE_MS = 5000;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Puts the camera at its start pose and loads the view
static void placeStartCamera()
{
    setCamera(CAMERA_START);
    updateCamera();
}

// --window: an ordinary window of the screen's size, titled with the scene file and directory
static void openSceneWindow()
{
    char directory[4096];
    const std::string title = sceneWindowTitle(false, getcwd(directory, sizeof directory) != nullptr ? directory : ".");
    glutInitWindowSize(SCREEN_WIDTH, SCREEN_HEIGHT);
    glutCreateWindow(title.c_str());
}

// Every key first: F1 shows or hides the help, Escape hides it; the recovery offer takes its
// answer keys while it waits
static int keyFirst(int key, int special)
{
    if (special && key == GLUT_KEY_F1) {
        toggleHelp();
        return 1;
    }
    if (special) return 0;
    if (key == KEY_ESCAPE && hideHelp()) return 1;
    return recoveryOfferKey((unsigned char)key);
}

// Escape closes the help or answers the recovery offer before anything else
static int closeOverlay() { return hideHelp() || recoveryOfferKey(KEY_ESCAPE) ? 1 : 0; }

// Leaving anyway with unsaved changes: the recovery copy first
static int keepCopyBeforeLeaving()
{
    std::string reason;
    if (writeRecoveryNow(&reason)) {
        showNotice(std::string("Saliendo con cambios sin guardar: quedan en la copia de recuperacion ") +
                       RECOVERY_FILE_NAME,
                   LEAVING_NOTICE_MS);
        return 1;
    }
    fprintf(stderr, "Error: recovery copy \"%s\" not written: %s\n", RECOVERY_FILE_NAME, reason.c_str());
    showNotice("No se pudo guardar la copia de recuperacion (" + reason +
                   "). F9 guarda; lo mismo otra vez antes de 5 s sale sin copia",
               LEAVING_NOTICE_MS);
    return 0;
}

// The exit button of the file menu
// The file menu's exit and load buttons, guarded while there are unsaved changes
static void exitButton() { requestLeave(LEAVE_EXIT_BUTTON); }
static void loadButton() { requestReload(RELOAD_BUTTON); }

// The window is destroyed whatever is done: the recovery copy while there is time
static void windowGone()
{
    if (sceneUnsaved()) writeRecoveryNow();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void printBanner()
{
    printf("\n stageworks - editor de escenas 3D interactivas\n"
           " Construya, ilumine y anime escenas con solidos parametricos.\n");
    printf("\n Escena: escena.xml  (DTD: DESCscene.dtd)\n"
           " Texturas y botones: Data/   Fuente: arial.glf\n\n");
}

void registerPickHooks()
{
    setPickHooks({activateObjectCommand, openAppearanceMenu, openEventEditor, endObjectPress});
}

void setUpOpenGL()
{
    clear_objects();
    loadTextureFont();
    clearMovementFlags();

    configureStartLights();

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearColor(0.4f, 0.6f, 1.0f, 1.0f);

    glShadeModel(GL_SMOOTH);
    glCullFace(GL_BACK);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glFrontFace(GL_CW);

    setUpFog();

    createSunQuadric();
    blank_texture();

    glEnable(GL_BLEND);
    glEnable(GL_FOG);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    placeStartCamera();
    setPlayMode(0);
}

int stageworksMain(int argc, char **argv)
{
    xmlCheckVersion(20614);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    const bool windowed = getCommandLine().window;
    if (windowed) {
        openSceneWindow();
    } else {
        glutGameModeString(GAME_MODE);
        glutEnterGameMode();
    }

    Camera origin = {};
    setCamera(origin);
    getCamera()->y = CAMERA_WALK_HEIGHT;
    updateCamera();
    build_sample_objects();

    if (!windowed && glutGameModeGet(GLUT_GAME_MODE_POSSIBLE) == 0) {
        printf("El modo Game no esta disponible.\n");
        printf("Pruebe 'stageworks --window' para trabajar en una ventana.\n");
        exit(1);
    }
    if (!windowed) glutEnterGameMode();

    printf(" Creating hashes...\n");
    create_material_table();
    create_texture_table();
    createFlagTable();
    set_event_set_release(freeEventSet);

    printf(" Adding materials...\n");
    add_default_material();
    rebuild_usage_table();
    freeAllTimers();

    printf(" Creating menus...\n");
    setFrameMinMs(16);
    setMenuHooks({startPlayCommand, loadButton, saveSceneCommand, openMaterialChooserCommand, closeEventEditor,
                  exitButton});
    setLeaveHooks({closeOverlay, keepCopyBeforeLeaving});
    setBindingOps({nullptr, nullptr, keyFirst});
    registerPickHooks();
    buildMenus();

    printf(" Input initialization...\n");
    buildEventPanel();
    buildEventEditor();
    buildPromptBox();
    registerInputBindings();
    setCameraMovedHook(evaluateDistanceConditions);

    printf(" Light initialization...\n");
    createLightSet();
    setUpOpenGL();
    buildMaterialChooser(DEFAULT_MATERIAL_NAME);
    buildConditionChooser();
    buildConsequenceChooser();

    printf(" Call backs...\n");
    glutReshapeFunc(reshape);
    glutSetKeyRepeat(GLUT_KEY_REPEAT_OFF);
    glutIgnoreKeyRepeat(0);
    glutDisplayFunc(display);
    glutKeyboardFunc(keyboard);
    glutSpecialFunc(special);
    glutSpecialUpFunc(specialUp);
    glutMouseFunc(mouse);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(motion);
    watchWindowClose(windowGone);

    printf(" Loading textures...\n");
    loadSkyTextures();

    printf(" XML loading...\n");
    // NOTE: frames are drawn on demand: there is no idle callback, and whatever changes the
    // picture asks for a frame (requestRedraw), through GLUT from here on
    setRedrawHooks({glutPostRedisplay, glutTimerFunc, nullptr});
    watchUnsavedState();
    loadSceneCommand();
    if (!getCommandLine().play) {
        checkRecoveryAtStart(getCommandLine().recover);
        installRecoverySignals();
    }
    watchSceneFile();
    if (getCommandLine().play) startPlayerCommand();
    startTestProbe();

    printf(" MainLoop started...\n");
    glutMainLoop();
    return 0;
}
