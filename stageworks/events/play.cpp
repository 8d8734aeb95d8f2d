/**********************************************************************************************
*
*   play - play mode: running the scene's events while the user walks through the scene
*
**********************************************************************************************/
#include "play.h"

#include "app_state.h"
#include "camera.h"
#include "flags.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "records.h"

#include <climits>
#include <cmath>
#include <new>

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static RunList runList;
static DistanceWatch distanceWatch;
static FlagWatch flagWatch;
static SavedObjectState savedObjects;

// 1 for the objects whose state was saved at play start: only they take part in play
static std::array<unsigned char, MAX_OBJECTS> playableObjects = {};

// The step pass in which each event (object x 16 + event) last executed a link
static std::array<unsigned int, MAX_OBJECTS * EVENTS_PER_SET> lastStepPass = {};
static unsigned int stepPass = 0;

//----------------------------------------------------------------------------------
// Private helpers: records
//----------------------------------------------------------------------------------

// Condition slots in use, kept inside the slot array
static int slotsInUse(const Event *event)
{
    int count = event->conditionCount;
    if (count < 0) return 0;
    return count > CONDITIONS_PER_EVENT ? CONDITIONS_PER_EVENT : count;
}

// The event of an object, or null when the object, its event set or the number is missing
static Event *eventAt(int objectIndex, int eventNumber)
{
    if (eventNumber < 0 || eventNumber >= EVENTS_PER_SET) return nullptr;
    EventSet *set = slot_event_set(objectIndex);
    return set != nullptr ? &set->events[(size_t)eventNumber] : nullptr;
}

// 1 when the object's state was saved at play start
static int isPlayable(int objectIndex)
{
    if (objectIndex < 0 || objectIndex >= MAX_OBJECTS) return 0;
    return playableObjects[(size_t)objectIndex];
}

//----------------------------------------------------------------------------------
// Private helpers: loop frames and the run list
//----------------------------------------------------------------------------------

// Releases every loop frame of a running event
static void releaseLoopFrames(RunningEvent &entry)
{
    LoopFrame *frame = entry.firstFrame;
    while (frame != nullptr) {
        LoopFrame *next = frame->next;
        delete frame;
        frame = next;
    }
    entry.firstFrame = nullptr;
    entry.loopDepth = 0;
}

// Opens a loop at the link: remaining = count + 1, or 0 (endless) for a count of 0
static void pushLoopFrame(RunningEvent &entry, Consequence *link)
{
    const LoopValue *loop = loopValueOf(link);
    int count = loop != nullptr ? loop->count : 0;
    LoopFrame *frame = new (std::nothrow) LoopFrame();
    // NOTE: without memory the loop is not opened: its body runs once and its cAgain moves on
    if (frame == nullptr) return;
    // NOTE: a negative count (possible only in a hand-written file) runs the body once; the
    // largest count is kept from overflowing
    if (count < 0) frame->remaining = 2;
    else if (count == 0) frame->remaining = 0;
    else frame->remaining = count == INT_MAX ? INT_MAX : count + 1;
    frame->start = link;
    LoopFrame **tail = &entry.firstFrame;
    while (*tail != nullptr) tail = &(*tail)->next;
    *tail = frame;
    entry.loopDepth++;
}

// The innermost open loop frame, or null
static LoopFrame *innermostFrame(const RunningEvent &entry)
{
    LoopFrame *frame = entry.firstFrame;
    while (frame != nullptr && frame->next != nullptr) frame = frame->next;
    return frame;
}

// Closes the innermost open loop
static void closeInnermostFrame(RunningEvent &entry)
{
    LoopFrame **tail = &entry.firstFrame;
    if (*tail == nullptr) return;
    while ((*tail)->next != nullptr) tail = &(*tail)->next;
    delete *tail;
    *tail = nullptr;
    entry.loopDepth--;
}

// Removes the entry at a position (its frames released); the later entries move down
static void removeRunningAt(int position)
{
    releaseLoopFrames(runList.entries[(size_t)position]);
    for (int i = position; i < runList.count - 1; i++) runList.entries[(size_t)i] = runList.entries[(size_t)i + 1];
    runList.entries[(size_t)runList.count - 1] = RunningEvent();
    runList.count--;
}

