/**********************************************************************************************
*
*   events - the event records of scene objects and the operations that edit them
*
**********************************************************************************************/
#include "events.h"

#include <cstdarg>
#include <cstdio>
#include <new>

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
namespace {

const char *const NOTHING_TEXT = "- Nothing -";

// printf-style formatting into an owned text of whatever length it needs
__attribute__((format(printf, 1, 2))) std::string formatText(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int length = vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text;
    if (length > 0) {
        text.resize((size_t)length + 1);
        vsnprintf(&text[0], text.size(), format, args);
        text.resize((size_t)length);
    }
    va_end(args);
    return text;
}

int isConditionKind(int kind) { return kind >= cActivate && kind <= cFlag; }
int isConsequenceKind(int kind) { return kind >= cMoveObj && kind <= cAgain; }

// Allocates a zero-initialised record, null without memory
template <typename T> T *allocateRecord() { return new (std::nothrow) T(); }

// 1 when another slot than target holds a condition that forbids this one
int conflictsWithOtherSlot(const Event *event, int target, int kind, const void *value)
{
    for (int slot = 0; slot < CONDITIONS_PER_EVENT; slot++) {
        if (slot == target) continue;
        const Condition &other = event->conditions[slot];
        if (other.kind != kind) continue;
        if (kind != cFlag) return 1;
        const FlagValue *otherFlag = (const FlagValue *)other.value;
        const FlagValue *newFlag = (const FlagValue *)value;
        if (otherFlag != nullptr && otherFlag->name == newFlag->name) return 1;
    }
    return 0;
}

// Frees one link with its value
void freeLink(Consequence *link)
{
    freeConsequenceValue(link->kind, link->value);
    delete link;
}

}  // namespace

//----------------------------------------------------------------------------------
// Public functions: value records
//----------------------------------------------------------------------------------

// cActivate: carries nothing
ActivateValue *newActivateValue() { return allocateRecord<ActivateValue>(); }

// cDistanceMY and cDistanceMN: the distance
DistanceValue *newDistanceValue(int distance)
{
    DistanceValue *record = allocateRecord<DistanceValue>();
    if (record != nullptr) record->distance = distance;
    return record;
}

// cFlag and cFlagEqual: a copy of the flag name and the value
FlagValue *newFlagValue(const std::string &name, int value)
{
    FlagValue *record = allocateRecord<FlagValue>();
    if (record == nullptr) return nullptr;
    record->name = name.c_str();
    record->value = value;
    return record;
}

// cMoveObj: hundredths of a unit along x, y, z
MoveValue *newMoveValue(int x, int y, int z)
{
    MoveValue *record = allocateRecord<MoveValue>();
    if (record == nullptr) return nullptr;
    record->x = x;
    record->y = y;
    record->z = z;
    return record;
}

// cRotateObj and cRotateMat: whole degrees
RotateValue *newRotateValue(int yaw, int pitch, int roll)
{
    RotateValue *record = allocateRecord<RotateValue>();
    if (record == nullptr) return nullptr;
    record->yaw = yaw;
    record->pitch = pitch;
    record->roll = roll;
    return record;
}

// cChangeMat: a copy of the material name
// NOTE: a private copy rather than the material table's own text, so the link stays valid
// when the material table is reloaded or the material deleted
ChangeMatValue *newChangeMatValue(const std::string &material)
{
    ChangeMatValue *record = allocateRecord<ChangeMatValue>();
    if (record != nullptr) record->material = material.c_str();
    return record;
}

// cLoop: number of passes, 0 for endless
LoopValue *newLoopValue(int count)
{
    LoopValue *record = allocateRecord<LoopValue>();
    if (record != nullptr) record->count = count;
    return record;
}

// cAgain: carries nothing
AgainValue *newAgainValue() { return allocateRecord<AgainValue>(); }

void *newConditionValue(int kind, int a, const std::string &name)
{
    switch (kind) {
    case cActivate: return newActivateValue();
    case cDistanceMY:
    case cDistanceMN: return newDistanceValue(a);
    case cFlag: return newFlagValue(name, a);
    default: return nullptr;
    }
}

