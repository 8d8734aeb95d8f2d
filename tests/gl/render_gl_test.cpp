// The scene drawn into a real GL context and read back: display lists rebuilt for dirty
// objects (missing from exactly that frame), the polygon counter, picks with their effects
// (nearest object, clone, delete, lock rules, appearance, events, scaling preview, play-mode
// reach), and the sky and sun of a whole display() frame.
#include "app_state.h"
#include "camera.h"
#include "gl_context.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "picking.h"
#include "render.h"
#include "scene_draw.h"
#include "sky.h"
#include "startup.h"
#include "textures.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

namespace {

constexpr int W = 1024, H = 768;

void noWarp(int, int) {}
void noCursor(int) {}
int width() { return W; }
int height() { return H; }
void noRedisplay() {}

struct Rgb {
    int r, g, b;
};

// An unlit material of one emitted colour
void addGlowing(const char *name, float r, float g, float b)
{
    material_record *m = new_material();
    m->name = name;
    m->pLuzDif = {0, 0, 0, 1};
    m->pLuzEsp = {0, 0, 0, 1};
    m->pLuzEmi = {r, g, b, 1};
    add_material(m);
}

// A pixel of the back buffer (window coordinates, y down)
Rgb backPixel(int x, int y)
{
    unsigned char p[3] = {0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, H - 1 - y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

// What the window shows (after a swap), read from the X server
xdriver::Image windowShot()
{
    glFinish();
    xdriver::XClient client;
    if (!client.open(glServer().display)) return {};
    return client.screenshot();
}

// Mean colour of a square of a picture
Rgb meanOf(const xdriver::Image &shot, int cx, int cy, int half)
{
    double rgb[3] = {0, 0, 0};
    xdriver::meanColour(shot, cx - half, cy - half, cx + half + 1, cy + half + 1, rgb);
    return {(int)rgb[0], (int)rgb[1], (int)rgb[2]};
}

bool isRed(Rgb c) { return c.r > 200 && c.g < 60 && c.b < 60; }
bool isGreen(Rgb c) { return c.g > 200 && c.r < 60 && c.b < 60; }
bool isBlack(Rgb c) { return c.r < 30 && c.g < 30 && c.b < 30; }

class RenderGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        setWindowOps({noWarp, noCursor, width, height, noRedisplay});
    }
    void SetUp() override
    {
        resetAppState();
        setPointerCaptured(0);
        create_material_table();
        create_texture_table();
        add_default_material();
        addGlowing("rojo", 1, 0, 0);
        addGlowing("verde", 0, 1, 0);
        rebuild_usage_table();
        set_creation_counter(0);
        build_sample_objects();
        createLightSet();
        setUpOpenGL();
        reshape(W, H);
        Camera camera = {};
        camera.y = 30.0f;
        setCamera(camera);
        applyView();
    }
    void TearDown() override
    {
        clear_objects();
        free_sample_objects();
        set_creation_counter(0);
        clear_material_table();
        clear_texture_table();
        resetAppState();
    }

    // An object of the kind and material at (x, y, z), scaled uniformly
    static int place(int kind, const char *material, float x, float y, float z, float scale = 1.0f)
    {
        set_current_material(material);
        int index = create_object(kind);
        set_current_material(nullptr);
        primitiva *o = object_at(index);
        o->pose = object_pose{x, y, z, 0, 0, 0};
        if (scale != 1.0f) {
            o->scaleX = o->scaleY = o->scaleZ = scale;
            finish_scaling(o);
        }
        return index;
    }

    // One scene frame on black
    static void frame()
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawScene();
    }

    // Where a world point lands (window coordinates, y down)
    static std::array<int, 2> screenOf(float x, float y, float z)
    {
        GLdouble model[16], projection[16], wx, wy, wz;
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
        return {(int)std::lround(wx), H - 1 - (int)std::lround(wy)};
    }

    // A scene pick at (x, y) with the button still down, carried out the way the display does it
    static void pickAt(int x, int y, bool play = false)
    {
        noteLeftButton(1);
        if (play) beginPlayPick(x, y);
        else beginPick(x, y);
        drawScene();
        endScenePick();
    }
    static void pickAt(const std::array<int, 2> &p) { pickAt(p[0], p[1]); }

