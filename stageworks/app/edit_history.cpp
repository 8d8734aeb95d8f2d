/**********************************************************************************************
*
*   edit_history - undo and redo of the editor's changes to the scene
*
**********************************************************************************************/
#include "edit_history.h"

#include "app_state.h"
#include "edit_snapshots.h"
#include "event_cursor.h"
#include "event_editor.h"
#include "font.h"
#include "menus.h"
#include "objects.h"
#include "redraw.h"

#include <GL/gl.h>

#include <chrono>   // Required for: steady_clock (how long the feedback line has been shown)
#include <cstdio>   // Required for: printf(), fflush()
#include <deque>
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
enum ChangeKind { ObjectChanged = 0, ObjectAdded = 1, ObjectRemoved = 2, FlagsChanged = 3 };

// One thing a step changed: an object slot (before and after), an object added (after) or
// removed (before) at a slot, or the flag table
struct Change {
    int kind = ObjectChanged;
    int index = -1;
    std::string before;
    std::string after;
};

struct Step {
    std::string label;             // "mover objeto P12"
    std::vector<Change> changes;   // undone from the last to the first
    int counterBefore = 0;         // the creation counter around the step
    int counterAfter = 0;
    int nudgeNameBase = -1;        // an arrow-key step: its object and operation
    int nudgeOperation = -1;
    size_t bytes = 0;
    long long serial = 0;          // its position (historyPosition)
};

// What an edit may change, taken before it
struct Watch {
    bool open = false;
    int index = -1;
    int nameBase = 0;
    int count = 0;
    int counter = 0;
    int editorState = 0;
    std::string object;
    std::string flags;
};

static const int APPEARANCE_STATE = 5;
static const int MATERIAL_CHOOSER_STATE = 6;
static const int PRIMITIVE_MENU_STATE = 1;

// Where the feedback line is drawn (eye coordinates, below the statistics)
static const float NOTICE_X = -36.0f;
static const float NOTICE_Y = -24.0f;
static const float NOTICE_Z = -70.0f;
static const float NOTICE_LINE_STEP = 2.0f;   // a longer line is cut, its first part drawn higher
static const size_t NOTICE_LINE_CHARS = 78;    // what fits across the screen

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::deque<Step> done;
static std::deque<Step> undone;
static size_t keptBytes = 0;
static bool nudgeOpen = false;     // the last step may still take arrow-key steps
static Watch editWatch;
static Watch dragWatch;
static int dragOperation = -1;
static std::string notice;
static std::chrono::steady_clock::time_point noticeTime;
static int noticeMs = HISTORY_NOTICE_MS;   // how long the current line stays
static long long lastSerial = 0;   // the last position handed out
static long long basePosition = 0; // the position with no step done
static void (*changedHook)() = nullptr;

//----------------------------------------------------------------------------------
// Private helpers: watching
//----------------------------------------------------------------------------------

// Slot index of a record in the table, or -1
static int indexOfObject(const primitiva *object)
{
    if (object == nullptr) return -1;
    for (int i = 0; i < object_count(); i++)
        if (object_at(i) == object) return i;
    return -1;
}

static void startWatch(Watch &w, int index)
{
    const primitiva *object = object_at(index);
    w.open = true;
    w.index = object != nullptr ? index : -1;
    w.nameBase = object != nullptr ? object->nameBase : 0;
    w.count = object_count();
    w.counter = creation_counter();
    w.editorState = getEditorState();
    w.object = encodeObject(w.index);
    w.flags = encodeFlags();
}

// The changes since the watch started, into step; false when nothing changed (or when the
// scene was renumbered, which no snapshot could undo: the history is then forgotten)
static bool collectChanges(Watch &w, Step &step)
{
    if (!w.open) return false;
    w.open = false;
    const int count = object_count();
    if (count == w.count + 1) {
        if (creation_counter() <= w.counter) {
            clearEditHistory();
            return false;
        }
        step.changes.push_back(Change{ObjectAdded, count - 1, "", encodeObject(count - 1)});
    } else if (count == w.count - 1 && w.index >= 0) {
        step.changes.push_back(Change{ObjectRemoved, w.index, w.object, ""});
    } else if (count == w.count && w.index >= 0 && object_at(w.index)->nameBase == w.nameBase) {
        std::string after = encodeObject(w.index);
        if (after != w.object) step.changes.push_back(Change{ObjectChanged, w.index, w.object, after});
    }
    std::string flags = encodeFlags();
    if (flags != w.flags) step.changes.push_back(Change{FlagsChanged, -1, w.flags, flags});
    step.counterBefore = w.counter;
    step.counterAfter = creation_counter();
    return !step.changes.empty();
}

// "verb P12" for a step on an object, "cambiar flags" for one on the flags alone
static std::string stepLabel(const char *verb, const Step &step)
{
    for (const Change &change : step.changes)
        if (change.kind != FlagsChanged) return std::string(verb) + " P" + std::to_string(change.index);
    return "cambiar flags";
}