void addStoredCondition(Event *event, int kind, int a, const std::string &name)
{
    void *value = newConditionValue(kind, a, name);
    if (value == nullptr || event->conditionCount >= CONDITIONS_PER_EVENT) {
        freeConditionValue(kind, value);
        return;
    }
    event->conditions[(size_t)event->conditionCount] = Condition{kind, value, 0};
    event->conditionCount++;
}

void addStoredConsequence(Event *event, int kind, int a, int b, int c, const std::string &name)
{
    void *value = newConsequenceValue(kind, a, b, c, name);
    if (value != nullptr) setConsequence(event, event->consequenceCount, kind, value);
}

void *newConsequenceValue(int kind, int a, int b, int c, const std::string &name)
{
    switch (kind) {
    case cMoveObj: return newMoveValue(a, b, c);
    case cRotateObj:
    case cRotateMat: return newRotateValue(a, b, c);
    case cChangeMat: return newChangeMatValue(name);
    case cFlagEqual: return newFlagValue(name, a);
    case cLoop: return newLoopValue(a);
    case cAgain: return newAgainValue();
    default: return nullptr;
    }
}

// Releases a condition value by kind
void freeConditionValue(int kind, void *value)
{
    switch (kind) {
    case cActivate: delete (ActivateValue *)value; break;
    case cDistanceMY:
    case cDistanceMN: delete (DistanceValue *)value; break;
    case cFlag: delete (FlagValue *)value; break;
    default: break;
    }
}

// Releases a consequence value by kind
void freeConsequenceValue(int kind, void *value)
{
    switch (kind) {
    case cMoveObj: delete (MoveValue *)value; break;
    case cRotateObj:
    case cRotateMat: delete (RotateValue *)value; break;
    case cChangeMat: delete (ChangeMatValue *)value; break;
    case cFlagEqual: delete (FlagValue *)value; break;
    case cLoop: delete (LoopValue *)value; break;
    case cAgain: delete (AgainValue *)value; break;
    default: break;
    }
}

const DistanceValue *distanceValueOf(const Condition *condition)
{
    if (condition == nullptr || (condition->kind != cDistanceMY && condition->kind != cDistanceMN)) return nullptr;
    return (const DistanceValue *)condition->value;
}

const FlagValue *flagValueOf(const Condition *condition)
{
    if (condition == nullptr || condition->kind != cFlag) return nullptr;
    return (const FlagValue *)condition->value;
}

const MoveValue *moveValueOf(const Consequence *consequence)
{
    if (consequence == nullptr || consequence->kind != cMoveObj) return nullptr;
    return (const MoveValue *)consequence->value;
}

const RotateValue *rotateValueOf(const Consequence *consequence)
{
    if (consequence == nullptr || (consequence->kind != cRotateObj && consequence->kind != cRotateMat)) return nullptr;
    return (const RotateValue *)consequence->value;
}

const ChangeMatValue *changeMatValueOf(const Consequence *consequence)
{
    if (consequence == nullptr || consequence->kind != cChangeMat) return nullptr;
    return (const ChangeMatValue *)consequence->value;
}

const FlagValue *flagValueOf(const Consequence *consequence)
{
    if (consequence == nullptr || consequence->kind != cFlagEqual) return nullptr;
    return (const FlagValue *)consequence->value;
}

const LoopValue *loopValueOf(const Consequence *consequence)
{
    if (consequence == nullptr || consequence->kind != cLoop) return nullptr;
    return (const LoopValue *)consequence->value;
}

//----------------------------------------------------------------------------------
// Public functions: event sets
//----------------------------------------------------------------------------------

// 16 empty events with 8 empty condition slots each
EventSet *newEventSet() { return new (std::nothrow) EventSet(); }

