/**********************************************************************************************
*
*   edit_snapshots - scene objects and the flag table as byte strings, and putting them back
*
**********************************************************************************************/
#include "edit_snapshots.h"

#include "events.h"
#include "flags.h"
#include "objects.h"
#include "records.h"

#include <cstdint>
#include <cstdlib>   // Required for: calloc(), malloc(), free()
#include <cstring>   // Required for: memcpy()
#include <new>       // Required for: std::nothrow
#include <vector>

//----------------------------------------------------------------------------------
// Types and constants
//----------------------------------------------------------------------------------

// Reads a snapshot from the front; any read past the end fails it for good
struct SnapshotReader {
    const std::string &bytes;
    size_t at = 0;
    bool ok = true;
};

// No snapshot holds more of anything than this (a damaged count stops the reading)
static const int MAX_COUNT = 1 << 24;

//----------------------------------------------------------------------------------
// Private helpers: writing
//----------------------------------------------------------------------------------

// A 32-bit integer in the machine's byte order
static void putInt(std::string &out, int value) { out.append((const char *)&value, sizeof value); }

// A float as its bits, so that equal snapshots mean equal values bit for bit
static void putFloat(std::string &out, float value) { out.append((const char *)&value, sizeof value); }

static void putText(std::string &out, const char *text)
{
    std::string value = text != nullptr ? text : "";
    putInt(out, (int)value.size());
    out += value;
}

// A list of owned names
static void putNames(std::string &out, const pair_node *names)
{
    putInt(out, list_length(names));
    for (const pair_node *node = names; node != nullptr; node = node->next) putText(out, (const char *)node->value);
}

// A ring of edges with their vertices
static void putRing(std::string &out, const arista *ring)
{
    int count = 0;
    for (const arista *edge = ring; edge != nullptr; edge = edge->next) count++;
    putInt(out, count);
    for (const arista *edge = ring; edge != nullptr; edge = edge->next) {
        const vertice *v = edge->vertex;
        putInt(out, v != nullptr ? 1 : 0);
        if (v == nullptr) continue;
        for (float value : {v->x, v->y, v->z, v->nx, v->ny, v->nz}) putFloat(out, value);
    }
}

static void putFaces(std::string &out, const cara *faces)
{
    int count = 0;
    for (const cara *face = faces; face != nullptr; face = face->next) count++;
    putInt(out, count);
    for (const cara *face = faces; face != nullptr; face = face->next) {
        putInt(out, face->numVertices);
        putInt(out, face->group);
        for (float value : face->normal) putFloat(out, value);
        putRing(out, face->ring);
        int holes = 0;
        for (const agujero *hole = face->holes; hole != nullptr; hole = hole->next) holes++;
        putInt(out, holes);
        for (const agujero *hole = face->holes; hole != nullptr; hole = hole->next) {
            putInt(out, hole->numAristas);
            putRing(out, hole->ring);
        }
        putNames(out, face->materials);
    }
}

// A condition or consequence value of its kind (a presence mark first)
static void putValue(std::string &out, int kind, const void *value, bool condition)
{
    putInt(out, value != nullptr ? 1 : 0);
    if (value == nullptr) return;
    if (condition && (kind == cDistanceMY || kind == cDistanceMN)) {
        putInt(out, ((const DistanceValue *)value)->distance);
    } else if ((condition && kind == cFlag) || (!condition && kind == cFlagEqual)) {
        const FlagValue *flag = (const FlagValue *)value;
        putText(out, flag->name.c_str());
        putInt(out, flag->value);
    } else if (!condition && kind == cMoveObj) {
        const MoveValue *move = (const MoveValue *)value;
        for (int v : {move->x, move->y, move->z}) putInt(out, v);
    } else if (!condition && (kind == cRotateObj || kind == cRotateMat)) {
        const RotateValue *rotate = (const RotateValue *)value;
        for (int v : {rotate->yaw, rotate->pitch, rotate->roll}) putInt(out, v);
    } else if (!condition && kind == cChangeMat) {
        putText(out, ((const ChangeMatValue *)value)->material.c_str());
    } else if (!condition && kind == cLoop) {
        putInt(out, ((const LoopValue *)value)->count);
    }
}

// The events (nothing but a mark for an empty or missing set)
static void putEvents(std::string &out, const EventSet *set)
{
    bool present = !eventSetIsEmpty(set);
    putInt(out, present ? 1 : 0);
    if (!present) return;
    for (const Event &event : set->events) {
        putInt(out, event.conditionCount);
        for (const Condition &condition : event.conditions) {
            putInt(out, condition.kind);
            putValue(out, condition.kind, condition.value, true);
        }
        putInt(out, event.consequenceCount);
        int links = 0;
        for (const Consequence *link = event.firstConsequence; link != nullptr; link = link->next) links++;
        putInt(out, links);
        for (const Consequence *link = event.firstConsequence; link != nullptr; link = link->next) {
            putInt(out, link->kind);
            putValue(out, link->kind, link->value, false);
        }
    }
}

