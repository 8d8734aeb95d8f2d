/**********************************************************************************************
*
*   leave_guard - the ways out of stageworks, guarded while the scene has unsaved changes
*
*   Escape in edit mode, the exit button of the file menu and the window manager's close
*   button all come here. With nothing unsaved the program ends at once, as it always did.
*   With unsaved changes the first request only shows a notice (F9 saves; the same key or
*   button again within LEAVE_CONFIRM_MS leaves anyway); the same request again in time runs
*   the hook that keeps a recovery copy, then ends the program (status 0). A request of
*   another kind, or one that comes too late, asks again. The visitors' player edits nothing
*   and never asks.
*
*   Loading escena.xml again (F5, the load button) throws the unsaved changes away, so it is
*   guarded the same way: the first request asks, the same one again in time loads.
*
*   Escape first closes what is open over the editor, and then never ends the program: the
*   help overlay or the recovery offer (through a hook), a text prompt of the event editor
*   (nothing is stored, as with Enter on an empty field), or a chooser (back to the page it
*   was opened from).
*
*   DEPENDENCIES: unsaved, edit_history (notice), bindings (the exit sequence), commands (the
*                 load) (app); prompts,
*                 event_editor (events); app_state, redraw (base)
*
**********************************************************************************************/
#pragma once

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// How long a second request counts as "leave anyway"
constexpr long long LEAVE_CONFIRM_MS = 5000;

enum LeaveSource { LEAVE_ESCAPE = 0, LEAVE_EXIT_BUTTON, LEAVE_WINDOW_CLOSE, RELOAD_KEY, RELOAD_BUTTON };

enum LeaveVerdict {
    LEAVE_NOW = 0,   // nothing unsaved: out at once
    LEAVE_ASK,       // unsaved: the notice asks for the same request again
    LEAVE_ANYWAY,    // the same request again in time: out, after the recovery copy
};

// The last request that asked
struct LeaveMemory {
    int source = -1;
    long long askedAtMs = 0;
};

// Work done above the guard; null members do nothing
struct LeaveHooks {
    int (*closeOverlay)();    // Escape: 1 when it closed something (help, recovery offer)
    int (*beforeLeaving)();   // leaving with unsaved changes: keeps the recovery copy; 0 when
                              // it could not (the program stays; the same request again in
                              // time leaves without it)
};

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void setLeaveHooks(const LeaveHooks &hooks);

// What a request from source at nowMs does, given whether the scene is unsaved; a request
// that asks is remembered in *memory
LeaveVerdict decideLeave(bool unsaved, LeaveSource source, long long nowMs, LeaveMemory *memory);

// The notice of a request that asks ("Hay cambios sin guardar. F9 guarda; Escape otra vez
// antes de 5 s sale sin guardar")
const char *leaveQuestion(LeaveSource source);

// A request to end the program from source (ends it, or shows the question)
void requestLeave(LeaveSource source);

// A request to load escena.xml again from source (loads it, or shows the question)
void requestReload(LeaveSource source);

// Escape in edit mode: closes the prompt, chooser or overlay that is open, else requestLeave
void escapeCommand();

// 1 for the editor states that show a chooser; the state an empty click leaves it for in *back
int chooserState(int state, int *back);