// Frees the set and everything it owns
void freeEventSet(EventSet *set)
{
    if (set == nullptr) return;
    for (Event &event : set->events) {
        for (Condition &condition : event.conditions) freeConditionValue(condition.kind, condition.value);
        Consequence *link = event.firstConsequence;
        while (link != nullptr) {
            Consequence *next = link->next;
            freeLink(link);
            link = next;
        }
    }
    delete set;
}

// 1 when the event holds nothing
int eventIsEmpty(const Event *event)
{
    if (event->conditionCount > 0 || event->firstConsequence != nullptr) return 0;
    for (const Condition &condition : event->conditions) {
        if (condition.kind != cEmpty) return 0;
    }
    return 1;
}

// 1 when no event of the set holds anything
int eventSetIsEmpty(const EventSet *set)
{
    if (set == nullptr) return 1;
    for (const Event &event : set->events) {
        if (!eventIsEmpty(&event)) return 0;
    }
    return 1;
}

// Makes sure the object has a set
EventSet *openEventSet(EventSet *&set)
{
    if (set == nullptr) set = newEventSet();
    return set;
}

// Drops the set when it holds nothing
int closeEventSet(EventSet *&set)
{
    if (set == nullptr || !eventSetIsEmpty(set)) return 0;
    freeEventSet(set);
    set = nullptr;
    return 1;
}

//----------------------------------------------------------------------------------
// Public functions: editing one event
//----------------------------------------------------------------------------------

// Stores a condition in a slot
int setCondition(Event *event, int slot, int kind, void *value)
{
    if (!isConditionKind(kind)) return 0;
    // NOTE: a slot past the first empty one would leave a gap that conditionCount cannot describe
    if (event == nullptr || value == nullptr || slot < 0 || slot >= CONDITIONS_PER_EVENT ||
        slot > event->conditionCount || conflictsWithOtherSlot(event, slot, kind, value)) {
        freeConditionValue(kind, value);
        return 0;
    }
    Condition &target = event->conditions[slot];
    if (target.kind != cEmpty) freeConditionValue(target.kind, target.value);
    else event->conditionCount++;
    target.kind = kind;
    target.value = value;
    target.satisfied = 0;
    return 1;
}

// Removes a condition and moves the later slots down
int removeCondition(Event *event, int slot)
{
    if (event == nullptr || slot < 0 || slot >= CONDITIONS_PER_EVENT) return 0;
    if (event->conditions[slot].kind == cEmpty) return 0;
    freeConditionValue(event->conditions[slot].kind, event->conditions[slot].value);
    for (int i = slot; i < CONDITIONS_PER_EVENT - 1; i++) event->conditions[i] = event->conditions[i + 1];
    event->conditions[CONDITIONS_PER_EVENT - 1] = Condition();
    event->conditionCount--;
    return 1;
}

// The link at a chain position
Consequence *consequenceAt(const Event *event, int position)
{
    if (event == nullptr || position < 0) return nullptr;
    Consequence *link = event->firstConsequence;
    for (int i = 0; i < position && link != nullptr; i++) link = link->next;
    return link;
}

// Stores a consequence at a chain position
int setConsequence(Event *event, int position, int kind, void *value)
{
    if (!isConsequenceKind(kind)) return 0;
    if (event == nullptr || value == nullptr || position < 0) {
        freeConsequenceValue(kind, value);
        return 0;
    }
    // Walk to the link pointer at the position: an existing link, or the tail's empty next
    Consequence **place = &event->firstConsequence;
    int walked = 0;
    while (walked < position && *place != nullptr) {
        place = &(*place)->next;
        walked++;
    }
    if (walked < position) {
        freeConsequenceValue(kind, value);
        return 0;
    }
    if (*place != nullptr) {
        freeConsequenceValue((*place)->kind, (*place)->value);
        (*place)->kind = kind;
        (*place)->value = value;
        return 1;
    }
    Consequence *link = new (std::nothrow) Consequence();
    if (link == nullptr) {
        freeConsequenceValue(kind, value);
        return 0;
    }
    link->kind = kind;
    link->value = value;
    *place = link;
    event->consequenceCount++;
    return 1;
}