    static int nameBaseOf(int index) { return object_at(index)->nameBase; }
    static int lockIdOf(int index) { return nameBaseOf(index) / 100000 - 1; }
};

}  // namespace

TEST_F(RenderGl, ADirtyObjectIsMissingFromExactlyTheFrameThatRebuildsItsList)
{
    int cube = place(KIND_CUBE, "rojo", 0, 30, -20);
    place(KIND_CUBE, "verde", 8, 30, -20);
    std::array<int, 2> centre = screenOf(0, 30, -20), side = screenOf(8, 30, -20);
    unsigned int *list = slot_display_list(cube);

    frame();  // both new: both lists built, nothing drawn
    EXPECT_TRUE(isBlack(backPixel(centre[0], centre[1])));
    EXPECT_TRUE(isBlack(backPixel(side[0], side[1])));
    EXPECT_EQ(getPolygonCount(), 12);
    ASSERT_NE(*list, 0u);
    EXPECT_TRUE(glIsList(*list));
    EXPECT_EQ(object_at(cube)->dirty, 0);

    frame();
    EXPECT_TRUE(isRed(backPixel(centre[0], centre[1])));
    EXPECT_TRUE(isGreen(backPixel(side[0], side[1])));
    EXPECT_EQ(getPolygonCount(), 0);

    // Only the dirty one misses a frame, and its list is rebuilt exactly once
    object_at(cube)->dirty = 1;
    frame();
    EXPECT_TRUE(isBlack(backPixel(centre[0], centre[1])));
    EXPECT_TRUE(isGreen(backPixel(side[0], side[1])));
    EXPECT_EQ(getPolygonCount(), 6);
    EXPECT_TRUE(glIsList(*list));
    frame();
    EXPECT_TRUE(isRed(backPixel(centre[0], centre[1])));
    EXPECT_EQ(getPolygonCount(), 0);
}

TEST_F(RenderGl, PolygonCounterCountsFacesDrawnFaceByFace)
{
    int cube = place(KIND_CUBE, "rojo", 0, 30, -20);
    place(KIND_PYRAMID, "verde", -8, 30, -20);
    int open = place(KIND_RECTANGLE, "rojo", 8, 30, -20);
    toggle_solido(object_at(open));  // open: the front face alone
    ASSERT_EQ(faces_to_draw(object_at(open)), 1);
    const int faces = 6 + 5 + 1;

    frame();
    EXPECT_EQ(getPolygonCount(), faces);  // while the lists were built
    frame();
    EXPECT_EQ(getPolygonCount(), 0);

    setUseDisplayLists(0);
    for (int i = 0; i < 3; i++) {
        frame();
        EXPECT_EQ(getPolygonCount(), faces);
    }
    std::array<int, 2> centre = screenOf(0, 30, -20);
    EXPECT_TRUE(isRed(backPixel(centre[0], centre[1])));  // face by face draws the same
    object_at(cube)->dirty = 1;
    frame();  // rebuilding one list still leaves it out of this frame
    EXPECT_EQ(getPolygonCount(), faces);  // five of them drawn, one compiled
    EXPECT_TRUE(isBlack(backPixel(centre[0], centre[1])));
}

TEST_F(RenderGl, APickSelectsTheNearerOfTwoOverlappingObjects)
{
    setEditingMode(ObjectEditing);
    int far = place(KIND_CUBE, "verde", 0, 30, -60);
    int near = place(KIND_CUBE, "rojo", 0, 30, -20);
    frame();
    std::array<int, 2> centre = screenOf(0, 30, -20);

    pickAt(centre);
    EXPECT_EQ(getLastHitName() / 100000 * 100000, nameBaseOf(near));
    int group = (getLastHitName() - nameBaseOf(near)) / 10000;
    EXPECT_EQ((getLastHitName() - nameBaseOf(near)) % 10000, 0);
    EXPECT_GE(group, 1);
    EXPECT_LE(group, 6);
    EXPECT_EQ(getSelectedObject(), object_at(near));
    EXPECT_EQ(getSelectedIndex(), near);
    EXPECT_EQ(getObjectHeld(), 1);
    EXPECT_FALSE(pickActive());

    // Depth decides, not the table order
    object_at(near)->pose.z = -100;
    pickAt(centre);
    EXPECT_EQ(getSelectedObject(), object_at(far));
    EXPECT_EQ(getSelectedIndex(), far);
}

