/**********************************************************************************************
*
*   events - the event records of scene objects and the operations that edit them
*
*   An object owns at most one EventSet through the eventSet pointer of its slot: 16 events,
*   each with 8 condition slots (packed: slots 0 to conditionCount - 1 are in use) and a
*   singly linked chain of consequences. Every condition and consequence owns its value
*   record, one record type per kind built by its constructor below; the records' texts are
*   private copies. Also here: the texts with which the editor lists a stored condition or
*   consequence, and the labels of the kind choosers.
*
*   DEPENDENCIES: none (plain records; the event editor keeps its cursor elsewhere)
*
**********************************************************************************************/
#pragma once

#include <array>
#include <string>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------
constexpr int EVENTS_PER_SET = 16;
constexpr int CONDITIONS_PER_EVENT = 8;

enum ConditionKind {
    cEmpty = 0,
    cActivate = 1,
    cDistanceMY = 2,
    cDistanceMN = 3,
    cFlag = 4
};

enum ConsequenceKind {
    cMoveObj = 1,
    cRotateObj = 2,
    cChangeMat = 3,
    cRotateMat = 4,
    cFlagEqual = 5,
    cLoop = 6,
    cAgain = 7
};

// Value records, by kind. The Activate and Again records carry nothing (a zero).
struct ActivateValue { int zero = 0; };                   // cActivate
struct DistanceValue { int distance = 0; };               // cDistanceMY, cDistanceMN
struct FlagValue { std::string name; int value = 0; };    // cFlag, cFlagEqual
struct MoveValue { int x = 0, y = 0, z = 0; };            // cMoveObj (hundredths of a unit)
struct RotateValue { int yaw = 0, pitch = 0, roll = 0; }; // cRotateObj, cRotateMat (degrees)
struct ChangeMatValue { std::string material; };          // cChangeMat
struct LoopValue { int count = 0; };                      // cLoop (0 = endless)
struct AgainValue { int zero = 0; };                      // cAgain

// One condition slot; kind cEmpty with a null value when unused
struct Condition {
    int kind = cEmpty;
    void *value = nullptr;
    int satisfied = 0;
};

// One link of a consequence chain
struct Consequence {
    int kind = 0;
    void *value = nullptr;
    Consequence *next = nullptr;
};

struct Event {
    int running = 0;
    int conditionCount = 0;
    std::array<Condition, CONDITIONS_PER_EVENT> conditions{};
    int consequenceCount = 0;
    Consequence *firstConsequence = nullptr;
};

// The events of one object; an event's index here is its identity
struct EventSet {
    std::array<Event, EVENTS_PER_SET> events{};
};

//----------------------------------------------------------------------------------
// Public functions: value records
//----------------------------------------------------------------------------------

// Constructors (null without memory)
ActivateValue *newActivateValue();
DistanceValue *newDistanceValue(int distance);
FlagValue *newFlagValue(const std::string &name, int value);
MoveValue *newMoveValue(int x, int y, int z);
RotateValue *newRotateValue(int yaw, int pitch, int roll);
ChangeMatValue *newChangeMatValue(const std::string &material);
LoopValue *newLoopValue(int count);
AgainValue *newAgainValue();

// The value record of a condition or consequence of a known kind from its stored numbers and
// name (as a scene file gives them); null for an unknown kind or without memory
void *newConditionValue(int kind, int a, const std::string &name);
void *newConsequenceValue(int kind, int a, int b, int c, const std::string &name);

// Stores a condition or a consequence read from a file at the end of an event: a condition
// of an unknown kind, or one past the event's CONDITIONS_PER_EVENT, is dropped
void addStoredCondition(Event *event, int kind, int a, const std::string &name);
void addStoredConsequence(Event *event, int kind, int a, int b, int c, const std::string &name);

// Release a value record of the given kind (null is fine)
void freeConditionValue(int kind, void *value);
void freeConsequenceValue(int kind, void *value);

// Typed views of a stored value; null when the kind does not match or nothing is stored
const DistanceValue *distanceValueOf(const Condition *condition);
const FlagValue *flagValueOf(const Condition *condition);
const MoveValue *moveValueOf(const Consequence *consequence);
const RotateValue *rotateValueOf(const Consequence *consequence);
const ChangeMatValue *changeMatValueOf(const Consequence *consequence);
const FlagValue *flagValueOf(const Consequence *consequence);
const LoopValue *loopValueOf(const Consequence *consequence);

//----------------------------------------------------------------------------------
// Public functions: event sets
//----------------------------------------------------------------------------------

// A new set of 16 empty events, or null without memory
EventSet *newEventSet();

// Frees the set with every condition value, link and link value (null is fine)
void freeEventSet(EventSet *set);

// 1 when the event has no condition and no consequence
int eventIsEmpty(const Event *event);

// 1 when none of the 16 events has a condition or a consequence (also for null)
int eventSetIsEmpty(const EventSet *set);

// Panel opening: allocates the set when there is none; returns the set (null only without
// memory)
EventSet *openEventSet(EventSet *&set);

// Panel closing: frees the set and nulls the pointer when it holds nothing; 1 when dropped
int closeEventSet(EventSet *&set);

//----------------------------------------------------------------------------------
// Public functions: editing one event
//----------------------------------------------------------------------------------

// Stores a condition in a slot, taking the value record (of that kind). Refused, returning 0
// and freeing the value, when another slot holds the same kind (for cFlag: a cFlag on the
// same flag name), when the slot is outside 0-7 or beyond the first empty slot, or with no
// value. A condition already in the slot is replaced and its value freed. 1 when stored.
// An unknown kind is refused and the value is left to the caller.
int setCondition(Event *event, int slot, int kind, void *value);

// Removes the condition of a slot in use; the later slots move down. 1 when removed.
int removeCondition(Event *event, int slot);

// The link at a chain position, or null
Consequence *consequenceAt(const Event *event, int position);

// Stores a consequence at a chain position, taking the value record (of that kind): an
// existing link is overwritten in place (its old value freed), the position just after the
// last link appends. Refused, returning 0 and freeing the value, for a position beyond that
// or with no value. An unknown kind is refused and the value is left to the caller.
int setConsequence(Event *event, int position, int kind, void *value);

// Unlinks and frees the link at a chain position; 1 when removed, 0 when there is none
int removeConsequence(Event *event, int position);

//----------------------------------------------------------------------------------
// Public functions: texts
//----------------------------------------------------------------------------------

// How the editor lists a condition or a consequence; "- Nothing -" for an empty slot or none
std::string conditionRowText(const Condition *condition);
std::string consequenceRowText(const Consequence *consequence);

// Labels of the condition and consequence choosers, by kind; "" for an unknown kind
const char *conditionChooserLabel(int kind);
const char *consequenceChooserLabel(int kind);
