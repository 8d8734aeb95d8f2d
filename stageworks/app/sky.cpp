/**********************************************************************************************
*
*   sky - the sky box and the sun
*
**********************************************************************************************/
#include "sky.h"

#include "app_state.h"
#include "camera.h"
#include "lights.h"
#include "textures.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <array>
#include <cmath>  // Required for: sinf(), cosf(), tanf(), fabsf()
#include <memory>

//----------------------------------------------------------------------------------
// Types and globals
//----------------------------------------------------------------------------------
namespace {

struct QuadricRelease {
    void operator()(GLUquadric *quadric) const { gluDeleteQuadric(quadric); }
};

// One face of the box: texture slot and its corners, each with (s, t) and the offsets
// (-1 or +1) from the centre along X, Y and Z, in the order bottom left, bottom right,
// top right, top left as seen from inside
struct SkyCorner {
    float s, t;
    float x, y, z;
};
struct SkyFace {
    int texture;
    std::array<SkyCorner, 4> corners;
};

// NOTE: bitmaps are stored bottom row first, so t = 0 is the bottom of the picture
const std::array<SkyFace, SKY_FACES> skyFaces = {{
    {0, {{{0, 0, -1, -1, -1}, {1, 0, 1, -1, -1}, {1, 1, 1, 1, -1}, {0, 1, -1, 1, -1}}}},   // minimum Z
    {1, {{{0, 0, 1, -1, 1}, {1, 0, -1, -1, 1}, {1, 1, -1, 1, 1}, {0, 1, 1, 1, 1}}}},       // maximum Z
    {2, {{{0, 0, -1, -1, 1}, {1, 0, 1, -1, 1}, {1, 1, 1, -1, -1}, {0, 1, -1, -1, -1}}}},   // floor
    {3, {{{0, 0, -1, 1, -1}, {1, 0, 1, 1, -1}, {1, 1, 1, 1, 1}, {0, 1, -1, 1, 1}}}},       // ceiling
    {4, {{{0, 0, -1, -1, 1}, {1, 0, -1, -1, -1}, {1, 1, -1, 1, -1}, {0, 1, -1, 1, 1}}}},   // minimum X
    {5, {{{0, 0, 1, -1, -1}, {1, 0, 1, -1, 1}, {1, 1, 1, 1, 1}, {0, 1, 1, 1, -1}}}},       // maximum X
}};

const std::array<const char *, SKY_FACES> skyBitmaps = {
    "Data/izpos2.bmp", "Data/izpos2.bmp", "Data/iypos2.bmp", "Data/iypos2.bmp", "Data/izpos2.bmp", "Data/izpos2.bmp",
};

std::array<int, SKY_FACES> skyTextures = {-1, -1, -1, -1, -1, -1};
std::unique_ptr<GLUquadric, QuadricRelease> sunQuadric;

// The sun's material: its yellowish diffuse colour, and for the rest the values of the default
// material (ambient 1, specular 0.1, no emission, shininess 64)
const GLfloat SUN_AMBIENT[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const GLfloat SUN_DIFFUSE[4] = {0.9f, 0.9f, 0.4f, 1.0f};
const GLfloat SUN_SPECULAR[4] = {0.1f, 0.1f, 0.1f, 1.0f};
const GLfloat SUN_EMISSION[4] = {0.0f, 0.0f, 0.0f, 1.0f};
const GLfloat SUN_SHININESS = 64.0f;

}  // namespace

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void createSunQuadric()
{
    sunQuadric.reset(gluNewQuadric());
    if (!sunQuadric) return;
    gluQuadricDrawStyle(sunQuadric.get(), GLU_FILL);
    gluQuadricNormals(sunQuadric.get(), GLU_SMOOTH);
    gluQuadricOrientation(sunQuadric.get(), GLU_INSIDE);
    gluQuadricTexture(sunQuadric.get(), GL_TRUE);
}

int sunQuadricReady() { return sunQuadric ? 1 : 0; }

void loadSkyTextures()
{
    for (int i = 0; i < SKY_FACES; i++) skyTextures[(size_t)i] = load_required_bitmap_texture(skyBitmaps[(size_t)i]);
}

int skyTexture(int face) { return (face >= 0 && face < SKY_FACES) ? skyTextures[(size_t)face] : -1; }

void setSkyTexture(int face, int glName)
{
    if (face >= 0 && face < SKY_FACES) skyTextures[(size_t)face] = glName;
}

void drawSkyBox(float edge)
{
    const Camera *camera = getCamera();
    float h = edge * 0.5f;
    glPushMatrix();
    glTranslatef(camera->x, camera->y, camera->z);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glDisable(GL_FOG);
    // NOTE: the sky keeps the colours of its pictures whatever the lights do
    glDisable(GL_LIGHTING);
    glColor3f(1.0f, 1.0f, 1.0f);
    for (const SkyFace &face : skyFaces) {
        int texture = skyTextures[(size_t)face.texture];
        if (texture >= 0) glBindTexture(GL_TEXTURE_2D, (GLuint)texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
        glBegin(GL_QUADS);
        for (const SkyCorner &c : face.corners) {
            glTexCoord2f(c.s, c.t);
            glVertex3f(c.x * h, c.y * h, c.z * h);
        }
        glEnd();
    }
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
}

int sunInView()
{
    const LightSet *lights = getLightSet();
    const Camera *camera = getCamera();
    float d[3] = {-camera->x, -camera->y, -camera->z};
    if (lights != nullptr) {
        for (int i = 0; i < 3; i++) d[i] += lights->lights[1].position[(size_t)i];
    }
    // NOTE: into the eye's frame as the view transform turns the world: -yaw about Y, then
    // -pitch about X, then -roll about Z
    const float k = CAMERA_PI / 180.0f;
    float c = cosf(-camera->yaw * k), s = sinf(-camera->yaw * k);
    float x = c * d[0] + s * d[2], y = d[1], z = -s * d[0] + c * d[2];
    c = cosf(-camera->pitch * k), s = sinf(-camera->pitch * k);
    float y2 = c * y - s * z, z2 = s * y + c * z;
    c = cosf(-camera->roll * k), s = sinf(-camera->roll * k);
    float x3 = c * x - s * y2, y3 = s * x + c * y2;
    // twice the sun's radius of room: a sphere near the edge of a wide view looks larger
    const float room = 2.0f * (float)SUN_RADIUS;
    float depth = -z2;
    if (depth < -room) return 0;
    float halfHeight = std::fmax(depth, 0.0f) * tanf(getFieldOfView() * 0.5f * k);
    return (fabsf(y3) <= halfHeight + room && fabsf(x3) <= halfHeight * FIXED_ASPECT + room) ? 1 : 0;
}

void drawSun()
{
    // NOTE: every value is set: the sun must not take what the last object's material left
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, SUN_AMBIENT);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, SUN_DIFFUSE);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, SUN_SPECULAR);
    glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, SUN_EMISSION);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, SUN_SHININESS);
    const LightSet *lights = getLightSet();
    if (lights != nullptr) {
        const std::array<float, 3> &p = lights->lights[1].position;
        glTranslatef(p[0], p[1], p[2]);
    }
    glColor3f(1.0f, 1.0f, 0.5f);
    if (sunQuadric) gluSphere(sunQuadric.get(), SUN_RADIUS, SUN_SLICES, SUN_STACKS);
}
