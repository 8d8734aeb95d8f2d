/**********************************************************************************************
*
*   play - play mode: running the scene's events while the user walks through the scene
*
*   startPlay saves the pose and material of every object with events and the flag values,
*   resets the events' running and satisfied marks, builds flat watch lists of the distance and
*   flag conditions and makes the first evaluation; stopPlay puts the saved state back. While
*   playing, a condition is tested on three occasions: a click on the object (activateObject,
*   momentary), a camera move (evaluateDistanceConditions) and a flag change
*   (evaluateFlagConditions). An event whose conditions all hold starts running; every running
*   event executes one link of its consequence chain per displayed frame (stepRunningEvents).
*
*   Every list has room for 256 entries and refuses more. An object whose state found no room
*   is left out of play altogether (no watches, no activation), so play never changes what it
*   cannot restore.
*
*   DEPENDENCIES: events (records), flags (values, snapshot), objects (and their materials),
*                 records, operations (pose updates), materials (texture
*                 rotation), app_state (playMode, lookMode), camera (position, pointer)
*
**********************************************************************************************/
#pragma once

#include "events.h"

#include <array>
#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int PLAY_LIST_CAPACITY = 256;   // room of RunList, the watches and SavedObjectState
constexpr int PLAY_RELEASE_X = 512;       // where the pointer is left when play mode ends
constexpr int PLAY_RELEASE_Y = 384;

// One open cLoop of a running event; the frames of an event form a stack kept as a list from
// the outermost to the innermost
struct LoopFrame {
    int remaining = 0;              // passes left + 1; 0 means endless
    Consequence *start = nullptr;   // the cLoop link that opened it
    LoopFrame *next = nullptr;      // the next inner frame
};

// An event whose chain is being executed
struct RunningEvent {
    int objectIndex = 0;
    int eventNumber = 0;
    LoopFrame *firstFrame = nullptr;   // owned: released when the loop closes or the run ends
    int loopDepth = 0;
    Consequence *current = nullptr;    // the link executed by the next step
};

// Running events, packed in start order
struct RunList {
    std::array<RunningEvent, PLAY_LIST_CAPACITY> entries{};
    int count = 0;
};

// A cDistanceMY (kind 2) or cDistanceMN (kind 3) condition to re-test when the camera moves
struct DistanceWatchEntry {
    int objectIndex = 0;
    int eventNumber = 0;
    int slot = 0;
    int kind = 0;
    int distance = 0;
};

struct DistanceWatch {
    std::array<DistanceWatchEntry, PLAY_LIST_CAPACITY> entries{};
    int count = 0;
};

// A cFlag condition to re-test when its flag changes
struct FlagWatchEntry {
    int objectIndex = 0;
    int eventNumber = 0;
    int slot = 0;
    std::string name;   // private copy of the flag name
    int value = 0;
};

struct FlagWatch {
    std::array<FlagWatchEntry, PLAY_LIST_CAPACITY> entries{};
    int count = 0;
};

// Pose and material of an object with events as play mode found it
struct SavedObjectEntry {
    int objectIndex = 0;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float yaw = 0.0f, pitch = 0.0f, roll = 0.0f;
    bool hadMaterial = false;   // false for an object without material names (read so from a file)
    std::string material;       // the object's first material name
};

struct SavedObjectState {
    std::array<SavedObjectEntry, PLAY_LIST_CAPACITY> entries{};
    int count = 0;
};

//----------------------------------------------------------------------------------
// Public functions: entering and leaving play mode
//----------------------------------------------------------------------------------

// Saves the scene's state, registers the watches, makes the first evaluation (events whose
// conditions already hold start), then playMode = 1, lookMode = 1 and the pointer captured
void startPlay();

// playMode = 0 (and lookMode = 0); flags, positions, rotations and materials back as saved;
// the running marks cleared and every running event dropped; the pointer released at
// (512, 384) with the arrow cursor
void stopPlay();

//----------------------------------------------------------------------------------
// Public functions: conditions and events
//----------------------------------------------------------------------------------

// True (1) when the event has no condition slot in use or all of them are satisfied
int allConditionsMet(const Event *event);

// Marks the event running and, when it has consequences, appends it to the run list at the
// head of its chain. 1 when started; 0 for a missing object or event, an event already
// running or a full run list (the event then stays idle and a later trigger may start it)
int startEvent(int objectIndex, int eventNumber);

// A click on the object: each idle event with a cActivate condition counts that condition as
// met for this moment only, and starts when all its conditions hold
void activateObject(int objectIndex);

// Re-tests every distance watch of an idle event against the camera position
void evaluateDistanceConditions();

// Re-tests the flag watches of the named flag (every flag watch when name is null); a
// condition on a flag that does not exist is not met
void evaluateFlagConditions(const char *name);

// One link of every running event (once per displayed frame)
void stepRunningEvents();

//----------------------------------------------------------------------------------
// Public functions: the lists
//----------------------------------------------------------------------------------
const RunList &getRunList();
const DistanceWatch &getDistanceWatch();
const FlagWatch &getFlagWatch();
const SavedObjectState &getSavedObjectState();

// Drops every running event, releasing its loop frames (the events' marks are left alone)
void clearRunList();
