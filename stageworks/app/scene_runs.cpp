/**********************************************************************************************
*
*   scene_runs - runs of objects of one material, each drawn from one vertex buffer
*
**********************************************************************************************/
#define GL_GLEXT_PROTOTYPES  // Required for: glGenBuffers(), glBindBuffer(), glBufferData()
#include "scene_runs.h"

#include "face_rules.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "texture_coords.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <array>
#include <cmath>
#include <cstddef>  // Required for: offsetof()
#include <cstdio>   // Required for: sscanf()
#include <unordered_map>

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
namespace {

// One vertex as the buffer holds it
struct RunVertex {
    GLfloat x, y, z;
    GLfloat nx, ny, nz;
    GLfloat s, t;
};

// Triangles drawn with one glDrawArrays: what their faces share
struct RunPiece {
    const material_record *material;  // compared while building only
    material_gl_values values;
    bool textured;
    bool opaque;
    bool culled;
    GLint first;
    GLsizei count;
};

// An object of a run as it was when the run was built
struct RunMember {
    int nameBase;
    unsigned long stamp;
    object_pose pose;
};

struct MaterialRun {
    const material_record *material = nullptr;  // the entry's material (compared only)
    std::vector<RunMember> members;
    std::vector<RunPiece> pieces;
    GLuint buffer = 0;
};

// The rotation and place of a pose, as glTranslate and glRotate make them
struct Placement {
    float m[3][3];
    float t[3];
};

}  // namespace

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static std::array<std::vector<MaterialRun>, USAGE_ENTRIES> runs;
static std::array<size_t, USAGE_ENTRIES> runsDrawn = {};    // runs of each entry met this frame
static std::unordered_map<int, unsigned long> stamps;        // nameBase: when its lists were built
static unsigned long lastStamp = 0;
static long builds = 0;
static int available = -1;

//----------------------------------------------------------------------------------
// Private helpers: building
//----------------------------------------------------------------------------------

// Rotation by degrees about one axis (0 X, 1 Y, 2 Z), with the sine and cosine glRotatef takes
static void axisRotation(int axis, float degrees, float r[3][3])
{
    const float s = (float)sin(degrees * M_PI / 180.0), c = (float)cos(degrees * M_PI / 180.0);
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) r[i][j] = i == j ? 1.0f : 0.0f;
    const int a = (axis + 1) % 3, b = (axis + 2) % 3;
    r[a][a] = c;
    r[a][b] = -s;
    r[b][a] = s;
    r[b][b] = c;
}

// p = p x q (3 x 3)
static void multiply(float p[3][3], const float q[3][3])
{
    float out[3][3];
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) out[i][j] = p[i][0] * q[0][j] + p[i][1] * q[1][j] + p[i][2] * q[2][j];
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++) p[i][j] = out[i][j];
}

// Translate, then rotate by yaw about Y, pitch about X and roll about Z (the renderer's order)
static Placement placementOf(const object_pose &pose)
{
    Placement p = {};
    float r[3][3];
    axisRotation(1, pose.yaw, p.m);
    axisRotation(0, pose.pitch, r);
    multiply(p.m, r);
    axisRotation(2, pose.roll, r);
    multiply(p.m, r);
    p.t[0] = pose.x, p.t[1] = pose.y, p.t[2] = pose.z;
    return p;
}

// One corner of a face in the world
static RunVertex placedVertex(const Placement &p, const float v[3], const float n[3], tex_coord t)
{
    RunVertex out;
    out.x = p.m[0][0] * v[0] + p.m[0][1] * v[1] + p.m[0][2] * v[2] + p.t[0];
    out.y = p.m[1][0] * v[0] + p.m[1][1] * v[1] + p.m[1][2] * v[2] + p.t[1];
    out.z = p.m[2][0] * v[0] + p.m[2][1] * v[1] + p.m[2][2] * v[2] + p.t[2];
    out.nx = p.m[0][0] * n[0] + p.m[0][1] * n[1] + p.m[0][2] * n[2];
    out.ny = p.m[1][0] * n[0] + p.m[1][1] * n[1] + p.m[1][2] * n[2];
    out.nz = p.m[2][0] * n[0] + p.m[2][1] * n[1] + p.m[2][2] * n[2];
    out.s = t.s;
    out.t = t.t;
    return out;
}

