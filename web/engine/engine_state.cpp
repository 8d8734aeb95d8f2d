/**********************************************************************************************
*
*   engine_state - the behaviour state of play mode as one JSON document
*
*   What the trace suite compares between the program and the browser's engine after every
*   frame, and what the page may read: written from the tables themselves, so that it is the
*   same text wherever the same state is.
*
**********************************************************************************************/
#include "engine.h"

#include "app_state.h"
#include "camera.h"
#include "events.h"
#include "flags.h"
#include "materials.h"
#include "objects.h"
#include "play.h"
#include "records.h"

#include <cmath>   // Required for: std::isfinite()
#include <cstdio>  // Required for: snprintf()
#include <string>

//----------------------------------------------------------------------------------
// Private helpers: JSON text
//----------------------------------------------------------------------------------

// A 32-bit float with nine significant digits (reads back to the same value); the values JSON
// has no number for as strings
static void putFloat(std::string &out, float value)
{
    char text[32];
    if (std::isfinite(value)) snprintf(text, sizeof text, "%.9g", (double)value);
    else snprintf(text, sizeof text, "\"%s\"", std::isnan(value) ? "nan" : (value > 0 ? "inf" : "-inf"));
    out += text;
}

static void putInt(std::string &out, long long value) { out += std::to_string(value); }

// A name as a JSON string: quotes, backslashes and control characters escaped, other bytes as
// they are
static void putString(std::string &out, const char *text)
{
    out += '"';
    for (const char *p = text != nullptr ? text : ""; *p != '\0'; p++) {
        unsigned char c = (unsigned char)*p;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20) {
            char escaped[8];
            snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += (char)c;
        }
    }
    out += '"';
}

static void putFloats(std::string &out, const float *values, int count)
{
    out += '[';
    for (int i = 0; i < count; i++) {
        if (i > 0) out += ',';
        putFloat(out, values[i]);
    }
    out += ']';
}

//----------------------------------------------------------------------------------
// Private helpers: the parts of the state
//----------------------------------------------------------------------------------

// Position of a link in its event's chain, -1 for none
static int linkPosition(int objectIndex, int eventNumber, const Consequence *link)
{
    const EventSet *set = slot_event_set(objectIndex);
    if (set == nullptr || link == nullptr || eventNumber < 0 || eventNumber >= EVENTS_PER_SET) return -1;
    int position = 0;
    for (const Consequence *l = set->events[(size_t)eventNumber].firstConsequence; l != nullptr; l = l->next, position++)
        if (l == link) return position;
    return -1;
}

// The running events in list order: object, event, current link and the loop counters
static void putRunning(std::string &out)
{
    const RunList &list = getRunList();
    out += "\"running\":[";
    for (int i = 0; i < list.count; i++) {
        const RunningEvent &entry = list.entries[(size_t)i];
        if (i > 0) out += ',';
        out += "{\"object\":";
        putInt(out, entry.objectIndex);
        out += ",\"event\":";
        putInt(out, entry.eventNumber);
        out += ",\"link\":";
        putInt(out, linkPosition(entry.objectIndex, entry.eventNumber, entry.current));
        out += ",\"depth\":";
        putInt(out, entry.loopDepth);
        out += ",\"loops\":[";
        bool first = true;
        for (const LoopFrame *frame = entry.firstFrame; frame != nullptr; frame = frame->next) {
            if (!first) out += ',';
            first = false;
            out += "{\"remaining\":";
            putInt(out, frame->remaining);
            out += ",\"start\":";
            putInt(out, linkPosition(entry.objectIndex, entry.eventNumber, frame->start));
            out += '}';
        }
        out += "]}";
    }
    out += ']';
}

// The running mark (one bit per event) and the satisfied marks (one bit per slot) of every
// object with events
static void putMarks(std::string &out)
{
    out += "\"marks\":[";
    bool first = true;
    for (int index = 0; index < object_count(); index++) {
        const EventSet *set = slot_event_set(index);
        if (set == nullptr) continue;
        int running = 0;
        std::string satisfied;
        for (int n = 0; n < EVENTS_PER_SET; n++) {
            const Event &event = set->events[(size_t)n];
            if (event.running) running |= 1 << n;
            int bits = 0;
            for (int s = 0; s < CONDITIONS_PER_EVENT; s++)
                if (event.conditions[(size_t)s].satisfied) bits |= 1 << s;
            if (n > 0) satisfied += ',';
            satisfied += std::to_string(bits);
        }
        if (!first) out += ',';
        first = false;
        out += "{\"object\":";
        putInt(out, index);
        out += ",\"running\":";
        putInt(out, running);
        out += ",\"satisfied\":[" + satisfied + "]}";
    }
    out += ']';
}

// The flags in table order
static void putFlags(std::string &out)
{
    out += "\"flags\":[";
    hash_iterator it = {};
    bool first = true;
    for (FlagRecord *flag = firstFlag(&it); flag != nullptr; flag = nextFlag(&it)) {
        if (!first) out += ',';
        first = false;
        out += "{\"name\":";
        putString(out, flag->name.c_str());
        out += ",\"value\":";
        putInt(out, flag->value);
        out += '}';
    }
    out += ']';
}

// Every object's pose and first material, slot order
static void putObjects(std::string &out)
{
    out += "\"objects\":[";
    for (int index = 0; index < object_count(); index++) {
        const primitiva *object = object_at(index);
        if (index > 0) out += ',';
        const object_pose &p = object->pose;
        const float pose[6] = {p.x, p.y, p.z, p.yaw, p.pitch, p.roll};
        out += "{\"pose\":";
        putFloats(out, pose, 6);
        out += ",\"material\":";
        const char *material = first_material_name(object);
        if (material != nullptr) putString(out, material);
        else out += "null";
        out += '}';
    }
    out += ']';
}

// The texture turns of the textured materials, in table order
static void putTextureTurns(std::string &out)
{
    out += "\"textures\":[";
    bool first = true;
    if (material_table() != nullptr) {
        hash_iterator it = {};
        for (void *data = hash_table_first(material_table(), &it, nullptr, nullptr); data != nullptr;
             data = hash_table_next(material_table(), &it, nullptr, nullptr)) {
            const material_record *material = (const material_record *)data;
            if (!material->texture) continue;
            if (!first) out += ',';
            first = false;
            out += "{\"name\":";
            putString(out, material->name.c_str());
            const float turn[3] = {material->texture->rotationX, material->texture->rotationY, material->texture->rotationZ};
            out += ",\"turn\":";
            putFloats(out, turn, 3);
            out += '}';
        }
    }
    out += ']';
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
std::string engineStateJson()
{
    std::string out = "{\"play\":";
    putInt(out, getPlayMode());
    const Camera *c = getCamera();
    const float camera[8] = {c->x, c->y, c->z, c->yaw, c->pitch, c->roll, c->strafeSpeed, c->forwardSpeed};
    out += ",\"camera\":";
    putFloats(out, camera, 8);
    out += ",\"keys\":[";
    out += std::to_string(getMoveLeft()) + ',' + std::to_string(getMoveRight()) + ',' + std::to_string(getMoveForward()) +
           ',' + std::to_string(getMoveBack()) + "],\"fly\":";
    putInt(out, getFlyMode());
    out += ",\"invert\":";
    putInt(out, getInvertMouseY());
    out += ",\"fieldOfView\":";
    putFloat(out, getFieldOfView());
    out += ',';
    putRunning(out);
    out += ',';
    putMarks(out);
    out += ',';
    putFlags(out);
    out += ',';
    putObjects(out);
    out += ',';
    putTextureTurns(out);
    out += '}';
    return out;
}