//----------------------------------------------------------------------------------
// Private helpers: reading
//----------------------------------------------------------------------------------
// A value of a plain type as its bytes; zero, failing the reader, past the end
template <typename T>
static T getBits(SnapshotReader &r)
{
    T value = {};
    if (!r.ok || r.bytes.size() - r.at < sizeof value) {
        r.ok = false;
        return T{};
    }
    memcpy(&value, r.bytes.data() + r.at, sizeof value);
    r.at += sizeof value;
    return value;
}

static int getInt(SnapshotReader &r) { return getBits<int>(r); }

static float getFloat(SnapshotReader &r) { return getBits<float>(r); }

// A count, failing the reader for a negative or absurd one
static int getCount(SnapshotReader &r)
{
    int count = getInt(r);
    if (count < 0 || count > MAX_COUNT) r.ok = false;
    return r.ok ? count : 0;
}

static std::string getText(SnapshotReader &r)
{
    int length = getCount(r);
    if (!r.ok || r.bytes.size() - r.at < (size_t)length) {
        r.ok = false;
        return "";
    }
    std::string text = r.bytes.substr(r.at, (size_t)length);
    r.at += (size_t)length;
    return text;
}

// A malloc'd copy of a name appended to a list; false without memory
static bool appendName(pair_node **names, const std::string &name)
{
    char *copy = (char *)malloc(name.size() + 1);
    if (copy == nullptr) return false;
    memcpy(copy, name.c_str(), name.size() + 1);
    if (list_append(names, copy) != nullptr) return true;
    free(copy);
    return false;
}

static void getNames(SnapshotReader &r, pair_node **names)
{
    int count = getCount(r);
    for (int i = 0; i < count && r.ok; i++)
        if (!appendName(names, getText(r))) r.ok = false;
}

// A ring read into *ring (the records made so far stay linked, for the caller to free)
static void getRing(SnapshotReader &r, arista **ring)
{
    int count = getCount(r);
    arista **place = ring;
    for (int i = 0; i < count && r.ok; i++) {
        arista *edge = (arista *)calloc(1, sizeof(arista));
        if (edge == nullptr) {
            r.ok = false;
            return;
        }
        *place = edge;
        place = &edge->next;
        if (getInt(r) == 0) continue;
        edge->vertex = (vertice *)calloc(1, sizeof(vertice));
        if (edge->vertex == nullptr) {
            r.ok = false;
            return;
        }
        for (float *value : {&edge->vertex->x, &edge->vertex->y, &edge->vertex->z, &edge->vertex->nx,
                             &edge->vertex->ny, &edge->vertex->nz})
            *value = getFloat(r);
    }
}

static void getFaces(SnapshotReader &r, cara **faces)
{
    int count = getCount(r);
    cara **place = faces;
    for (int i = 0; i < count && r.ok; i++) {
        cara *face = (cara *)calloc(1, sizeof(cara));
        if (face == nullptr) {
            r.ok = false;
            return;
        }
        *place = face;
        place = &face->next;
        face->numVertices = getInt(r);
        face->group = getInt(r);
        for (float &value : face->normal) value = getFloat(r);
        getRing(r, &face->ring);
        int holes = getCount(r);
        agujero **holePlace = &face->holes;
        for (int h = 0; h < holes && r.ok; h++) {
            agujero *hole = (agujero *)calloc(1, sizeof(agujero));
            if (hole == nullptr) {
                r.ok = false;
                return;
            }
            *holePlace = hole;
            holePlace = &hole->next;
            hole->numAristas = getInt(r);
            getRing(r, &hole->ring);
        }
        getNames(r, &face->materials);
    }
}

// A value record of the kind; null when the snapshot had none (or without memory)
static void *getValue(SnapshotReader &r, int kind, bool condition)
{
    if (getInt(r) == 0) return nullptr;
    if (condition) {
        switch (kind) {
        case cActivate: return newActivateValue();
        case cDistanceMY: case cDistanceMN: return newDistanceValue(getInt(r));
        case cFlag: {
            std::string name = getText(r);
            return newFlagValue(name, getInt(r));
        }
        default: r.ok = false; return nullptr;
        }
    }
    switch (kind) {
    case cMoveObj: case cRotateObj: case cRotateMat: {
        int a = getInt(r), b = getInt(r), c = getInt(r);
        return kind == cMoveObj ? (void *)newMoveValue(a, b, c) : (void *)newRotateValue(a, b, c);
    }
    case cChangeMat: return newChangeMatValue(getText(r));
    case cFlagEqual: {
        std::string name = getText(r);
        return newFlagValue(name, getInt(r));
    }
    case cLoop: return newLoopValue(getInt(r));
    case cAgain: return newAgainValue();
    default: r.ok = false; return nullptr;
    }
}