static size_t stepBytes(const Step &step)
{
    size_t bytes = sizeof(Step) + step.label.size();
    for (const Change &change : step.changes) bytes += sizeof(Change) + change.before.size() + change.after.size();
    return bytes;
}

// A fresh position, never handed out before
static long long newPosition() { return ++lastSerial; }

// Tells the hook that the position may have moved
static void positionMoved()
{
    if (changedHook != nullptr) changedHook();
}

// Drops the oldest steps past the bounds; undoing every kept step then leads to the state
// after the last dropped one
static void trimHistory()
{
    while ((int)done.size() > HISTORY_MAX_STEPS ||
           (keptBytes > HISTORY_MAX_BYTES && (int)done.size() > HISTORY_MIN_STEPS)) {
        keptBytes -= done.front().bytes;
        basePosition = done.front().serial;
        done.pop_front();
    }
}

// A new step: the undone ones are dropped
static void pushStep(Step &step, const char *verb)
{
    step.label = stepLabel(verb, step);
    step.bytes = stepBytes(step);
    step.serial = newPosition();
    for (const Step &old : undone) keptBytes -= old.bytes;
    undone.clear();
    keptBytes += step.bytes;
    done.push_back(std::move(step));
    nudgeOpen = false;
    trimHistory();
    positionMoved();
}

//----------------------------------------------------------------------------------
// Private helpers: undo and redo
//----------------------------------------------------------------------------------

static bool structural(const Step &step)
{
    for (const Change &change : step.changes)
        if (change.kind == ObjectAdded || change.kind == ObjectRemoved) return true;
    return false;
}

// Slots are about to move: the screens that hold an object's slot close, the selection goes
static void closeObjectScreens()
{
    const int state = getEditorState();
    if (state >= EVENT_PANEL_STATE) closeEventEditorSet();
    if (state == APPEARANCE_STATE || state >= EVENT_PANEL_STATE) setEditorState(0);
    setSelectedObject(nullptr);
}

// An object whose events the open event editor shows keeps an event set
static int editorShows(int index) { return getEditorState() >= EVENT_PANEL_STATE && getEditedObject() == index; }

// Puts one side of a step into the scene: the "before" snapshots (from the last change to
// the first) or the "after" ones
static void putSide(const Step &step, bool before)
{
    const int locked = getLockedObject();
    if (structural(step)) closeObjectScreens();
    const int n = (int)step.changes.size();
    for (int k = 0; k < n; k++) {
        const Change &c = step.changes[(size_t)(before ? n - 1 - k : k)];
        const std::string &snapshot = before ? c.before : c.after;
        switch (c.kind) {
        case ObjectChanged: restoreObject(c.index, snapshot, editorShows(c.index)); break;
        case ObjectAdded:
            if (before) delete_object(c.index);
            else reinsertObject(c.index, snapshot);
            break;
        case ObjectRemoved:
            if (before) reinsertObject(c.index, snapshot);
            else delete_object(c.index);
            break;
        case FlagsChanged: restoreFlagTable(snapshot); break;
        default: break;
        }
    }
    set_creation_counter(before ? step.counterBefore : step.counterAfter);
    // NOTE: removing a slot unlocks the table; a locked object that is still there stays locked
    if (locked >= 0 && find_object_by_name_base((locked + 1) * NAME_BASE_STEP) >= 0) setLockedObject(locked);
    if (getEditorState() == APPEARANCE_STATE) setAppearanceMarks(getSelectedObject());
}

// The feedback line on standard output and on screen
static void tell(const std::string &text) { showNotice(text, HISTORY_NOTICE_MS); }

// Takes the last step of from back (undo) or makes it again (redo), moving it to the other
// list; says so on the feedback line
static int replayStep(std::deque<Step> &from, std::deque<Step> &to, bool undo)
{
    nudgeOpen = false;
    dragWatch.open = false;
    if (from.empty()) {
        tell(undo ? "Nada que deshacer" : "Nada que rehacer");
        return 0;
    }
    Step step = std::move(from.back());
    from.pop_back();
    putSide(step, undo);
    tell((undo ? "Deshacer: " : "Rehacer: ") + step.label);
    to.push_back(std::move(step));
    positionMoved();
    return 1;
}

//----------------------------------------------------------------------------------
// Public functions: recording
//----------------------------------------------------------------------------------
void beginEdit(int index) { startWatch(editWatch, index); }

void beginObjectEdit(const primitiva *object) { startWatch(editWatch, indexOfObject(object)); }

void endEdit(const char *verb)
{
    Step step;
    if (collectChanges(editWatch, step)) pushStep(step, verb);
}

