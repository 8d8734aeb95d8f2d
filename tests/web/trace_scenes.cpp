// The trace suite's event scenes and their input traces.
#include "trace_scenes.h"

#include "demo_scene.h"
#include "events.h"
#include "flags.h"
#include "materials.h"
#include "objects.h"
#include "records.h"
#include "textures.h"

#include <cstdio>

namespace trace_suite {

namespace {

// Player keys
constexpr int LEFT = 100, UP = 101, RIGHT = 102, DOWN = 103;

//------------------------------------------------------------------------------------------
// Building a scene in the live tables
//------------------------------------------------------------------------------------------

void material(const char *name, std::vector<const char *> frames = {})
{
    material_record *m = new_material();
    m->name = name;
    if (!frames.empty()) {
        m->texturado = 1;
        m->texture = new_texture_block();
        if (frames.size() > 1) m->texture->multiple = 1;
        for (const char *frame : frames) {
            add_frame(m->texture.get(), frame);
            add_texture_name(frame);
        }
    }
    if (!add_material(m)) free_material(m);
}

void flag(const char *name, int value) { addFlag(newFlagRecord(name, value)); }

int object(int kind, float x, float y, float z, const char *materialName = DEFAULT_MATERIAL_NAME)
{
    set_current_material(materialName);
    int index = create_object(kind);
    set_current_material(nullptr);
    object_at(index)->pose = object_pose{x, y, z, 0.0f, 0.0f, 0.0f};
    return index;
}

Event &event(int index, int number)
{
    EventSet *set = openEventSet(object_slot(index)->eventSet);
    return set->events[(size_t)number];
}

void when(int index, int number, int kind, void *value) { setCondition(&event(index, number), event(index, number).conditionCount, kind, value); }
void then(int index, int number, int kind, void *value) { setConsequence(&event(index, number), event(index, number).consequenceCount, kind, value); }

void clicked(int o, int e) { when(o, e, cActivate, newActivateValue()); }
void nearer(int o, int e, int d) { when(o, e, cDistanceMN, newDistanceValue(d)); }
void farther(int o, int e, int d) { when(o, e, cDistanceMY, newDistanceValue(d)); }
void flagIs(int o, int e, const char *name, int v) { when(o, e, cFlag, newFlagValue(name, v)); }
void move(int o, int e, int x, int y, int z) { then(o, e, cMoveObj, newMoveValue(x, y, z)); }
void turn(int o, int e, int yaw, int pitch, int roll) { then(o, e, cRotateObj, newRotateValue(yaw, pitch, roll)); }
void changeMaterial(int o, int e, const char *name) { then(o, e, cChangeMat, newChangeMatValue(name)); }
void turnTexture(int o, int e, int x, int y, int z) { then(o, e, cRotateMat, newRotateValue(x, y, z)); }
void setFlagTo(int o, int e, const char *name, int v) { then(o, e, cFlagEqual, newFlagValue(name, v)); }
void loop(int o, int e, int count) { then(o, e, cLoop, newLoopValue(count)); }
void again(int o, int e) { then(o, e, cAgain, newAgainValue()); }

//------------------------------------------------------------------------------------------
// Building a trace
//------------------------------------------------------------------------------------------

struct Trace {
    std::vector<TraceStep> steps;
    TraceStep &frame() { steps.emplace_back(); return steps.back(); }
    void frames(int n) { for (int i = 0; i < n; i++) frame(); }
    void click(int slot) { frame().click = slot; }
    void key(int code, int pressed) { frame().keys.emplace_back(code, pressed); }
    void look(int dx, int dy)
    {
        TraceStep &step = frame();
        step.look = true;
        step.lookX = dx;
        step.lookY = dy;
    }
    void place(float x, float y, float z, float yaw, float pitch, float roll)
    {
        TraceStep &step = frame();
        step.place = true;
        step.camera = {x, y, z, yaw, pitch, roll};
    }
    void hold(int code, int n)
    {
        key(code, 1);
        frames(n - 1);
        key(code, 0);
    }
};

//------------------------------------------------------------------------------------------
// The scenes
//------------------------------------------------------------------------------------------

// Clicks: every consequence kind on a clicked object, a click that needs the camera near,
// a second click while running, objects without events or without consequences, and
// events started by the flag an event sets
void buildClicks()
{
    material("madera", {"Data/madera.bmp"});
    material("rojo");
    material("<vidrio>\"azul\"&\xc3\xb1");
    // NOTE: these two share a bucket of the material table: its order must come back whole
    material("matiaa", {"Data/matiaa.bmp"});
    material("matnaa", {"Data/matnaa.bmp"});
    flag("PUERTA", 0);
    flag("LUZ", 3);
    int door = object(KIND_CUBE, 10.0f, 30.0f, -10.0f, "madera");
    clicked(door, 0);
    turnTexture(door, 0, 5, 10, 15);
    move(door, 0, 10, 0, -5);
    turn(door, 0, 15, 0, 0);
    changeMaterial(door, 0, "rojo");
    turnTexture(door, 0, 1, 1, 1);
    changeMaterial(door, 0, "madera");
    clicked(door, 1);
    nearer(door, 1, 200);
    setFlagTo(door, 1, "PUERTA", 1);
    clicked(door, 2);
    farther(door, 2, 5000);
    turn(door, 2, 0, 0, 90);

    int glass = object(KIND_SPHERE, 40.0f, 30.0f, -40.0f, "<vidrio>\"azul\"&\xc3\xb1");
    flagIs(glass, 0, "PUERTA", 1);
    loop(glass, 0, 3);
    move(glass, 0, 0, 100, 0);
    again(glass, 0);
    setFlagTo(glass, 0, "PUERTA", 0);
    flagIs(glass, 3, "PUERTA", 1);
    flagIs(glass, 3, "LUZ", 3);
    changeMaterial(glass, 3, "rojo");

    int idle = object(KIND_PYRAMID, 0.0f, 30.0f, 0.0f);
    clicked(idle, 0);
    object(KIND_RECTANGLE, -20.0f, 30.0f, 5.0f);
    int never = object(KIND_TRIANGLE, 5.0f, 10.0f, 5.0f, "rojo");
    move(never, 0, 100, 100, 100);
    int tiles = object(KIND_CIRCLE, -5.0f, 30.0f, 5.0f, "matnaa");
    clicked(tiles, 0);
    turnTexture(tiles, 0, 0, 0, 30);
    changeMaterial(tiles, 0, "matiaa");
    turnTexture(tiles, 0, 0, 45, 0);
}

std::vector<TraceStep> traceClicks()
{
    Trace t;
    t.frames(2);
    t.click(0);
    t.click(0);   // running: not started again
    t.frames(3);
    t.click(2);   // conditions but no consequences: runs for good
    t.click(3);   // no events
    t.click(4);   // consequences but no conditions
    t.click(1);   // no click condition
    t.click(5);
    t.frames(12);
    t.click(0);
    t.frames(8);
    t.place(2000.0f, 30.0f, 2000.0f, 0.0f, 0.0f, 0.0f);   // out of the door's 200
    t.click(0);
    t.frames(8);
    t.place(15.0f, 30.0f, -12.0f, 90.0f, 0.0f, 0.0f);
    t.click(0);
    t.frames(14);
    t.frame().stop = true;
    return t.steps;
}

// Loops: nested counted loops, an endless loop started at play start, a cAgain with no loop,
// a loop without its cAgain, a loop of one pass and an endless loop inside a counted one
void buildLoops()
{
    material("agua", {"Data/agua1.bmp", "Data/agua2.bmp", "Data/agua3.bmp"});
    material("piedra", {"Data/piedra.bmp"});
    flag("X", 0);
    int nested = object(KIND_CYLINDER, 0.0f, 30.0f, -30.0f, "piedra");
    clicked(nested, 0);
    loop(nested, 0, 2);
    loop(nested, 0, 3);
    turn(nested, 0, 0, 0, 10);
    again(nested, 0);
    move(nested, 0, 1, 1, 1);
    again(nested, 0);
    move(nested, 0, -50, 0, 0);
    turnTexture(nested, 0, 0, 0, 3);

    int endless = object(KIND_HALF_SPHERE, 20.0f, 30.0f, -30.0f, "agua");
    flagIs(endless, 0, "X", 0);
    loop(endless, 0, 0);
    turnTexture(endless, 0, 1, 0, 0);
    turn(endless, 0, 0, 1, 0);
    again(endless, 0);

    int odd = object(KIND_TRAPEZOID, -20.0f, 30.0f, -30.0f);
    clicked(odd, 0);
    again(odd, 0);
    move(odd, 0, 0, 0, 1);
    loop(odd, 0, 1);
    move(odd, 0, 0, 0, 2);
    clicked(odd, 1);
    loop(odd, 1, 1);
    turn(odd, 1, 1, 0, 0);
    again(odd, 1);

    int forever = object(KIND_HALF_CYLINDER, 0.0f, 30.0f, 30.0f);
    clicked(forever, 5);
    loop(forever, 5, 2);
    loop(forever, 5, 0);
    move(forever, 5, 0, 1, 0);
    again(forever, 5);
    again(forever, 5);
}

std::vector<TraceStep> traceLoops()
{
    Trace t;
    t.frame();
    t.click(0);
    t.click(2);
    t.click(3);
    t.frames(10);
    t.click(2);
    t.frames(25);
    t.click(0);
    t.frames(30);
    t.frame().stop = true;
    return t.steps;
}

// Walking: distance conditions met and lost by walking with the arrows, looking around with
// the pointer, flying, the inverted pointer, a distance exactly on the limit and a click that
// needs the camera near
void buildWalking()
{
    material("verde");
    flag("CERCA", 0);
    flag("LEJOS", 0);
    int ahead = object(KIND_CUBE, 60.0f, 30.0f, -60.0f);
    nearer(ahead, 0, 100);
    setFlagTo(ahead, 0, "CERCA", 1);
    move(ahead, 0, 0, 0, 500);
    farther(ahead, 1, 150);
    setFlagTo(ahead, 1, "LEJOS", 1);
    flagIs(ahead, 2, "CERCA", 1);
    farther(ahead, 2, 120);
    setFlagTo(ahead, 2, "CERCA", 2);
    turn(ahead, 2, 45, 0, 0);

    int centre = object(KIND_SPHERE, 0.0f, 30.0f, 0.0f);
    nearer(centre, 0, 100);
    clicked(centre, 0);
    turn(centre, 0, 0, 90, 0);
    flagIs(centre, 1, "CERCA", 2);
    changeMaterial(centre, 1, "verde");

    int edge = object(KIND_CUBE, 0.0f, 30.0f, 100.0f);
    nearer(edge, 0, 100);
    move(edge, 0, 100, 0, 0);
    farther(edge, 1, 100);
    move(edge, 1, 0, 100, 0);
}

std::vector<TraceStep> traceWalking()
{
    Trace t;
    t.frame();
    t.hold(UP, 30);
    t.frames(12);
    t.look(40, 0);
    t.look(-25, 12);
    t.frame().chars = {'i'};
    t.look(3, 20);
    t.frame().chars = {'f', 'c', 'e', 'l'};
    t.hold(UP, 10);
    t.look(0, -300);
    t.hold(DOWN, 8);
    t.frame().chars = {'F', 'I', 'a', 'S', 's'};
    t.hold(LEFT, 6);
    t.hold(RIGHT, 9);
    t.key(UP, 1);
    t.key(LEFT, 1);
    t.frames(5);
    t.key(UP, 0);
    t.key(LEFT, 0);
    t.frames(10);
    t.frame().chars = {'d'};   // a character with the left arrow's code walks left ...
    t.frames(4);
    t.key(LEFT, 0);            // ... until the arrow's release
    t.frames(3);
    t.hold(DOWN, 40);
    t.frames(15);
    t.place(0.0f, 30.0f, 200.0f, 180.0f, 0.0f, 0.0f);   // exactly 100 from the edge object
    t.frames(3);
    t.place(0.0f, 30.0f, 199.5f, 180.0f, 0.0f, 0.0f);
    t.frames(3);
    t.place(0.0f, 30.0f, 50.0f, 0.0f, 0.0f, 0.0f);
    t.click(1);
    t.frames(3);
    t.frame().stop = true;
    return t.steps;
}

// Flags: chains of flag changes starting other events in the same pass, two events that
// restart each other, flags that do not exist, and an event without consequences
void buildFlags()
{
    flag("F1", 0);
    flag("F2", 0);
    flag("F3", 0);
    flag("F4", 5);
    flag("PING", 0);
    // NOTE: pairs sharing a bucket of the flag table: its order must come back whole
    flag("FLAGQAA", 1);
    flag("FLAGCBA", 2);
    flag("FLAGGAA", 3);
    flag("FLAGDBA", 4);
    int first = object(KIND_CUBE, 0.0f, 30.0f, 0.0f);
    flagIs(first, 0, "F1", 0);
    setFlagTo(first, 0, "F2", 1);
    move(first, 0, 0, 0, 1);
    int second = object(KIND_CUBE, 10.0f, 30.0f, 0.0f);
    flagIs(second, 0, "F2", 1);
    setFlagTo(second, 0, "F3", 7);
    setFlagTo(second, 0, "F2", 0);
    setFlagTo(second, 0, "NOEXISTE", 4);
    int third = object(KIND_CUBE, 20.0f, 30.0f, 0.0f);
    flagIs(third, 0, "F3", 7);
    clicked(third, 0);
    setFlagTo(third, 0, "F4", 6);
    flagIs(third, 1, "F4", 6);
    turn(third, 1, 1, 2, 3);
    flagIs(third, 2, "GHOST", 0);
    move(third, 2, 5, 5, 5);
    int ping = object(KIND_CUBE, 30.0f, 30.0f, 0.0f);
    flagIs(ping, 0, "PING", 0);
    setFlagTo(ping, 0, "PING", 1);
    flagIs(ping, 1, "PING", 1);
    setFlagTo(ping, 1, "PING", 0);
    int silent = object(KIND_CUBE, 40.0f, 30.0f, 0.0f);
    flagIs(silent, 0, "F2", 1);
}

std::vector<TraceStep> traceFlags()
{
    Trace t;
    t.frames(3);
    t.click(2);
    t.frames(2);
    t.click(2);
    t.frames(6);
    t.click(2);
    t.frames(10);
    t.frame().stop = true;
    return t.steps;
}

// The demo scene: a click on the water sphere (slot 21) and on the door (slot 25), whose
// flag lifts the dome; then a walk towards the sign until it is within its 120 units
std::vector<TraceStep> traceDemo()
{
    Trace t;
    t.frames(2);
    t.click(DEMO_WATER_SLOT);
    t.frames(3);
    t.click(DEMO_DOOR_SLOT);
    t.frames(5);
    t.hold(UP, 45);
    t.frames(30);
    t.look(-20, 0);
    t.frames(30);
    t.frame().stop = true;
    return t.steps;
}

}  // namespace

const std::vector<TraceScene> &traceScenes()
{
    static const std::vector<TraceScene> scenes = {
        {"clicks", buildClicks, traceClicks},
        {"loops", buildLoops, traceLoops},
        {"walking", buildWalking, traceWalking},
        {"flags", buildFlags, traceFlags},
        {"demo", buildDemoScene, traceDemo},
    };
    return scenes;
}

std::string traceJson(const std::vector<TraceStep> &steps)
{
    std::string out = "{\"steps\":[\n";
    char number[32];
    for (size_t i = 0; i < steps.size(); i++) {
        const TraceStep &s = steps[i];
        out += "{\"keys\":[";
        for (size_t k = 0; k < s.keys.size(); k++)
            out += (k ? ",[" : "[") + std::to_string(s.keys[k].first) + "," + std::to_string(s.keys[k].second) + "]";
        out += "],\"chars\":[";
        for (size_t k = 0; k < s.chars.size(); k++) out += (k ? "," : "") + std::to_string(s.chars[k]);
        out += "]";
        if (s.look) out += ",\"look\":[" + std::to_string(s.lookX) + "," + std::to_string(s.lookY) + "]";
        if (s.place) {
            out += ",\"camera\":[";
            for (size_t k = 0; k < 6; k++) {
                snprintf(number, sizeof number, "%.9g", (double)s.camera[k]);
                out += (k ? "," : "") + std::string(number);
            }
            out += "]";
        }
        if (s.click >= 0) out += ",\"click\":" + std::to_string(s.click);
        if (s.stop) out += ",\"stop\":true";
        out += i + 1 < steps.size() ? "},\n" : "}\n";
    }
    return out + "]}\n";
}

}  // namespace trace_suite