// Unlinks and frees the link at a chain position
int removeConsequence(Event *event, int position)
{
    if (event == nullptr || position < 0) return 0;
    Consequence **place = &event->firstConsequence;
    for (int i = 0; i < position && *place != nullptr; i++) place = &(*place)->next;
    Consequence *link = *place;
    if (link == nullptr) return 0;
    *place = link->next;
    freeLink(link);
    event->consequenceCount--;
    return 1;
}

//----------------------------------------------------------------------------------
// Public functions: texts
//----------------------------------------------------------------------------------

// Row text of a condition
std::string conditionRowText(const Condition *condition)
{
    if (condition == nullptr) return NOTHING_TEXT;
    switch (condition->kind) {
    case cActivate: return "IS ACTIVATED ??";
    case cDistanceMY:
    case cDistanceMN: {
        const DistanceValue *value = distanceValueOf(condition);
        int distance = value ? value->distance : 0;
        return condition->kind == cDistanceMY ? formatText("DISTANCE is MAYOR To %d", distance)
                                              : formatText("DISTANCE is MINOR To %d", distance);
    }
    case cFlag: {
        const FlagValue *value = flagValueOf(condition);
        return value ? formatText("FLAG %s = %d", value->name.c_str(), value->value) : formatText("FLAG %s = %d", "", 0);
    }
    default: return NOTHING_TEXT;
    }
}

// Row text of a consequence
std::string consequenceRowText(const Consequence *consequence)
{
    if (consequence == nullptr) return NOTHING_TEXT;
    switch (consequence->kind) {
    case cMoveObj: {
        MoveValue zero;
        const MoveValue *value = moveValueOf(consequence);
        if (value == nullptr) value = &zero;
        return formatText("MOVE OBJECT In (%d, %d, %d)", value->x, value->y, value->z);
    }
    case cRotateObj:
    case cRotateMat: {
        RotateValue zero;
        const RotateValue *value = rotateValueOf(consequence);
        if (value == nullptr) value = &zero;
        return consequence->kind == cRotateObj
                   ? formatText("ROTATE OBJECT In (%d, %d, %d)", value->yaw, value->pitch, value->roll)
                   : formatText("ROTATE MATERIAL In (%d, %d, %d)", value->yaw, value->pitch, value->roll);
    }
    case cChangeMat: {
        const ChangeMatValue *value = changeMatValueOf(consequence);
        return formatText("CHANGE MATERIAL To %s", value ? value->material.c_str() : "");
    }
    case cFlagEqual: {
        const FlagValue *value = flagValueOf(consequence);
        return value ? formatText("FLAG %s = %d", value->name.c_str(), value->value) : formatText("FLAG %s = %d", "", 0);
    }
    case cLoop: {
        const LoopValue *value = loopValueOf(consequence);
        int count = value ? value->count : 0;
        return count == 0 ? std::string("LOOP Infinite") : formatText("LOOP %d times", count);
    }
    case cAgain: return "AGAIN";
    default: return NOTHING_TEXT;
    }
}

// Label of a condition kind in its chooser
const char *conditionChooserLabel(int kind)
{
    switch (kind) {
    case cActivate: return "ACTIVATED ??";
    case cDistanceMY: return "DISTANCE > ??";
    case cDistanceMN: return "DISTANCE < ??";
    case cFlag: return "FLAG = ??";
    default: return "";
    }
}

// Label of a consequence kind in its chooser
const char *consequenceChooserLabel(int kind)
{
    switch (kind) {
    case cMoveObj: return "MOVE OBJECT";
    case cRotateObj: return "ROTATE OBJECT";
    case cChangeMat: return "CHANGE OBJECT MATERIAL";
    case cRotateMat: return "ROTATE OBJECT MATERIAL";
    case cFlagEqual: return "FLAG ? = ?";
    case cLoop: return "LOOP";
    case cAgain: return "AGAIN";
    default: return "";
    }
}
