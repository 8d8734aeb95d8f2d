/**********************************************************************************************
*
*   floor_frame - the floor of a scene's frame: the same picture drawn with the least work
*
*   Usage: floor_frame [--flush-every N]   (in a scene directory, on an X server with the
*                                          1024x768@75 game mode; ends when killed)
*
*   Loads escena.xml as stageworks does and draws, frame after frame as fast as it can, what
*   stageworks draws at its start view: the same triangles (the exporter's geometry of every
*   object moved to world space, with its normals and texture coordinates), the same lights,
*   fog, textures with their matrices, blending for see-through materials, the sky box and the
*   sun behind the opaque objects. Each material's triangles lie in large vertex buffers, one
*   for each way they are culled and each face material, drawn with one glDrawArrays each
*   after one change of material. The renderer is flushed after the materials that hold the
*   first N objects (default 50) and then after each further 4 N, as stageworks does.
*
*   What stageworks does beyond this (one object at a time, selection names, display lists)
*   is its own cost: frame_rate.sh runs both in the same run and gives the ratio.
*
*   DEPENDENCIES: sw_app (start-up set-up, sky and sun), sw_export (the exporter's meshes),
*                 sw_scenefile (loading), OpenGL 1.5 (vertex buffers), freeglut
*
**********************************************************************************************/
#define GL_GLEXT_PROTOTYPES  // Required for: glGenBuffers(), glBindBuffer(), glBufferData()
#include "camera.h"
#include "events.h"
#include "export_mesh.h"
#include "flags.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "scene_reader.h"
#include "sky.h"
#include "startup.h"
#include "textures.h"

#include <GL/freeglut.h>
#include <GL/glext.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

//----------------------------------------------------------------------------------
// Types and globals
//----------------------------------------------------------------------------------

// Interleaved vertex: position, normal, texture coordinate
struct Vertex {
    float x, y, z;
    float nx, ny, nz;
    float s, t;
};

// The triangles of one usage entry drawn in one material and one culling choice
struct Batch {
    const material_record *material = nullptr;
    bool doubleSided = false;
    std::vector<Vertex> vertices;
    GLuint buffer = 0;
};

// One usage entry: its material, whose texture is bound for all its batches
struct Entry {
    material_record *material = nullptr;
    int objects = 0;
    std::vector<Batch> batches;
};

std::vector<Entry> entries;
int flushEvery = 50;

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------

// Rotation of a vector by the pose's yaw about Y, pitch about X, roll about Z (glRotatef)
void rotate(const object_pose &pose, const float in[3], float out[3])
{
    const float d = 3.14159265f / 180.0f;
    float cr = cosf(pose.roll * d), sr = sinf(pose.roll * d);
    float cp = cosf(pose.pitch * d), sp = sinf(pose.pitch * d);
    float cy = cosf(pose.yaw * d), sy = sinf(pose.yaw * d);
    float x = in[0] * cr - in[1] * sr, y = in[0] * sr + in[1] * cr, z = in[2];  // roll
    float y2 = y * cp - z * sp, z2 = y * sp + z * cp;                         // pitch
    out[0] = x * cy + z2 * sy;                                                // yaw
    out[1] = y2;
    out[2] = -x * sy + z2 * cy;
}

// The batch of an entry for a material and culling choice
Batch &batchFor(Entry &entry, const material_record *material, bool doubleSided)
{
    for (Batch &b : entry.batches)
        if (b.material == material && b.doubleSided == doubleSided) return b;
    entry.batches.push_back(Batch());
    entry.batches.back().material = material;
    entry.batches.back().doubleSided = doubleSided;
    return entry.batches.back();
}

// Adds an object's triangles to its entry, in world space and wound clockwise from the front
// as stageworks draws them
void addObject(Entry &entry, const primitiva *object)
{
    ObjectMesh mesh = buildObjectMesh(object, entry.material);
    for (const MeshPart &part : mesh.parts) {
        if (part.lines) continue;
        Batch &batch = batchFor(entry, part.material, part.doubleSided);
        for (size_t i = 0; i + 2 < part.indices.size(); i += 3) {
            const uint32_t corner[3] = {part.indices[i], part.indices[i + 2], part.indices[i + 1]};
            for (uint32_t k : corner) {
                float p[3], n[3];
                rotate(object->pose, &mesh.positions[k * 3], p);
                rotate(object->pose, &mesh.normals[k * 3], n);
                batch.vertices.push_back({p[0] + object->pose.x, p[1] + object->pose.y, p[2] + object->pose.z, n[0], n[1],
                                          n[2], mesh.texcoords[k * 2], 1.0f - mesh.texcoords[k * 2 + 1]});
            }
        }
    }
    entry.objects++;
}

