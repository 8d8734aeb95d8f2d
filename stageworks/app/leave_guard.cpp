/**********************************************************************************************
*
*   leave_guard - the ways out of stageworks, guarded while the scene has unsaved changes
*
**********************************************************************************************/
#include "leave_guard.h"

#include "app_state.h"
#include "bindings.h"
#include "commands.h"
#include "edit_history.h"
#include "event_editor.h"
#include "prompts.h"
#include "redraw.h"
#include "unsaved.h"

#include <chrono>  // Required for: steady_clock

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
static const int APPEARANCE_STATE = 5;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static LeaveHooks hooks = {nullptr, nullptr};
static LeaveMemory memory;
static bool leaveWithoutCopy = false;   // the copy failed: the next request in time leaves all the same

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Milliseconds of a steady clock
static long long nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void setLeaveHooks(const LeaveHooks &replacement) { hooks = replacement; }

LeaveVerdict decideLeave(bool unsaved, LeaveSource source, long long now, LeaveMemory *remembered)
{
    if (!unsaved) return LEAVE_NOW;
    if (remembered->source == (int)source && now - remembered->askedAtMs <= LEAVE_CONFIRM_MS) {
        remembered->source = -1;
        return LEAVE_ANYWAY;
    }
    remembered->source = (int)source;
    remembered->askedAtMs = now;
    return LEAVE_ASK;
}

const char *leaveQuestion(LeaveSource source)
{
    switch (source) {
    case LEAVE_EXIT_BUTTON:
        return "Hay cambios sin guardar. F9 guarda; Salir otra vez antes de 5 s sale sin guardar (queda una copia de "
               "recuperacion)";
    case LEAVE_WINDOW_CLOSE:
        return "Hay cambios sin guardar. F9 guarda; cerrar la ventana otra vez antes de 5 s sale sin guardar (queda "
               "una copia de recuperacion)";
    case RELOAD_KEY:
        return "Hay cambios sin guardar. F9 guarda; F5 otra vez antes de 5 s carga escena.xml y descarta los cambios";
    case RELOAD_BUTTON:
        return "Hay cambios sin guardar. F9 guarda; Cargar otra vez antes de 5 s carga escena.xml y descarta los "
               "cambios";
    default:
        return "Hay cambios sin guardar. F9 guarda; Escape otra vez antes de 5 s sale sin guardar (queda una copia de "
               "recuperacion)";
    }
}

void requestLeave(LeaveSource source)
{
    const bool unsaved = playerBindingsActive() == 0 && sceneUnsaved() != 0;
    switch (decideLeave(unsaved, source, nowMs(), &memory)) {
    case LEAVE_ASK:
        leaveWithoutCopy = false;
        showNotice(leaveQuestion(source), (int)LEAVE_CONFIRM_MS);
        return;
    case LEAVE_ANYWAY:
        if (!leaveWithoutCopy && hooks.beforeLeaving != nullptr && !hooks.beforeLeaving()) {
            // NOTE: asked again at once: the same request in time now leaves without the copy
            leaveWithoutCopy = true;
            memory.source = (int)source;
            memory.askedAtMs = nowMs();
            return;
        }
        break;
    default: break;
    }
    bindingOps().exitProgram();
}

void requestReload(LeaveSource source)
{
    const bool unsaved = playerBindingsActive() == 0 && sceneUnsaved() != 0;
    if (decideLeave(unsaved, source, nowMs(), &memory) == LEAVE_ASK) {
        showNotice(leaveQuestion(source), (int)LEAVE_CONFIRM_MS);
        return;
    }
    loadSceneCommand();
}

int chooserState(int state, int *back)
{
    switch (state) {
    case 6: *back = APPEARANCE_STATE; return 1;                  // the material chooser of the appearance menu
    case 8: case 10: case 11: case 19: case 20: case 22:         // the choosers of the event editor
        *back = EVENT_PANEL_STATE;
        return 1;
    default: return 0;
    }
}

void escapeCommand()
{
    if (hooks.closeOverlay != nullptr && hooks.closeOverlay()) return;
    if (getTextEntryOpen() != 0) {
        cancelTextEntry();
        requestRedraw();
        return;
    }
    int back = 0;
    if (chooserState(getEditorState(), &back)) {
        setPickName(0);
        setEditorState(back);
        requestRedraw();
        return;
    }
    requestLeave(LEAVE_ESCAPE);
}