// The piece the next face goes into: the last one when it shares the face's material and
// culling, else a new one
static RunPiece &pieceFor(MaterialRun &run, const material_record *material, bool culled, GLint first)
{
    if (!run.pieces.empty() && run.pieces.back().material == material && run.pieces.back().culled == culled)
        return run.pieces.back();
    RunPiece piece = {};
    piece.material = material;
    piece.values = material_values(material);
    piece.textured = material_is_textured(material) != 0;
    piece.opaque = material_is_opaque(material) != 0;
    piece.culled = culled;
    piece.first = first;
    run.pieces.push_back(piece);
    return run.pieces.back();
}

// Appends the triangles of the ring's corners (those present) as the GL cuts the primitive
static void appendTriangles(std::vector<RunVertex> &out, const std::vector<RunVertex> &corners, GLenum primitive,
                            RunPiece &piece)
{
    const size_t n = corners.size();
    static const int QUAD[6] = {0, 1, 3, 1, 2, 3};
    if (primitive == GL_TRIANGLES && n == 3) {
        out.insert(out.end(), corners.begin(), corners.end());
        piece.count += 3;
    } else if (primitive == GL_QUADS && n == 4) {
        for (int k : QUAD) out.push_back(corners[(size_t)k]);
        piece.count += 6;
    } else if (primitive == GL_POLYGON && n >= 3) {
        for (size_t k = 1; k + 1 < n; k++) {
            out.push_back(corners[0]);
            out.push_back(corners[k]);
            out.push_back(corners[k + 1]);
            piece.count += 3;
        }
    }
}

// Appends an object's faces, placed in the world, as drawFaces draws them
static void appendObject(MaterialRun &run, std::vector<RunVertex> &out, const primitiva *object,
                         material_record *objectMaterial)
{
    const ObjectFaceRules rules = objectFaceRules(object);
    const Placement place = placementOf(object->pose);
    std::vector<RunVertex> corners;
    int ordinal = 0;
    for (const cara *face = object->faces; face != nullptr && ordinal < rules.count; face = face->next, ordinal++) {
        material_record *material = faceMaterial(face, objectMaterial);
        const bool textured = material_is_textured(material) != 0;
        const int wrap = material ? material->wrapCount : 1;
        int present = 0;
        const GLenum primitive = primitiveOf(ringLength(face, &present));
        corners.clear();
        int index = 0;
        for (const arista *edge = face->ring; edge != nullptr; edge = edge->next, index++) {
            const vertice *v = edge->vertex;
            if (v == nullptr) continue;
            tex_coord t = {0.0f, 0.0f};
            if (textured) t = texture_coordinate_of(object, face, ordinal, index, v, wrap);
            const float position[3] = {v->x, v->y, v->z};
            const float vertexNormal[3] = {v->nx, v->ny, v->nz};
            corners.push_back(placedVertex(place, position, object->promediado == 1 ? vertexNormal : face->normal, t));
        }
        RunPiece &piece = pieceFor(run, material, faceCulled(rules, face) == 1, (GLint)out.size());
        appendTriangles(out, corners, primitive, piece);
    }
}

// True when the run was built from these objects, as they are now
static bool runHolds(const MaterialRun &run, const std::vector<scene_slot *> &slots, const material_record *material)
{
    if (run.buffer == 0 || run.material != material || run.members.size() != slots.size()) return false;
    for (size_t i = 0; i < slots.size(); i++) {
        const primitiva &object = slots[i]->object;
        const RunMember &member = run.members[i];
        auto stamp = stamps.find(object.nameBase);
        if (member.nameBase != object.nameBase || stamp == stamps.end() || stamp->second != member.stamp) return false;
        const object_pose &a = member.pose, &b = object.pose;
        if (a.x != b.x || a.y != b.y || a.z != b.z || a.yaw != b.yaw || a.pitch != b.pitch || a.roll != b.roll)
            return false;
    }
    return true;
}