//----------------------------------------------------------------------------------
// Private helpers: play start
//----------------------------------------------------------------------------------

// Clears the running and satisfied marks of every event of a set
static void clearMarks(EventSet *set)
{
    for (Event &event : set->events) {
        event.running = 0;
        for (Condition &condition : event.conditions) condition.satisfied = 0;
    }
}

// Saves the pose and material of an object; 0 when the list is full
static int saveObjectState(int objectIndex)
{
    if (savedObjects.count >= PLAY_LIST_CAPACITY) return 0;
    const primitiva *object = object_at(objectIndex);
    if (object == nullptr) return 0;
    SavedObjectEntry &entry = savedObjects.entries[(size_t)savedObjects.count++];
    entry.objectIndex = objectIndex;
    entry.x = object->pose.x;
    entry.y = object->pose.y;
    entry.z = object->pose.z;
    entry.yaw = object->pose.yaw;
    entry.pitch = object->pose.pitch;
    entry.roll = object->pose.roll;
    const char *material = first_material_name(object);
    entry.hadMaterial = material != nullptr;
    entry.material = material != nullptr ? material : "";
    return 1;
}

// Watches for the distance and flag conditions of one object's events (full lists refuse more)
static void registerWatches(int objectIndex, const EventSet *set)
{
    for (int number = 0; number < EVENTS_PER_SET; number++) {
        for (int slot = 0; slot < CONDITIONS_PER_EVENT; slot++) {
            const Condition *condition = &set->events[(size_t)number].conditions[(size_t)slot];
            const DistanceValue *distance = distanceValueOf(condition);
            if (distance != nullptr && distanceWatch.count < PLAY_LIST_CAPACITY) {
                distanceWatch.entries[(size_t)distanceWatch.count++] =
                    DistanceWatchEntry{objectIndex, number, slot, condition->kind, distance->distance};
            }
            const FlagValue *flag = flagValueOf(condition);
            if (flag != nullptr && flagWatch.count < PLAY_LIST_CAPACITY) {
                flagWatch.entries[(size_t)flagWatch.count++] =
                    FlagWatchEntry{objectIndex, number, slot, flag->name, flag->value};
            }
        }
    }
}

//----------------------------------------------------------------------------------
// Private helpers: executing a link
//----------------------------------------------------------------------------------

// Adds the link's texture rotation to the object's material when it is textured
static void rotateMaterial(const primitiva *object, const RotateValue *rotation)
{
    material_record *material = find_material(first_material_name(object));
    if (!material_is_textured(material)) return;
    material->texture->rotationX += (float)rotation->yaw;
    material->texture->rotationY += (float)rotation->pitch;
    material->texture->rotationZ += (float)rotation->roll;
}

// cAgain: repeats or closes the innermost open loop; with none it simply moves on
static void againLink(RunningEvent &entry, Consequence *link)
{
    LoopFrame *frame = innermostFrame(entry);
    if (frame == nullptr) return;
    if (frame->remaining == 0) {
        entry.current = frame->start;
        return;
    }
    frame->remaining--;
    if (frame->remaining == 1) {
        closeInnermostFrame(entry);
        entry.current = link;
    } else {
        entry.current = frame->start;
    }
}

// Executes the current link of the run-list entry at a position; afterwards the entry's
// current link is the one whose successor comes next
static void executeLink(int position)
{
    RunningEvent &entry = runList.entries[(size_t)position];
    Consequence *link = entry.current;
    primitiva *object = object_at(entry.objectIndex);
    if (link == nullptr || object == nullptr) return;
    switch (link->kind) {
    case cMoveObj:
        if (const MoveValue *move = moveValueOf(link)) {
            add_x(object, (float)(move->x / 100.0));
            add_y(object, (float)(move->y / 100.0));
            add_z(object, (float)(move->z / 100.0));
        }
        break;
    case cRotateObj:
        if (const RotateValue *rotation = rotateValueOf(link)) {
            add_yaw(object, (float)rotation->yaw);
            add_pitch(object, (float)rotation->pitch);
            add_roll(object, (float)rotation->roll);
        }
        break;
    case cChangeMat:
        if (const ChangeMatValue *change = changeMatValueOf(link))
            assign_material(entry.objectIndex, change->material.c_str());
        break;
    case cRotateMat:
        if (const RotateValue *rotation = rotateValueOf(link)) rotateMaterial(object, rotation);
        break;
    case cFlagEqual:
        if (const FlagValue *flag = flagValueOf(link)) {
            std::string name = flag->name;
            setFlag(name, flag->value);
            // NOTE: the events this starts are appended to the run list; the entry (an element
            // of a fixed array) stays where it is
            evaluateFlagConditions(name.c_str());
        }
        break;
    case cLoop:
        pushLoopFrame(entry, link);
        break;
    case cAgain:
        againLink(entry, link);
        break;
    default:
        break;
    }
}

