/**********************************************************************************************
*
*   export_extras - what glTF has no place for, kept as "extras" so nothing is dropped
*
**********************************************************************************************/
#include "export_extras.h"

#include "events.h"
#include "flags.h"
#include "materials.h"
#include "objects.h"
#include "parameters.h"
#include "records.h"
#include "textures.h"

#include <cmath>    // Required for: std::round()
#include <string>

using tinygltf::Value;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// A 32-bit value as the decimal it was typed as (0.9f is 0.8999999761... as a double)
static Value number(float v) { return Value(std::round((double)v * 1e6) / 1e6); }
static Value integer(int v) { return Value(v); }

// A text (a literal handed to Value as it is would be taken for a bool)
static Value text(const char *v) { return Value(std::string(v)); }

// An R, G, B, A colour as an object, as the scene file writes it
static Value colour(const std::array<float, 4> &c)
{
    Value::Object o;
    o["R"] = number(c[0]);
    o["G"] = number(c[1]);
    o["B"] = number(c[2]);
    o["A"] = number(c[3]);
    return Value(o);
}

// One condition slot in use
static Value conditionValue(const Condition &condition)
{
    Value::Object o;
    switch (condition.kind) {
    case cActivate: o["kind"] = text("cActivate"); break;
    case cDistanceMY:
    case cDistanceMN: {
        o["kind"] = text(condition.kind == cDistanceMY ? "cDistanceMY" : "cDistanceMN");
        const DistanceValue *d = distanceValueOf(&condition);
        o["distance"] = integer(d ? d->distance : 0);
        break;
    }
    case cFlag: {
        o["kind"] = text("cFlag");
        const FlagValue *f = flagValueOf(&condition);
        o["flag"] = Value(f ? f->name : std::string());
        o["value"] = integer(f ? f->value : 0);
        break;
    }
    default: o["kind"] = integer(condition.kind); break;
    }
    return Value(o);
}

// One link of a consequence chain
static Value consequenceValue(const Consequence &link)
{
    Value::Object o;
    switch (link.kind) {
    case cMoveObj: {
        o["kind"] = text("cMoveObj");
        const MoveValue *m = moveValueOf(&link);
        o["x"] = integer(m ? m->x : 0);
        o["y"] = integer(m ? m->y : 0);
        o["z"] = integer(m ? m->z : 0);
        break;
    }
    case cRotateObj:
    case cRotateMat: {
        o["kind"] = text(link.kind == cRotateObj ? "cRotateObj" : "cRotateMat");
        const RotateValue *r = rotateValueOf(&link);
        o["yaw"] = integer(r ? r->yaw : 0);
        o["pitch"] = integer(r ? r->pitch : 0);
        o["roll"] = integer(r ? r->roll : 0);
        break;
    }
    case cChangeMat: {
        o["kind"] = text("cChangeMat");
        const ChangeMatValue *c = changeMatValueOf(&link);
        o["material"] = Value(c ? c->material : std::string());
        break;
    }
    case cFlagEqual: {
        o["kind"] = text("cFlagEqual");
        const FlagValue *f = flagValueOf(&link);
        o["flag"] = Value(f ? f->name : std::string());
        o["value"] = integer(f ? f->value : 0);
        break;
    }
    case cLoop: {
        o["kind"] = text("cLoop");
        const LoopValue *l = loopValueOf(&link);
        o["count"] = integer(l ? l->count : 0);
        break;
    }
    case cAgain: o["kind"] = text("cAgain"); break;
    default: o["kind"] = integer(link.kind); break;
    }
    return Value(o);
}