TEST_F(RenderGl, AnEmptyPickStartsMouseLook)
{
    place(KIND_CUBE, "rojo", 0, 30, -20);
    frame();
    pickAt(5, 5);
    EXPECT_EQ(getLastHitName(), 0);
    EXPECT_EQ(getSelectedObject(), nullptr);
    EXPECT_EQ(getLookMode(), 1);
    EXPECT_EQ(getPointerCaptured(), 1);
    EXPECT_EQ(getObjectHeld(), 0);
}

TEST_F(RenderGl, CloneAndDeleteThroughPicks)
{
    setEditingMode(ObjectEditing);
    int cube = place(KIND_CUBE, "rojo", 0, 30, -20);
    frame();
    std::array<int, 2> centre = screenOf(0, 30, -20);

    setCurrentOperation(Clone);
    pickAt(centre);
    ASSERT_EQ(object_count(), 2);
    EXPECT_EQ(getSelectedObject(), nullptr);
    EXPECT_STREQ(first_material_name(object_at(1)), "rojo");
    EXPECT_EQ(usage_entry_at(usage_index_of("rojo"))->userCount, 2);

    // In navigation mode a pick only selects
    setEditingMode(Navigation);
    pickAt(centre);
    EXPECT_EQ(object_count(), 2);
    EXPECT_EQ(getSelectedObject(), object_at(cube));

    setEditingMode(ObjectEditing);
    setCurrentOperation(Delete);
    int deletedBase = nameBaseOf(cube);
    pickAt(centre);
    EXPECT_EQ(object_count(), 1);
    EXPECT_EQ(find_object_by_name_base(deletedBase), -1);
    EXPECT_EQ(getSelectedObject(), nullptr);
    EXPECT_EQ(usage_entry_at(usage_index_of("rojo"))->userCount, 1);
}

TEST_F(RenderGl, LockingFollowsItsRules)
{
    setEditingMode(ObjectEditing);
    int a = place(KIND_CUBE, "rojo", -6, 30, -20);
    int b = place(KIND_CUBE, "verde", 6, 30, -20);
    frame();
    std::array<int, 2> atA = screenOf(-6, 30, -20), atB = screenOf(6, 30, -20);

    // First click locks, second click on the same object unlocks
    setCurrentOperation(Lock);
    pickAt(atA);
    EXPECT_EQ(getLockedObject(), lockIdOf(a));
    pickAt(atA);
    EXPECT_EQ(getLockedObject(), -1);
    // Clicking another object locks that one instead
    pickAt(atA);
    pickAt(atB);
    EXPECT_EQ(getLockedObject(), lockIdOf(b));

    // With B locked, clicking A in Move mode gives the selection back to B
    setCurrentOperation(Move);
    setLookMode(0);
    pickAt(atA);
    EXPECT_EQ(getLockedObject(), lockIdOf(b));
    EXPECT_EQ(getSelectedObject(), object_at(b));
    EXPECT_EQ(getSelectedIndex(), b);
    EXPECT_EQ(getLastHitName(), nameBaseOf(b));
    EXPECT_EQ(getObjectHeld(), 0);
    EXPECT_EQ(getLookMode(), 1);
    EXPECT_EQ(getPointerCaptured(), 1);

    // Clicking B itself keeps it held
    pickAt(atB);
    EXPECT_EQ(getSelectedObject(), object_at(b));
    EXPECT_EQ(getObjectHeld(), 1);
    EXPECT_EQ(getLockedObject(), lockIdOf(b));

    // The locked object is drawn with a wire outline 10 % larger: its front face's vertical
    // edge shows just outside the object (the cube spans +-2 about its position; the outline
    // front face lies at z = -20 + 2.2, its right edge at x = 6 + 2.2)
    std::array<int, 2> outline = screenOf(6.0f + 2.2f, 30, -20.0f + 2.2f);
    auto outlinePixels = [&]() {
        frame();
        int count = 0;
        for (int x = outline[0] - 4; x <= outline[0] + 4; x++)
            if (!isBlack(backPixel(x, outline[1]))) count++;
        return count;
    };
    EXPECT_GT(outlinePixels(), 0);
    setLockedObject(-1);
    EXPECT_EQ(outlinePixels(), 0);
}