void endNudge(int operation)
{
    const int nameBase = editWatch.nameBase;
    Step step;
    if (!collectChanges(editWatch, step)) return;
    const bool oneObject = step.changes.size() == 1 && step.changes[0].kind == ObjectChanged;
    if (oneObject && nudgeOpen && !done.empty() && done.back().nudgeNameBase == nameBase &&
        done.back().nudgeOperation == operation) {
        Step &last = done.back();
        keptBytes -= last.bytes;
        last.changes[0].after = std::move(step.changes[0].after);
        last.bytes = stepBytes(last);
        last.serial = newPosition();
        keptBytes += last.bytes;
        // NOTE: steps that cancel out (left, then right) leave nothing to undo
        if (last.changes[0].after == last.changes[0].before) {
            keptBytes -= last.bytes;
            done.pop_back();
            nudgeOpen = false;
        }
        positionMoved();
        return;
    }
    pushStep(step, operationVerb(operation));
    if (oneObject) {
        done.back().nudgeNameBase = nameBase;
        done.back().nudgeOperation = operation;
        nudgeOpen = true;
    }
}

void beginScreenEdit()
{
    const int state = getEditorState();
    int index = -1;
    if (state == APPEARANCE_STATE || state == MATERIAL_CHOOSER_STATE) index = indexOfObject(getSelectedObject());
    if (state >= EVENT_PANEL_STATE) index = getEditedObject();
    startWatch(editWatch, index);
}

void endScreenEdit()
{
    const int state = editWatch.editorState;
    const char *verb = state == PRIMITIVE_MENU_STATE      ? "crear objeto"
                       : state == APPEARANCE_STATE        ? "cambiar apariencia"
                       : state == MATERIAL_CHOOSER_STATE  ? "cambiar material"
                       : state >= EVENT_PANEL_STATE       ? "editar eventos"
                                                          : "editar objeto";
    endEdit(verb);
}

void beginDragEdit(int index, int operation)
{
    dragWatch.open = false;
    if (index < 0 || operationVerb(operation)[0] == '\0') return;
    startWatch(dragWatch, index);
    dragOperation = operation;
}

void endDragEdit()
{
    Step step;
    if (collectChanges(dragWatch, step)) pushStep(step, operationVerb(dragOperation));
}

const char *operationVerb(int operation)
{
    switch (operation) {
    case Move: return "mover objeto";
    case Rotate: return "rotar objeto";
    case ScaleUniform: return "escalar objeto";
    case ScaleAxis: return "escalar objeto por eje";
    default: return "";
    }
}

//----------------------------------------------------------------------------------
// Public functions: undo and redo
//----------------------------------------------------------------------------------
int undoEdit() { return replayStep(done, undone, true); }

int redoEdit() { return replayStep(undone, done, false); }

int historyAvailable()
{
    const int state = getEditorState();
    if (getPlayMode() != 0 || getTextEntryOpen() != 0 || getObjectHeld() != 0) return 0;
    return state != MATERIAL_CHOOSER_STATE && state <= EVENT_PANEL_STATE ? 1 : 0;
}

int historyKey(int key, int shift)
{
    if (key != KEY_CTRL_Z && key != KEY_CTRL_Y) return 0;
    if (!historyAvailable()) return 1;
    if (key == KEY_CTRL_Z && !shift) undoEdit();
    else redoEdit();
    return 1;
}

void clearEditHistory()
{
    done.clear();
    undone.clear();
    keptBytes = 0;
    nudgeOpen = false;
    editWatch.open = false;
    dragWatch.open = false;
    basePosition = newPosition();
    positionMoved();
}

long long historyPosition() { return done.empty() ? basePosition : done.back().serial; }

void setHistoryChangedHook(void (*hook)()) { changedHook = hook; }

int undoStepCount() { return (int)done.size(); }
int redoStepCount() { return (int)undone.size(); }
size_t historyBytes() { return keptBytes; }

const std::string &historyNotice() { return notice; }

void showNotice(const std::string &text, int milliseconds)
{
    notice = text;
    noticeTime = std::chrono::steady_clock::now();
    noticeMs = milliseconds;
    requestRedraw();
    printf("%s\n", text.c_str());
    fflush(stdout);
}

void drawHistoryNotice()
{
    if (notice.empty()) return;
    auto shown = std::chrono::steady_clock::now() - noticeTime;
    long long shownMs = std::chrono::duration_cast<std::chrono::milliseconds>(shown).count();
    if (shownMs > noticeMs) return;
    // the frame that takes the line away
    requestRedraw((int)(noticeMs - shownMs) + 1);
    const std::vector<std::string> lines = noticeLines(notice);
    glColor3f(1.0f, 1.0f, 0.4f);
    for (size_t i = 0; i < lines.size(); i++) {
        const float y = NOTICE_Y + NOTICE_LINE_STEP * (float)(lines.size() - 1 - i);
        drawText(lines[i].c_str(), NOTICE_X, y, NOTICE_Z, 1000.0f);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
}

std::vector<std::string> noticeLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (text.size() - start > NOTICE_LINE_CHARS) {
        size_t cut = text.rfind(' ', start + NOTICE_LINE_CHARS);
        if (cut == std::string::npos || cut <= start) cut = start + NOTICE_LINE_CHARS;
        lines.push_back(text.substr(start, cut - start));
        start = cut < text.size() && text[cut] == ' ' ? cut + 1 : cut;
    }
    lines.push_back(text.substr(start));
    return lines;
}