//----------------------------------------------------------------------------------
// Public functions: entering and leaving play mode
//----------------------------------------------------------------------------------
// Saves the scene's state, registers the watches, evaluates them and turns play mode on
void startPlay()
{
    savedObjects.count = 0;
    playableObjects.fill(0);
    int objects = object_count();
    for (int index = 0; index < objects; index++) {
        EventSet *set = slot_event_set(index);
        if (set == nullptr) continue;
        clearMarks(set);
        if (saveObjectState(index)) playableObjects[(size_t)index] = 1;
    }

    distanceWatch.count = 0;
    flagWatch.count = 0;
    clearRunList();
    snapshotFlags();

    for (int index = 0; index < objects; index++) {
        const EventSet *set = slot_event_set(index);
        if (set != nullptr && isPlayable(index)) registerWatches(index, set);
    }

    evaluateDistanceConditions();
    evaluateFlagConditions(nullptr);

    setPlayMode(1);
    setLookMode(1);
    capturePointer(getLastMouseX(), getLastMouseY());
}

// Turns play mode off and puts back what startPlay saved
void stopPlay()
{
    setPlayMode(0);
    setLookMode(0);
    restoreFlags();

    for (int i = 0; i < savedObjects.count; i++) {
        const SavedObjectEntry &saved = savedObjects.entries[(size_t)i];
        primitiva *object = object_at(saved.objectIndex);
        if (object == nullptr) continue;
        object->pose = object_pose{saved.x, saved.y, saved.z, saved.yaw, saved.pitch, saved.roll};
        // NOTE: an object that had no material name gets none back, or a save would write the
        // material an event gave it during play
        if (saved.hadMaterial) assign_material(saved.objectIndex, saved.material.c_str());
        else if (first_material_name(object) != nullptr) clear_object_materials(saved.objectIndex);
    }

    // NOTE: outside play mode no event is running; the run list's links would otherwise point
    // into chains the editor may change
    clearRunList();
    int objects = object_count();
    for (int index = 0; index < objects; index++) {
        EventSet *set = slot_event_set(index);
        if (set != nullptr) clearMarks(set);
    }

    if (getPointerCaptured() == 1) {
        releasePointer(PLAY_RELEASE_X, PLAY_RELEASE_Y);
    } else {
        // NOTE: every play frame sets the crosshair, captured or not
        setCursorShape(CURSOR_LEFT_ARROW);
    }
}

//----------------------------------------------------------------------------------
// Public functions: conditions and events
//----------------------------------------------------------------------------------
// 1 when every condition slot in use is satisfied (also when none is in use)
int allConditionsMet(const Event *event)
{
    if (event == nullptr) return 0;
    int slots = slotsInUse(event);
    for (int slot = 0; slot < slots; slot++) {
        if (event->conditions[(size_t)slot].satisfied == 0) return 0;
    }
    return 1;
}

// Marks the event running and queues its chain
int startEvent(int objectIndex, int eventNumber)
{
    Event *event = eventAt(objectIndex, eventNumber);
    if (event == nullptr || event->running == 1) return 0;
    if (event->firstConsequence != nullptr) {
        if (runList.count >= PLAY_LIST_CAPACITY) return 0;
        RunningEvent &entry = runList.entries[(size_t)runList.count++];
        entry = RunningEvent();
        entry.objectIndex = objectIndex;
        entry.eventNumber = eventNumber;
        entry.current = event->firstConsequence;
    }
    event->running = 1;
    return 1;
}