TEST_F(RenderGl, AppearanceAndEventsOpenOnlyForAnAllowedHit)
{
    int a = place(KIND_CUBE, "rojo", -6, 30, -20);
    int b = place(KIND_CUBE, "verde", 6, 30, -20);
    frame();
    std::array<int, 2> atA = screenOf(-6, 30, -20), atB = screenOf(6, 30, -20);

    setEditingMode(ObjectEditing);
    setCurrentOperation(Appearance);
    pickAt(atA);
    EXPECT_EQ(getEditorState(), 5);
    EXPECT_EQ(getSelectedObject(), object_at(a));

    setEditorState(0);
    setEditingMode(Events);
    pickAt(atB);
    EXPECT_EQ(getEditorState(), 7);
    EXPECT_EQ(getSelectedIndex(), b);

    // With A locked, a hit on B opens nothing
    setEditorState(0);
    setLockedObject(lockIdOf(a));
    pickAt(atB);
    EXPECT_EQ(getEditorState(), 0);
    EXPECT_EQ(getSelectedObject(), object_at(a));
}

TEST_F(RenderGl, AScalePickShowsTheObjectFromThePreviewList)
{
    setEditingMode(ObjectEditing);
    int cube = place(KIND_CUBE, "rojo", 0, 30, -20, 2.0f);
    int other = place(KIND_CUBE, "verde", 14, 30, -20, 2.0f);
    frame();
    std::array<int, 2> centre = screenOf(0, 30, -20);
    const primitiva *sample = sample_object(KIND_CUBE);
    ASSERT_NE(sample, nullptr);
    float unitX = sample->faces->ring->vertex->x;

    setCurrentOperation(ScaleUniform);
    pickAt(centre);
    EXPECT_NE(getScalingPreviewList(), 0u);
    EXPECT_EQ(getObjectHeld(), 1);
    primitiva *held = object_at(cube);
    EXPECT_FLOAT_EQ(held->faces->ring->vertex->x, unitX);  // vertices at unit scale
    EXPECT_FLOAT_EQ(held->scaleX, 2.0f);                   // factors kept

    // While held it is drawn from the preview at its factors: 1.5 x the unit cube's half side
    // is inside at scale 2 and outside at scale 1
    std::array<int, 2> edge = screenOf(1.5f * std::fabs(unitX), 30, -20);
    frame();
    EXPECT_TRUE(isRed(backPixel(edge[0], edge[1])));
    held->scaleX = held->scaleY = held->scaleZ = 1.0f;
    frame();
    EXPECT_TRUE(isBlack(backPixel(edge[0], edge[1])));
    held->scaleX = held->scaleY = held->scaleZ = 2.0f;
    finish_scaling(held);
    setObjectHeld(0);

    // With another object locked, a scale pick on this one leaves its shape alone
    frame();
    frame();
    setLockedObject(lockIdOf(other));
    pickAt(centre);
    EXPECT_EQ(getObjectHeld(), 0);
    EXPECT_FLOAT_EQ(object_at(cube)->faces->ring->vertex->x, 2.0f * unitX);
}

TEST_F(RenderGl, PlayPicksReachOnlyNearObjects)
{
    setPlayMode(1);
    place(KIND_CUBE, "rojo", 0, 30, -100, 3.0f);
    frame();
    std::array<int, 2> centre = screenOf(0, 30, -100);
    pickAt(centre[0], centre[1], true);
    EXPECT_NE(getLastHitName(), 0);
    EXPECT_EQ(getObjectHeld(), 0);
    EXPECT_EQ(getLookMode(), 1);

    setLastHitName(0);
    setSelectedObject(nullptr);
    setPointerCaptured(0);
    object_at(0)->pose.z = -200;
    centre = screenOf(0, 30, -200);
    pickAt(centre[0], centre[1], true);
    EXPECT_EQ(getLastHitName(), 0);
    EXPECT_EQ(getSelectedObject(), nullptr);
    EXPECT_EQ(getPointerCaptured(), 1);
    // the same object is within an edit pick's reach
    setPlayMode(0);
    pickAt(centre[0], centre[1]);
    EXPECT_NE(getLastHitName(), 0);
}