// The events of a snapshot; null for none (and when r fails, with what was made freed)
static EventSet *getEvents(SnapshotReader &r)
{
    if (getInt(r) == 0) return nullptr;
    EventSet *set = newEventSet();
    if (set == nullptr) {
        r.ok = false;
        return nullptr;
    }
    for (Event &event : set->events) {
        event.conditionCount = getInt(r);
        for (Condition &condition : event.conditions) {
            int kind = getInt(r);
            condition.value = getValue(r, kind, true);
            condition.kind = kind;
        }
        event.consequenceCount = getInt(r);
        int links = getCount(r);
        Consequence **place = &event.firstConsequence;
        for (int i = 0; i < links && r.ok; i++) {
            Consequence *link = new (std::nothrow) Consequence();
            if (link == nullptr) {
                r.ok = false;
                break;
            }
            *place = link;
            place = &link->next;
            link->kind = getInt(r);
            link->value = getValue(r, link->kind, false);
        }
        if (!r.ok) break;
    }
    if (r.ok) return set;
    freeEventSet(set);
    return nullptr;
}

// A record and its events from a snapshot; false (nothing left allocated) when it is damaged
static bool decodeObject(const std::string &snapshot, primitiva &record, EventSet *&set)
{
    SnapshotReader r{snapshot};
    record = new_primitiva();
    record.nameBase = getInt(r);
    for (float *value : {&record.pose.x, &record.pose.y, &record.pose.z, &record.pose.yaw, &record.pose.pitch,
                         &record.pose.roll})
        *value = getFloat(r);
    record.numCaras = getInt(r);
    record.objeto3D = getInt(r);
    if (getInt(r) != 0) {
        record.caract = (caract_record *)calloc(1, sizeof(caract_record));
        if (record.caract == nullptr) r.ok = false;
        for (int i = 0; i < MAX_PARAMETERS && r.ok; i++) record.caract->values[(size_t)i] = getInt(r);
    }
    record.wireFrame = getInt(r);
    record.promediado = getInt(r);
    record.scaleX = getFloat(r);
    record.scaleY = getFloat(r);
    record.scaleZ = getFloat(r);
    getNames(r, &record.materials);
    getFaces(r, &record.faces);
    set = r.ok ? getEvents(r) : nullptr;
    if (r.ok && r.at == snapshot.size()) {
        record.dirty = 1;
        return true;
    }
    free_primitiva(&record);
    freeEventSet(set);
    set = nullptr;
    return false;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
std::string encodeObject(int index)
{
    const primitiva *o = object_at(index);
    if (o == nullptr) return "";
    std::string out;
    putInt(out, o->nameBase);
    for (float value : {o->pose.x, o->pose.y, o->pose.z, o->pose.yaw, o->pose.pitch, o->pose.roll}) putFloat(out, value);
    putInt(out, o->numCaras);
    putInt(out, o->objeto3D);
    putInt(out, o->caract != nullptr ? 1 : 0);
    if (o->caract != nullptr)
        for (int value : o->caract->values) putInt(out, value);
    putInt(out, o->wireFrame);
    putInt(out, o->promediado);
    for (float value : {o->scaleX, o->scaleY, o->scaleZ}) putFloat(out, value);
    putNames(out, o->materials);
    putFaces(out, o->faces);
    putEvents(out, slot_event_set(index));
    return out;
}

int restoreObject(int index, const std::string &snapshot, int keepEventSet)
{
    scene_slot *slot = object_slot(index);
    primitiva record;
    EventSet *set = nullptr;
    if (slot == nullptr || !decodeObject(snapshot, record, set)) return 0;
    if (set == nullptr && keepEventSet) set = newEventSet();
    free_primitiva(&slot->object);
    slot->object = record;
    set_slot_event_set(index, set);
    register_all_users();
    return 1;
}

int reinsertObject(int index, const std::string &snapshot)
{
    primitiva record;
    EventSet *set = nullptr;
    if (index < 0 || index > object_count() || !decodeObject(snapshot, record, set)) return 0;
    if (insert_object(index, record, set) >= 0) return 1;
    free_primitiva(&record);
    freeEventSet(set);
    return 0;
}

std::string encodeFlags()
{
    std::string out;
    putInt(out, getFlagCount());
    hash_iterator it = {};
    for (const FlagRecord *flag = firstFlag(&it); flag != nullptr; flag = nextFlag(&it)) {
        putText(out, flag->name.c_str());
        putInt(out, flag->value);
    }
    return out;
}

// NOTE: the table puts a new flag in front of the others of its bucket, so adding the
// pairs from the last to the first gives back the order they were listed in
int restoreFlagTable(const std::string &snapshot)
{
    SnapshotReader r{snapshot};
    std::vector<FlagRecord> pairs;
    int count = getCount(r);
    for (int i = 0; i < count && r.ok; i++) {
        FlagRecord pair;
        pair.name = getText(r);
        pair.value = getInt(r);
        pairs.push_back(pair);
    }
    if (!r.ok || r.at != snapshot.size() || !createFlagTable()) return 0;
    for (size_t i = pairs.size(); i-- > 0;) {
        FlagRecord *record = newFlagRecord(pairs[i].name, pairs[i].value);
        if (record != nullptr) addFlag(record);
    }
    return 1;
}
