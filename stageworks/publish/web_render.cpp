/**********************************************************************************************
*
*   web_render - what the page needs to draw the scene as stageworks draws it
*
**********************************************************************************************/
#include "web_render.h"

#include "camera.h"
#include "frame_pacing.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"

#include <GL/gl.h>   // Required for: glGetLightfv(), glGetFloatv(), glIsEnabled()

#include <array>
#include <map>

using nlohmann::json;

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------

// NOTE: the sky box's bitmaps and drawing constants, as stageworks/app/sky.cpp has them: the
// walls at minimum and maximum Z, the floor, the ceiling, the walls at minimum and maximum X
static const std::array<const char *, 6> SKY_BITMAPS = {
    "Data/izpos2.bmp", "Data/izpos2.bmp", "Data/iypos2.bmp", "Data/iypos2.bmp", "Data/izpos2.bmp", "Data/izpos2.bmp",
};
static const float SKY_EDGE = 1999.0f;
static const float SUN_RADIUS_UNITS = 25.0f;
static const int SUN_SLICES_COUNT = 16;
static const int SUN_STACKS_COUNT = 16;
// NOTE: the sun's material, whatever material was applied before it: its yellowish diffuse
// colour and for the rest the default material's values
static const std::array<float, 4> SUN_AMBIENT = {1.0f, 1.0f, 1.0f, 1.0f};
static const std::array<float, 4> SUN_DIFFUSE = {0.9f, 0.9f, 0.4f, 1.0f};
static const std::array<float, 4> SUN_SPECULAR = {0.1f, 0.1f, 0.1f, 1.0f};
static const std::array<float, 4> SUN_EMISSION = {0.0f, 0.0f, 0.0f, 1.0f};
static const float SUN_SHININESS = 64.0f;
static const std::array<float, 4> CLEAR_COLOUR = {0.0f, 0.5f, 0.75f, 1.0f};
static const float START_FIELD_OF_VIEW = 45.0f;
static const float START_SUN_ANGLE = -35.0f;
static const double PLAY_PICK_DEPTH = 150.0;
static const int FRAME_MIN_MS = 16;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Four floats as a JSON array
static json colour(const float *c) { return json::array({c[0], c[1], c[2], c[3]}); }

// A colour as apply_material sends it: RGB times the weight, alpha times the blend factor
static json weighted(const std::array<float, 4> &c, float weight, float blend)
{
    const float out[4] = {c[0] * weight, c[1] * weight, c[2] * weight, c[3] * blend};
    return colour(out);
}

// The materials of the table in its iteration order (the order of the usage table)
static std::vector<const material_record *> tableMaterials()
{
    std::vector<const material_record *> list;
    hash_table *table = material_table();
    if (table == nullptr) return list;
    hash_iterator it = {};
    for (void *data = hash_table_first(table, &it, nullptr, nullptr); data != nullptr;
         data = hash_table_next(table, &it, nullptr, nullptr))
        list.push_back((const material_record *)data);
    return list;
}

// One material as the editor sends it to OpenGL, with its texture block
static json materialFields(const material_record &m, WebBitmaps &bitmaps)
{
    json out;
    out["name"] = m.name;
    out["ambient"] = weighted(m.pLuzDif, m.Ka, m.pBlend);
    out["diffuse"] = weighted(m.pLuzDif, m.Kd, m.pBlend);
    out["specular"] = weighted(m.pLuzEsp, m.Ks, m.pBlend);
    out["emission"] = weighted(m.pLuzEmi, m.Ka, m.pBlend);
    out["shininess"] = m.pShine * 128.0f;
    out["opaque"] = material_is_opaque(&m) != 0;
    out["textured"] = material_is_textured(&m) != 0;
    out["wrapCount"] = m.wrapCount;
    if (material_is_textured(&m)) {
        const texture_block &block = *m.texture;
        json frames = json::array();
        for (const std::string &frame : block.frames) frames.push_back(bitmaps.numberOf(frame, "material '" + m.name + "'"));
        out["frames"] = frames;
        out["multiple"] = block.multiple;
        out["milTime"] = block.milTime;
        out["scale"] = json::array({block.TEXscaleX, block.TEXscaleY});
        out["turn"] = json::array({block.rotationX, block.rotationY, block.rotationZ});
    }
    return out;
}

// Replays the editor's start-up of the lights and the fog on the current context (the view
// of the camera at the origin at eye height, as the program has it then) and reads back what
// OpenGL holds: colours as sent, positions in eye coordinates
static json lightingFields()
{
    Camera start = {};
    start.y = CAMERA_WALK_HEIGHT;
    setCamera(start);
    applyView();
    createLightSet();
    configureStartLights();
    setUpFog();

    json out;
    GLfloat value[4] = {0, 0, 0, 0};
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, value);
    out["globalAmbient"] = colour(value);
    json lights = json::array();
    for (int i = 0; i < LIGHT_COUNT; i++) {
        const GLenum light = (GLenum)(GL_LIGHT0 + i);
        if (!glIsEnabled(light)) continue;
        json entry;
        entry["index"] = i;
        glGetLightfv(light, GL_AMBIENT, value);
        entry["ambient"] = colour(value);
        glGetLightfv(light, GL_DIFFUSE, value);
        entry["diffuse"] = colour(value);
        glGetLightfv(light, GL_SPECULAR, value);
        entry["specular"] = colour(value);
        glGetLightfv(light, GL_POSITION, value);
        entry["eyePosition"] = colour(value);
        // light 0 stands at the viewer and light 1 is the sun: both are placed every frame
        entry["placed"] = i == 0 ? "viewer" : i == 1 ? "sun" : "fixed";
        lights.push_back(entry);
    }
    out["lights"] = lights;

    json fog;
    GLfloat density = 0.0f;
    glGetFloatv(GL_FOG_DENSITY, &density);
    glGetFloatv(GL_FOG_COLOR, value);
    GLint mode = 0;
    glGetIntegerv(GL_FOG_MODE, &mode);
    fog["mode"] = mode == GL_EXP2 ? "exp2" : mode == GL_EXP ? "exp" : "linear";
    fog["density"] = density;
    fog["color"] = colour(value);
    out["fog"] = fog;
    return out;
}