// The non-empty events of a set, each with its number (the evento codigo)
static Value eventsValue(const EventSet *set)
{
    Value::Array events;
    if (set == nullptr) return Value(events);
    for (int n = 0; n < EVENTS_PER_SET; n++) {
        const Event &event = set->events[n];
        if (eventIsEmpty(&event)) continue;
        Value::Array conditions, consequences;
        for (int c = 0; c < event.conditionCount && c < CONDITIONS_PER_EVENT; c++)
            conditions.push_back(conditionValue(event.conditions[c]));
        for (const Consequence *link = event.firstConsequence; link != nullptr; link = link->next)
            consequences.push_back(consequenceValue(*link));
        Value::Object o;
        o["evento"] = integer(n);
        o["conditions"] = Value(conditions);
        o["consequences"] = Value(consequences);
        events.push_back(Value(o));
    }
    return Value(events);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
Value objectExtras(const primitiva *object, const EventSet *events)
{
    Value::Object o;
    o["objeto3D"] = integer(object->objeto3D);
    Value::Object caract;
    const int count = parameter_count(object->objeto3D);
    for (int i = 0; i < count; i++) {
        const char *field = parameter_field_name(object->objeto3D, i);
        if (field != nullptr) caract[field] = integer(get_parameter(object, i));
    }
    const char *element = parameter_element_name(object->objeto3D);
    o[element != nullptr ? element : "caract"] = Value(caract);
    o["promediado"] = integer(object->promediado);
    o["wireFrame"] = integer(object->wireFrame);
    o["scaleX"] = number(object->scaleX);
    o["scaleY"] = number(object->scaleY);
    o["scaleZ"] = number(object->scaleZ);
    Value::Array materials;
    for (const pair_node *node = object->materials; node != nullptr; node = node->next)
        if (node->value != nullptr) materials.push_back(Value(std::string((const char *)node->value)));
    o["IDPRIMMaterial"] = Value(materials);
    // NOTE: tinygltf writes an empty array as null, so an object without events has no entry
    Value eventos = eventsValue(events);
    if (eventos.ArrayLen() > 0) o["eventos"] = eventos;
    return Value(o);
}

Value materialExtras(const material_record *material)
{
    static const material_record defaults;
    const material_record &m = material != nullptr ? *material : defaults;
    Value::Object o;
    o["pLuzDif"] = colour(m.pLuzDif);
    o["pLuzEsp"] = colour(m.pLuzEsp);
    o["pLuzEmi"] = colour(m.pLuzEmi);
    o["Ka"] = number(m.Ka);
    o["Kd"] = number(m.Kd);
    o["Ks"] = number(m.Ks);
    o["pBlend"] = number(m.pBlend);
    o["pShine"] = number(m.pShine);
    o["texturado"] = integer(m.texturado);
    if (m.texture) {
        Value::Object t;
        t["TEXscaleX"] = number(m.texture->TEXscaleX);
        t["TEXscaleY"] = number(m.texture->TEXscaleY);
        t["milTime"] = integer(m.texture->milTime);
        t["multiple"] = integer(m.texture->multiple);
        Value::Array frames;
        for (const std::string &frame : m.texture->frames) frames.push_back(Value(frame));
        t["TexturasID"] = Value(frames);
        o["texturas"] = Value(t);
    }
    return Value(o);
}

Value sceneExtras()
{
    Value::Object flags;
    hash_iterator it = {};
    for (FlagRecord *flag = firstFlag(&it); flag != nullptr; flag = nextFlag(&it)) flags[flag->name] = integer(flag->value);

    Value::Array textures;
    if (texture_table() != nullptr) {
        hash_iterator t = {};
        const unsigned char *key = nullptr;
        uint32_t length = 0;
        for (hash_table_first(texture_table(), &t, &key, &length); key != nullptr;
             hash_table_next(texture_table(), &t, &key, &length))
            textures.push_back(Value(texture_key_text(key, length)));
    }
    Value::Object o;
    if (!flags.empty()) o["Flags"] = Value(flags);
    if (!textures.empty()) o["IDTextura"] = Value(textures);
    // NOTE: as with arrays, tinygltf would write an empty object as null
    return o.empty() ? Value() : Value(o);
}