// A click: the cActivate condition of each idle event holds for this moment only
void activateObject(int objectIndex)
{
    if (!isPlayable(objectIndex)) return;
    for (int number = 0; number < EVENTS_PER_SET; number++) {
        Event *event = eventAt(objectIndex, number);
        if (event == nullptr) return;
        if (event->conditionCount <= 0 || event->running == 1) continue;
        int slots = slotsInUse(event);
        int slot = 0;
        while (slot < slots && event->conditions[(size_t)slot].kind != cActivate) slot++;
        if (slot == slots) continue;
        Condition &activation = event->conditions[(size_t)slot];
        activation.satisfied = 1;
        if (allConditionsMet(event)) startEvent(objectIndex, number);
        activation.satisfied = 0;
    }
}

// Distance watches of idle events against the camera position, in single precision
void evaluateDistanceConditions()
{
    const Camera *camera = getCamera();
    const float cx = camera->x, cy = camera->y, cz = camera->z;
    for (int i = 0; i < distanceWatch.count; i++) {
        const DistanceWatchEntry &watch = distanceWatch.entries[(size_t)i];
        Event *event = eventAt(watch.objectIndex, watch.eventNumber);
        const primitiva *object = object_at(watch.objectIndex);
        if (event == nullptr || object == nullptr || event->running == 1) continue;
        float dx = object->pose.x - cx;
        float dy = object->pose.y - cy;
        float dz = object->pose.z - cz;
        float d = std::sqrt(dx * dx + dy * dy + dz * dz);
        float limit = (float)watch.distance;
        bool met = watch.kind == cDistanceMY ? d > limit : d < limit;
        Condition &condition = event->conditions[(size_t)watch.slot];
        if (met) {
            condition.satisfied = 1;
            if (allConditionsMet(event)) startEvent(watch.objectIndex, watch.eventNumber);
        } else {
            condition.satisfied = 0;
        }
    }
}

// Flag watches of one flag (or all); marks follow the flag even while the event runs
void evaluateFlagConditions(const char *name)
{
    for (int i = 0; i < flagWatch.count; i++) {
        const FlagWatchEntry &watch = flagWatch.entries[(size_t)i];
        if (name != nullptr && watch.name != name) continue;
        Event *event = eventAt(watch.objectIndex, watch.eventNumber);
        if (event == nullptr) continue;
        const FlagRecord *flag = findFlag(watch.name);
        Condition &condition = event->conditions[(size_t)watch.slot];
        if (flag != nullptr && flag->value == watch.value) {
            condition.satisfied = 1;
            if (allConditionsMet(event) && event->running == 0) startEvent(watch.objectIndex, watch.eventNumber);
        } else {
            condition.satisfied = 0;
        }
    }
}

// One link of every running event; ended events leave the list during the pass
void stepRunningEvents()
{
    stepPass++;
    // NOTE: the count is re-read at every entry: events started during the pass join its end
    // and are visited in this same pass
    for (int i = 0; i < runList.count;) {
        RunningEvent &entry = runList.entries[(size_t)i];
        Event *event = eventAt(entry.objectIndex, entry.eventNumber);
        if (event == nullptr || object_at(entry.objectIndex) == nullptr) {
            removeRunningAt(i);
            continue;
        }
        // NOTE: an event that already executed a link in this pass (it ended and was started
        // again by a later flag change) waits for the next frame; two events that restart each
        // other would otherwise never let the pass end
        unsigned int &stamp = lastStepPass[(size_t)(entry.objectIndex * EVENTS_PER_SET + entry.eventNumber)];
        if (stamp == stepPass) {
            i++;
            continue;
        }
        stamp = stepPass;

        executeLink(i);
        if (entry.current != nullptr) entry.current = entry.current->next;
        if (entry.current == nullptr) {
            event->running = 0;
            removeRunningAt(i);
            continue;
        }
        i++;
    }
}

//----------------------------------------------------------------------------------
// Public functions: the lists
//----------------------------------------------------------------------------------
const RunList &getRunList() { return runList; }
const DistanceWatch &getDistanceWatch() { return distanceWatch; }
const FlagWatch &getFlagWatch() { return flagWatch; }
const SavedObjectState &getSavedObjectState() { return savedObjects; }

// Drops every running event with its loop frames
void clearRunList()
{
    for (int i = 0; i < runList.count; i++) {
        releaseLoopFrames(runList.entries[(size_t)i]);
        runList.entries[(size_t)i] = RunningEvent();
    }
    runList.count = 0;
}