TEST_F(RenderGl, AClickReleasedBeforeItsPickEndsLeavesNothingHeld)
{
    int cube = place(KIND_CUBE, "rojo", 0, 30, -20);
    frame();
    std::array<int, 2> centre = screenOf(0, 30, -20);
    setEditingMode(ObjectEditing);
    setCurrentOperation(Move);
    noteLeftButton(1);
    beginPick(centre[0], centre[1]);
    noteLeftButton(0);  // released before the frame that ends the pick
    drawScene();
    endScenePick();
    EXPECT_EQ(getSelectedObject(), object_at(cube));
    EXPECT_EQ(getObjectHeld(), 0);  // a later pointer motion must not drag it
}

TEST_F(RenderGl, DisplayCarriesOutAPendingScenePick)
{
    int cube = place(KIND_CUBE, "rojo", 0, 30, -20);
    frame();
    std::array<int, 2> centre = screenOf(0, 30, -20);
    beginPick(centre[0], centre[1]);
    setPickPending(1);
    display();
    EXPECT_EQ(getPickPending(), 0);
    EXPECT_FALSE(pickActive());
    EXPECT_EQ(getSelectedObject(), object_at(cube));
    GLint mode = 0;
    glGetIntegerv(GL_RENDER_MODE, &mode);
    EXPECT_EQ(mode, GL_RENDER);
    GLint depth = 0;
    glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(RenderGl, AFrameShowsTheSkyTheSunAndTheObjectsInFront)
{
    const std::string data = std::string(SW_RUNDATA_DIR) + "/Data/";
    const char *bitmaps[SKY_FACES] = {"izpos2.bmp", "izpos2.bmp", "iypos2.bmp", "iypos2.bmp", "izpos2.bmp", "izpos2.bmp"};
    for (int i = 0; i < SKY_FACES; i++) setSkyTexture(i, load_bitmap_texture((data + bitmaps[i]).c_str()));
    ASSERT_EQ(sunQuadricReady(), 1);

    // Face the sun: at -35 degrees it stands up and towards -X, 55 degrees above the horizon
    Camera camera = {};
    camera.y = 30.0f;
    camera.yaw = 90.0f;
    camera.pitch = 55.0f;
    setCamera(camera);
    applyView();
    setSunAngle(-35.0f);
    // and a red cube 20 units away, below and to the right of the sun
    place(KIND_CUBE, "rojo", -11.47f, 40.0f, -8.0f);
    std::array<int, 2> cube = screenOf(-11.47f, 40.0f, -8.0f);
    display();  // builds the cube's list
    display();
    xdriver::Image shot = windowShot();
    ASSERT_GE(shot.width, W);
    ASSERT_GE(shot.height, H);
    xdriver::writePng(shot, std::string(SW_BUILD_DIR) + "/screenshots/gl_render_sun.png");

    // The sun sits right in the middle of the view: a bright yellowish disc
    Rgb sun = meanOf(shot, W / 2, H / 2, 6);
    EXPECT_GT(sun.r, 170);
    EXPECT_GT(sun.g, 170);
    EXPECT_LT(sun.b, sun.r - 60);
    // The cube is drawn over the sky
    ASSERT_GT(cube[0], 20);
    ASSERT_LT(cube[1], H - 20);
    EXPECT_TRUE(isRed(meanOf(shot, cube[0], cube[1], 3))) << cube[0] << "," << cube[1];
    // Around it the sky box: blue dominates
    Rgb sky = meanOf(shot, 60, 60, 10);
    EXPECT_GT(sky.b, sky.r);
    EXPECT_GT(sky.b, 120);
    for (int i = 0; i < SKY_FACES; i++) {
        GLuint name = (GLuint)skyTexture(i);
        glDeleteTextures(1, &name);
        setSkyTexture(i, -1);
    }
}