// An object's place in the geometry buffers, its parts and its drawing switches
static json objectFields(const WebObjectGeometry &g)
{
    json out;
    out["slot"] = g.slot;
    out["firstVertex"] = g.firstVertex;
    out["vertexCount"] = g.vertexCount;
    out["firstIndex"] = g.firstIndex;
    out["wireFrame"] = g.wireFrame;
    if (g.wireFrame) out["firstPlane"] = g.firstPlane;
    json parts = json::array();
    for (const WebPart &part : g.parts) {
        json p = {{"first", part.first}, {"count", part.count}, {"lines", part.lines}, {"cull", part.cull}};
        if (!part.faceMaterial.empty()) p["material"] = part.faceMaterial;
        parts.push_back(p);
    }
    out["parts"] = parts;
    json groups = json::array();
    for (const auto &run : g.groups) groups.push_back({run.first, run.second});
    out["groups"] = groups;
    return out;
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int WebBitmaps::numberOf(const std::string &path, const std::string &owner)
{
    for (size_t i = 0; i < paths.size(); i++)
        if (paths[i] == path) return (int)i;
    paths.push_back(path);
    owners.push_back(owner);
    return (int)paths.size() - 1;
}

WebBitmaps sceneBitmaps()
{
    WebBitmaps bitmaps;
    for (const material_record *m : tableMaterials()) materialFields(*m, bitmaps);
    for (const char *path : SKY_BITMAPS) bitmaps.numberOf(path, "the sky box");
    return bitmaps;
}

json renderFields(const WebGeometry &geometry, const WebBitmaps &known, const WebFiles &files)
{
    WebBitmaps bitmaps = known;
    json render;
    render["projection"] = {{"fieldOfView", START_FIELD_OF_VIEW}, {"aspect", FIXED_ASPECT}, {"near", CAMERA_NEAR},
                            {"far", CAMERA_FAR}, {"pickFar", PLAY_PICK_DEPTH}};
    render["clearColor"] = colour(CLEAR_COLOUR.data());
    render["frameMinMs"] = FRAME_MIN_MS;
    render["statisticsFrames"] = STATISTICS_WINDOW_FRAMES;
    const json lighting = lightingFields();
    render["globalAmbient"] = lighting["globalAmbient"];
    render["lights"] = lighting["lights"];
    render["fog"] = lighting["fog"];
    render["sun"] = {{"angle", START_SUN_ANGLE},     {"step", SUN_STEP_DEGREES},    {"distance", SUN_DISTANCE},
                     {"radius", SUN_RADIUS_UNITS},   {"slices", SUN_SLICES_COUNT},  {"stacks", SUN_STACKS_COUNT},
                     {"material", {{"ambient", colour(SUN_AMBIENT.data())},
                                   {"diffuse", colour(SUN_DIFFUSE.data())},
                                   {"specular", colour(SUN_SPECULAR.data())},
                                   {"emission", colour(SUN_EMISSION.data())},
                                   {"shininess", SUN_SHININESS}}}};
    json sky = json::array();
    for (const char *path : SKY_BITMAPS) sky.push_back(bitmaps.numberOf(path));
    render["sky"] = {{"edge", SKY_EDGE}, {"textures", sky}};

    std::map<const material_record *, int> numbers;
    json materials = json::array();
    for (const material_record *m : tableMaterials()) {
        numbers[m] = (int)materials.size();
        materials.push_back(materialFields(*m, bitmaps));
    }
    render["materials"] = materials;
    json usage = json::array();
    for (int e = 0; e < usage_entry_count(); e++) {
        const usage_entry *entry = usage_entry_at(e);
        json users = json::array();
        for (const scene_slot *slot : entry->users) {
            const int index = slot_index(slot);
            if (index >= 0) users.push_back(index);
        }
        auto found = numbers.find(entry->material);
        usage.push_back({{"name", entry->name}, {"material", found != numbers.end() ? found->second : -1},
                         {"users", users}});
    }
    render["usage"] = usage;

    json textures = json::array();
    for (size_t i = 0; i < bitmaps.paths.size(); i++) {
        textures.push_back({{"path", bitmaps.paths[i]},
                            {"file", i < files.textures.size() ? files.textures[i] : ""},
                            {"bytes", i < files.textureBytes.size() ? files.textureBytes[i] : 0}});
    }
    render["textures"] = textures;
    render["geometry"] = {{"file", files.geometry}, {"bytes", files.geometryBytes}, {"indexOffset", files.indexOffset},
                          {"planeOffset", files.planeOffset}, {"vertexFloats", WEB_VERTEX_FLOATS}};
    json objects = json::array();
    for (const WebObjectGeometry &g : geometry.objects) objects.push_back(objectFields(g));
    render["objects"] = objects;
    render["font"] = files.font.empty() ? json() : json(files.font);
    return render;
}