// Builds the run's buffer from the objects
static void buildRun(MaterialRun &run, const std::vector<scene_slot *> &slots, material_record *material)
{
    run.material = material;
    run.members.clear();
    run.pieces.clear();
    std::vector<RunVertex> vertices;
    for (scene_slot *slot : slots) {
        const primitiva &object = slot->object;
        if (stamps.find(object.nameBase) == stamps.end()) stamps[object.nameBase] = ++lastStamp;
        run.members.push_back({object.nameBase, stamps[object.nameBase], object.pose});
        appendObject(run, vertices, &object, material);
    }
    if (run.buffer == 0) glGenBuffers(1, &run.buffer);
    glBindBuffer(GL_ARRAY_BUFFER, run.buffer);
    glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(vertices.size() * sizeof(RunVertex)), vertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    builds++;
}

static void freeRun(MaterialRun &run)
{
    if (run.buffer != 0) glDeleteBuffers(1, &run.buffer);
    run.buffer = 0;
}

//----------------------------------------------------------------------------------
// Private helpers: drawing
//----------------------------------------------------------------------------------

// Draws the pieces of a run, sending only what changes from one piece to the next
static void drawRun(const MaterialRun &run)
{
    glBindBuffer(GL_ARRAY_BUFFER, run.buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(RunVertex), (const void *)offsetof(RunVertex, x));
    glNormalPointer(GL_FLOAT, sizeof(RunVertex), (const void *)offsetof(RunVertex, nx));
    glTexCoordPointer(2, GL_FLOAT, sizeof(RunVertex), (const void *)offsetof(RunVertex, s));
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    const RunPiece *previous = nullptr;
    for (const RunPiece &piece : run.pieces) {
        if (previous == nullptr || piece.textured != previous->textured) {
            if (piece.textured) glEnable(GL_TEXTURE_2D);
            else glDisable(GL_TEXTURE_2D);
        }
        if (previous == nullptr || piece.material != previous->material) {
            apply_material_values(piece.values);
            if (piece.opaque) glDisable(GL_BLEND);
            else glEnable(GL_BLEND);
        }
        if (previous == nullptr || piece.culled != previous->culled) {
            if (piece.culled) glEnable(GL_CULL_FACE);
            else glDisable(GL_CULL_FACE);
        }
        if (piece.count > 0) glDrawArrays(GL_TRIANGLES, piece.first, piece.count);
        previous = &piece;
    }
    glEnable(GL_CULL_FACE);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
int sceneRunsAvailable()
{
    if (available >= 0) return available;
    const char *version = (const char *)glGetString(GL_VERSION);
    int major = 0, minor = 0;
    if (version == nullptr || sscanf(version, "%d.%d", &major, &minor) != 2) return 0;
    available = (major > 1 || (major == 1 && minor >= 5)) ? 1 : 0;
    return available;
}

void beginSceneRuns() { runsDrawn.fill(0); }

void drawSceneRun(int entry, const std::vector<scene_slot *> &slots, material_record *material)
{
    if (entry < 0 || entry >= USAGE_ENTRIES || slots.empty()) return;
    std::vector<MaterialRun> &list = runs[(size_t)entry];
    size_t at = runsDrawn[(size_t)entry]++;
    if (at == list.size()) list.emplace_back();
    MaterialRun &run = list[at];
    if (!runHolds(run, slots, material)) buildRun(run, slots, material);
    drawRun(run);
}

void endSceneRuns()
{
    for (size_t e = 0; e < runs.size(); e++) {
        std::vector<MaterialRun> &list = runs[e];
        for (size_t at = runsDrawn[e]; at < list.size(); at++) freeRun(list[at]);
        list.resize(runsDrawn[e]);
    }
}

void noteObjectRebuilt(int nameBase) { stamps[nameBase] = ++lastStamp; }

void clearSceneRuns()
{
    for (std::vector<MaterialRun> &list : runs) {
        for (MaterialRun &run : list) freeRun(run);
        list.clear();
    }
    runsDrawn.fill(0);
    stamps.clear();
    available = -1;
}

long sceneRunBuilds() { return builds; }
