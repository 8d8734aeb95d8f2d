/**********************************************************************************************
*
*   test_probe - a test's view into the running program (only with SW_TEST_PROBE=FILE)
*
**********************************************************************************************/
#include "test_probe.h"

#include "camera.h"
#include "materials.h"
#include "objects.h"
#include "redraw.h"
#include "render.h"

#include <GL/freeglut.h>

#include <cstdio>    // Required for: snprintf(), fopen(), rename()
#include <cstdlib>   // Required for: getenv()
#include <string>

//----------------------------------------------------------------------------------
// Types and globals
//----------------------------------------------------------------------------------
enum ProbePhase { Running, Drawing, Frozen };

static std::string probeFile;
static ProbePhase phase = Running;
static long frames = 0;
static std::string request;        // the text of the freeze request being answered
static std::string notedObjects;   // the objects' lines noted before the frame that draws them

static const int PROBE_CHECK_MS = 10;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// The whole file, or false when it does not exist
static bool readWhole(const std::string &path, std::string &text)
{
    FILE *file = fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    text.clear();
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    fclose(file);
    return true;
}

// Six floats, each with the digits that read back to the same 32-bit value
static std::string floats(const float *values, int count)
{
    std::string out;
    char number[32];
    for (int i = 0; i < count; i++) {
        snprintf(number, sizeof number, " %.9g", (double)values[i]);
        out += number;
    }
    return out;
}

// One line per object (pose and material) and per textured material (texture turn)
static std::string objectLines()
{
    std::string out;
    for (int i = 0; i < object_count(); i++) {
        const primitiva *o = object_at(i);
        const float pose[6] = {o->pose.x, o->pose.y, o->pose.z, o->pose.yaw, o->pose.pitch, o->pose.roll};
        const char *material = first_material_name(o);
        out += "object " + std::to_string(i) + floats(pose, 6) + " " + (material != nullptr ? material : "") + "\n";
    }
    hash_table *table = material_table();
    hash_iterator it = {};
    for (void *data = table != nullptr ? hash_table_first(table, &it, nullptr, nullptr) : nullptr; data != nullptr;
         data = hash_table_next(table, &it, nullptr, nullptr)) {
        const material_record *m = (const material_record *)data;
        if (!material_is_textured(m)) continue;
        const float turn[3] = {m->texture->rotationX, m->texture->rotationY, m->texture->rotationZ};
        out += "turn " + m->name + floats(turn, 3) + "\n";
    }
    return out;
}

// Writes the state of the frame on the screen to FILE (through a renamed scratch file)
static void writeState()
{
    const Camera *c = getCamera();
    const float camera[6] = {c->x, c->y, c->z, c->yaw, c->pitch, c->roll};
    std::string text = "request " + request + "\nframe " + std::to_string(frames) + "\ncamera" + floats(camera, 6) +
                       "\n" + notedObjects;
    const std::string scratch = probeFile + ".part";
    FILE *file = fopen(scratch.c_str(), "wb");
    if (file == nullptr) return;
    const bool written = fwrite(text.data(), 1, text.size(), file) == text.size();
    if (fclose(file) == 0 && written) rename(scratch.c_str(), probeFile.c_str());
}

// The display callback while the picture is held: draws nothing. NOTE: not asking for frames
// is not enough, whatever changes with time (an animated texture, the sun) asks for one
// by itself, and every frame drawn in play steps the running events
static void holdPicture() {}

// After each frame: counts it; the frame that drew the noted state is on the screen, so the
// state is written and no further frame is drawn until the request goes
static bool probeFrameDone()
{
    frames++;
    if (phase == Drawing) {
        writeState();
        phase = Frozen;
        glutDisplayFunc(holdPicture);
    }
    return phase == Running;
}

// Every few milliseconds: takes a new freeze request, or lets the picture go once the
// answered request is gone (or another one stands in its place)
static void probeTick(int)
{
    std::string text;
    const bool requested = readWhole(probeFile + ".freeze", text) && !text.empty();
    if (phase == Frozen && !(requested && text == request)) {
        phase = Running;
        glutDisplayFunc(display);
        requestRedraw();
    }
    if (phase == Running && requested && text != request) {
        request = text;
        notedObjects = objectLines();
        phase = Drawing;
        requestRedraw();
    }
    glutTimerFunc(PROBE_CHECK_MS, probeTick, 0);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void startTestProbe()
{
    const char *file = getenv("SW_TEST_PROBE");
    if (file == nullptr || file[0] == '\0') return;
    probeFile = file;
    setFrameDoneHook(probeFrameDone);
    glutTimerFunc(PROBE_CHECK_MS, probeTick, 0);
}