// Every usage entry with users, in the order stageworks draws them, into vertex buffers
void buildEntries()
{
    for (int e = 0; e < USAGE_ENTRIES; e++) {
        const usage_entry *usage = usage_entry_at(e);
        if (usage->userCount < 1) continue;
        Entry entry;
        entry.material = usage->material;
        for (const scene_slot *slot : usage->users)
            if (slot_index(slot) >= 0) addObject(entry, &slot->object);
        for (Batch &b : entry.batches) {
            glGenBuffers(1, &b.buffer);
            glBindBuffer(GL_ARRAY_BUFFER, b.buffer);
            glBufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(b.vertices.size() * sizeof(Vertex)), b.vertices.data(),
                         GL_STATIC_DRAW);
        }
        entries.push_back(std::move(entry));
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// The entry's texture bound with its matrix, as stageworks binds it
void bindTexture(material_record *material)
{
    if (!material_is_textured(material)) return;
    bind_material_texture(material);
    apply_texture_matrix(*material->texture);
}

// The sky box and the sun, behind what is drawn so far
void drawSky()
{
    static const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_BLEND);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, white);
    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    drawSkyBox(SKY_BOX_EDGE);
    glPushMatrix();
    drawSun();
    glPopMatrix();
    glEnable(GL_FOG);
    glEnable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
}

// One frame
void display()
{
    glClearColor(0.0f, 0.5f, 0.75f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    applyView();
    placeMovingLights();
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);

    bool skyDrawn = false;
    int sent = 0;
    for (Entry &entry : entries) {
        if (!skyDrawn && !material_is_opaque(entry.material)) {
            drawSky();
            skyDrawn = true;
        }
        bindTexture(entry.material);
        for (Batch &b : entry.batches) {
            if (material_is_textured(b.material)) glEnable(GL_TEXTURE_2D);
            else glDisable(GL_TEXTURE_2D);
            apply_material(b.material);
            if (material_is_opaque(b.material)) glDisable(GL_BLEND);
            else glEnable(GL_BLEND);
            if (b.doubleSided) glDisable(GL_CULL_FACE);
            else glEnable(GL_CULL_FACE);
            glBindBuffer(GL_ARRAY_BUFFER, b.buffer);
            glVertexPointer(3, GL_FLOAT, sizeof(Vertex), (const void *)0);
            glNormalPointer(GL_FLOAT, sizeof(Vertex), (const void *)(3 * sizeof(float)));
            glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), (const void *)(6 * sizeof(float)));
            glDrawArrays(GL_TRIANGLES, 0, (GLsizei)b.vertices.size());
        }
        int before = sent;
        sent += entry.objects;
        if (flushEvery > 0 && (before < flushEvery) != (sent < flushEvery)) glFlush();
        else if (flushEvery > 0 && before / (4 * flushEvery) != sent / (4 * flushEvery)) glFlush();
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    if (!skyDrawn) drawSky();
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glutSwapBuffers();
}

void idle() { glutPostRedisplay(); }

}  // namespace

int main(int argc, char **argv)
{
    glutInit(&argc, argv);
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--flush-every") == 0 && i + 1 < argc) flushEvery = atoi(argv[++i]);
        else {
            fprintf(stderr, "Usage: floor_frame [--flush-every N]\n");
            return 2;
        }
    }
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutGameModeString("1024x768:32@75");
    if (!glutGameModeGet(GLUT_GAME_MODE_POSSIBLE)) {
        fprintf(stderr, "floor_frame: no game mode\n");
        return 1;
    }
    glutEnterGameMode();
    setvbuf(stdout, nullptr, _IOLBF, 0);

    create_material_table();
    create_texture_table();
    createFlagTable();
    set_event_set_release(freeEventSet);
    add_default_material();
    rebuild_usage_table();
    createLightSet();
    setUpOpenGL();
    reshape(1024, 768);
    loadSkyTextures();
    printf(" XML loading...\n");
    if (!loadScene()) {
        fprintf(stderr, "floor_frame: escena.xml was not loaded\n");
        return 1;
    }
    load_all_textures();
    buildEntries();

    glutDisplayFunc(display);
    glutIdleFunc(idle);
    printf(" MainLoop started...\n");
    glutMainLoop();
    return 0;
}
