/**********************************************************************************************
*
*   edit_history - undo and redo of the editor's changes to the scene
*
*   Every change to the scene is one step: the code that makes it watches it (begin before,
*   end after) and the history keeps a snapshot of what the change touched, before and after:
*   the object slot (record and events), an object added or removed at its slot, the flag
*   table, and the creation counter. Undo puts the "before" snapshots back, redo the "after"
*   ones, so the scene file written after an undo has the bytes it had before the step.
*
*   A drag is one step from the press that picked the object to the release; consecutive
*   arrow-key steps of the same object with the same operation merge into one step. A new step
*   drops the steps that were undone; loading a scene forgets everything.
*
*   Bounds: at most HISTORY_MAX_STEPS steps, and once the snapshots of the kept steps (undo
*   and redo) pass HISTORY_MAX_BYTES the oldest steps are dropped, but the latest
*   HISTORY_MIN_STEPS steps are always kept.
*
*   Each step carries a serial number; historyPosition() names the state the undo list has
*   reached (the last step done, or what stood before the oldest one kept), so that a state
*   once saved is recognised again after undoing back to it. A hook hears of every move.
*
*   Every undo or redo names its step on standard output and, for a moment, at the bottom of
*   the screen ("Deshacer: mover objeto P12", "Nada que deshacer"); other commands show their
*   own lines at the same place (showNotice).
*
*   DEPENDENCIES: edit_snapshots (app); objects (scene); event_editor, event_cursor (events);
*                 menus (appearance marks); app_state, font, redraw (base); OpenGL
*
**********************************************************************************************/
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct primitiva;

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int HISTORY_MIN_STEPS = 200;
constexpr int HISTORY_MAX_STEPS = 1000;
constexpr size_t HISTORY_MAX_BYTES = (size_t)64 * 1024 * 1024;
constexpr int HISTORY_NOTICE_MS = 2500;     // how long the feedback line stays on screen

// The keys as the keyboard callback receives them (Ctrl+Z, Ctrl+Y; Ctrl+Shift+Z is 26 too)
constexpr int KEY_CTRL_Y = 25;
constexpr int KEY_CTRL_Z = 26;

//----------------------------------------------------------------------------------
// Public functions: recording
//----------------------------------------------------------------------------------

// Starts watching an edit of the object in slot index (-1: an edit that only adds objects or
// changes flags), or of the slot holding that record (null: none)
void beginEdit(int index);
void beginObjectEdit(const primitiva *object);

// Records what changed since beginEdit as one step named by verb ("crear objeto"); nothing
// when nothing changed
void endEdit(const char *verb);

// The same for an arrow-key step of an operation: merges into the previous step when that
// was an arrow-key step of the same object and operation
void endNudge(int operation);

// Around a click or a typed key on the open menu, chooser or prompt: watches the object the
// open screen works on (the selected object, or the one in the event editor) and the flags
void beginScreenEdit();
void endScreenEdit();

// A press on an object with a drag operation starts a drag step (index -1, or an operation
// that does not drag, forgets any drag step left open); the release records it
void beginDragEdit(int index, int operation);
void endDragEdit();

// The verb of an operation's steps ("mover objeto"), "" for other operations
const char *operationVerb(int operation);

//----------------------------------------------------------------------------------
// Public functions: undo and redo
//----------------------------------------------------------------------------------

// Undo or redo one step, with the feedback line; 1 when a step was undone or redone
int undoEdit();
int redoEdit();

// 1 when undo and redo may run now: not in play mode, no prompt or chooser open, no object held
int historyAvailable();

// A key from the keyboard callback: Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo (when
// available). 1 when key was one of them (it goes no further), 0 for any other key
int historyKey(int key, int shift);

// Forgets every step (a scene was loaded); the position becomes a new one
void clearEditHistory();

// The state the history has reached: the serial of the last step done (or of the base under
// the oldest kept step); equal positions mean equal scenes as far as the history knows
long long historyPosition();

// Called after every change of historyPosition() (a step, an undo or redo, a merge, a clear);
// null: nobody
void setHistoryChangedHook(void (*hook)());

// Steps that can be undone and redone, and the bytes their snapshots take
int undoStepCount();
int redoStepCount();
size_t historyBytes();

// The last feedback line ("" before the first undo, redo or other notice)
const std::string &historyNotice();

// Any other feedback line (a save that asks or was refused, ...): shown at the same place for
// milliseconds, and printed on standard output
void showNotice(const std::string &text, int milliseconds);

// Draws the feedback line while it is fresh (the caller has begun text); a line too long for
// the screen is cut at spaces into lines drawn one above the other, the last where a short one
// stands
void drawHistoryNotice();

// The lines a feedback line is drawn in: cut at spaces into pieces of at most 78 characters
std::vector<std::string> noticeLines(const std::string &text);
