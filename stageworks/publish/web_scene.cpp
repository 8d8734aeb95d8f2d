/**********************************************************************************************
*
*   web_scene - the behaviour half of a published scene's scene.json
*
**********************************************************************************************/
#include "web_scene.h"

#include "camera.h"
#include "events.h"
#include "flags.h"
#include "materials.h"
#include "objects.h"
#include "records.h"

#include <vector>

using nlohmann::json;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// A 32-bit value as its exact double
static json number(float value) { return json((double)value); }

// A part of an event: its kind, up to three integers and a name
static json part(int kind, int a = 0, int b = 0, int c = 0, const std::string &name = std::string())
{
    return json{{"kind", kind}, {"a", a}, {"b", b}, {"c", c}, {"name", name}};
}

// A condition slot in use
static json conditionPart(const Condition &condition)
{
    if (const DistanceValue *d = distanceValueOf(&condition)) return part(condition.kind, d->distance);
    if (const FlagValue *f = flagValueOf(&condition)) return part(condition.kind, f->value, 0, 0, f->name);
    return part(condition.kind);
}

// A link of a consequence chain
static json consequencePart(const Consequence &link)
{
    if (const MoveValue *m = moveValueOf(&link)) return part(link.kind, m->x, m->y, m->z);
    if (const RotateValue *r = rotateValueOf(&link)) return part(link.kind, r->yaw, r->pitch, r->roll);
    if (const ChangeMatValue *c = changeMatValueOf(&link)) return part(link.kind, 0, 0, 0, c->material);
    if (const FlagValue *f = flagValueOf(&link)) return part(link.kind, f->value, 0, 0, f->name);
    if (const LoopValue *l = loopValueOf(&link)) return part(link.kind, l->count);
    return part(link.kind);
}

// The events of a set that hold a condition or a consequence, each with its number
static json eventsOf(const EventSet *set)
{
    json events = json::array();
    if (set == nullptr) return events;
    for (int n = 0; n < EVENTS_PER_SET; n++) {
        const Event &event = set->events[(size_t)n];
        if (eventIsEmpty(&event)) continue;
        json conditions = json::array(), consequences = json::array();
        for (int s = 0; s < event.conditionCount && s < CONDITIONS_PER_EVENT; s++)
            conditions.push_back(conditionPart(event.conditions[(size_t)s]));
        for (const Consequence *link = event.firstConsequence; link != nullptr; link = link->next)
            consequences.push_back(consequencePart(*link));
        events.push_back(json{{"slot", n}, {"conditions", conditions}, {"consequences", consequences}});
    }
    return events;
}

// One object slot
static json objectOf(int slot)
{
    const primitiva *object = object_at(slot);
    const object_pose &p = object->pose;
    json materials = json::array();
    for (int i = 0; i < material_name_count(object); i++) materials.push_back(material_name_at(object, i));
    return json{{"slot", slot},
                {"nameBase", object->nameBase},
                {"kind", object->objeto3D},
                {"pose", {number(p.x), number(p.y), number(p.z), number(p.yaw), number(p.pitch), number(p.roll)}},
                {"materials", materials},
                {"events", eventsOf(slot_event_set(slot))}};
}

// One material: its name, texturado and, with a texture block, the frame count code and frames
static json materialOf(const material_record &material)
{
    json o = {{"name", material.name}, {"texturado", material.texturado}};
    if (material.texture) {
        o["multiple"] = material.texture->multiple;
        o["frames"] = material.texture->frames;
    }
    return o;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
json webSceneBehaviour(const std::string &name)
{
    json doc = json::object();
    doc["name"] = name;
    const Camera &c = CAMERA_START;
    doc["camera"] = {number(c.x), number(c.y), number(c.z), number(c.yaw), number(c.pitch), number(c.roll)};

    std::vector<json> flags;
    hash_iterator it = {};
    for (FlagRecord *flag = firstFlag(&it); flag != nullptr; flag = nextFlag(&it))
        flags.push_back(json{{"name", flag->name}, {"value", flag->value}});
    doc["flags"] = json(std::vector<json>(flags.rbegin(), flags.rend()));

    json materials = json::array();
    if (material_table() != nullptr) {
        hash_iterator m = {};
        for (void *data = hash_table_first(material_table(), &m, nullptr, nullptr); data != nullptr;
             data = hash_table_next(material_table(), &m, nullptr, nullptr))
            materials.push_back(materialOf(*(const material_record *)data));
    }
    doc["materials"] = materials;

    json objects = json::array();
    for (int slot = 0; slot < object_count(); slot++) objects.push_back(objectOf(slot));
    doc["objects"] = objects;
    return doc;
}
