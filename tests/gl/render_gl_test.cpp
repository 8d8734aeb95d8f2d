// The scene drawn into a real GL context and read back: display lists rebuilt for dirty
// objects (drawn in that same frame), the polygon counter, picks with their effects
// (nearest object, clone, delete, lock rules), and the sun of a whole display() frame.
#include "app_state.h"
#include "camera.h"
#include "gl_context.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "picking.h"
#include "render.h"
#include "scene_draw.h"
#include "scene_setup.h"
#include "sky.h"
#include "startup.h"
#include "textures.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

namespace {

constexpr int W = 1024, H = 768;
using Point = std::array<int, 2>;

// 'r' or 'g' for a clear red or green, 'k' for black, '?' otherwise
char colourOf(const double c[3])
{
    if (c[0] < 30 && c[1] < 30 && c[2] < 30) return 'k';
    if (c[2] >= 60 || std::fabs(c[0] - c[1]) < 140) return '?';
    return c[0] > c[1] ? 'r' : 'g';
}

// Colour of a pixel of the back buffer (window coordinates, y down)
char backPixel(const Point &p)
{
    unsigned char c[3] = {0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(p[0], H - 1 - p[1], 1, 1, GL_RGB, GL_UNSIGNED_BYTE, c);
    const double rgb[3] = {(double)c[0], (double)c[1], (double)c[2]};
    return colourOf(rgb);
}

class RenderGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        scene_setup::quietWindowOps();
    }
    void SetUp() override
    {
        scene_setup::startTables();
        scene_setup::addRedAndGreen();  // unlit materials of one emitted colour
        rebuild_usage_table();
        set_creation_counter(0);
        build_sample_objects();
        createLightSet();
        setUpOpenGL();
        registerPickHooks();
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
        clear_material_table();
        clear_texture_table();
    }
    // An object of the kind and material at (x, 30, z)
    static int place(int kind, const char *material, float x, float z)
    {
        return scene_setup::placeObject(kind, x, 30, z, material);
    }
    // One scene frame on black
    static void frame()
    {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawScene();
    }
    // Where a world point lands (window coordinates, y down)
    static Point screenOf(float x, float y, float z)
    {
        GLdouble model[16], projection[16], wx, wy, wz;
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(x, y, z, model, projection, viewport, &wx, &wy, &wz);
        return {(int)std::lround(wx), H - 1 - (int)std::lround(wy)};
    }
    // A scene pick with the button still down, carried out the way the display does it
    static void pickAt(const Point &p)
    {
        noteLeftButton(1);
        beginPick(p[0], p[1]);
        drawScene();
        endScenePick();
    }
    static int nameBaseOf(int index) { return object_at(index)->nameBase; }
    static int lockIdOf(int index) { return nameBaseOf(index) / 100000 - 1; }
};

}  // namespace

TEST_F(RenderGl, ADirtyObjectIsDrawnInTheFrameThatRebuildsItsListAndPolygonsAreCounted)
{
    int cube = place(KIND_CUBE, "rojo", 0, -20);
    place(KIND_CUBE, "verde", 8, -20);
    toggle_solido(object_at(place(KIND_RECTANGLE, "rojo", -8, -20)));  // open: the front face alone
    const int faces = 6 + 6 + 1;
    const Point centre = screenOf(0, 30, -20), side = screenOf(8, 30, -20);
    // {display lists, dirty cube before the frame, centre, side, polygons counted}
    struct { int lists, dirty; char centre, side; int polygons; } frames[] = {
        {1, 0, 'r', 'g', faces}, {1, 0, 'r', 'g', 0}, {1, 1, 'r', 'g', 6}, {1, 0, 'r', 'g', 0},
        {0, 0, 'r', 'g', faces}, {0, 0, 'r', 'g', faces}, {0, 1, 'r', 'g', faces}};
    for (const auto &f : frames) {
        setUseDisplayLists(f.lists);
        object_at(cube)->dirty |= f.dirty;
        frame();
        EXPECT_EQ(backPixel(centre), f.centre) << &f - frames;
        EXPECT_EQ(backPixel(side), f.side) << &f - frames;
        EXPECT_EQ(getPolygonCount(), f.polygons) << &f - frames;
    }
}

namespace {

int backgroundCalls = 0;

// A green wall far behind everything, unlit and without fog, as the sky is drawn
void greenBackground()
{
    backgroundCalls++;
    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.0f, 1.0f, 0.0f);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glBegin(GL_QUADS);
    glVertex3f(-2000, -2000, -900);
    glVertex3f(-2000, 2000, -900);
    glVertex3f(2000, 2000, -900);
    glVertex3f(2000, -2000, -900);
    glEnd();
    glPopMatrix();
    glEnable(GL_LIGHTING);
    glEnable(GL_FOG);
}

// The red and green levels of a back-buffer pixel
std::array<int, 2> redGreen(const Point &p)
{
    unsigned char c[3] = {0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(p[0], H - 1 - p[1], 1, 1, GL_RGB, GL_UNSIGNED_BYTE, c);
    return {c[0], c[1]};
}

}  // namespace

TEST_F(RenderGl, TheBackgroundIsDrawnOnceBehindOpaqueObjectsAndUnderSeeThroughOnes)
{
    material_record *glass = new_material();
    glass->name = "cristal";
    glass->pLuzDif = glass->pLuzEsp = {0, 0, 0, 1};
    glass->pLuzEmi = {1, 0, 0, 1};
    glass->pBlend = 0.5f;
    add_material(glass);
    rebuild_usage_table();
    auto sceneFrame = [] {
        backgroundCalls = 0;
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawScene(greenBackground);
    };
    sceneFrame();  // nothing placed yet: the background alone
    EXPECT_EQ(backgroundCalls, 1);
    EXPECT_EQ(redGreen({W / 2, H / 2})[1], 255);

    place(KIND_CUBE, "rojo", -8, -20);
    place(KIND_CUBE, "cristal", 8, -20);
    const Point solid = screenOf(-8, 30, -20), seeThrough = screenOf(8, 30, -20);
    for (int lists : {1, 0}) {
        setUseDisplayLists(lists);
        for (int f = 0; f < 2; f++) sceneFrame();  // the first frame builds the lists
        EXPECT_EQ(backgroundCalls, 1) << lists;
        std::array<int, 2> front = redGreen(solid), blended = redGreen(seeThrough), open = redGreen({4, 4});
        EXPECT_EQ(front[0], 255) << lists;  // hidden behind the opaque cube
        EXPECT_EQ(front[1], 0) << lists;
        EXPECT_NEAR(blended[0], 128, 3) << lists;  // half the glass over the background
        EXPECT_NEAR(blended[1], 128, 3) << lists;
        EXPECT_EQ(open[1], 255) << lists;
    }
}

TEST_F(RenderGl, APickSelectsTheNearerOfTwoOverlappingObjectsAndAnEmptyPickStartsMouseLook)
{
    setEditingMode(ObjectEditing);
    int far = place(KIND_CUBE, "verde", 0, -60);
    int near = place(KIND_CUBE, "rojo", 0, -20);
    frame();
    const Point centre = screenOf(0, 30, -20);
    pickAt(centre);
    const int offset = getLastHitName() - nameBaseOf(near);  // face group 1 to 6, vertex 0
    EXPECT_TRUE(offset % 10000 == 0 && offset >= 10000 && offset <= 60000) << offset;
    EXPECT_EQ(getSelectedIndex(), near);
    EXPECT_EQ(getObjectHeld(), 1);
    EXPECT_FALSE(pickActive());
    object_at(near)->pose.z = -100;  // depth decides, not the table order
    noteLeftButton(1);
    beginPick(centre[0], centre[1]);
    noteLeftButton(0);  // released before the frame that ends the pick: nothing left held
    drawScene();
    endScenePick();
    EXPECT_EQ(getSelectedObject(), object_at(far));
    EXPECT_EQ(getObjectHeld(), 0);

    setEditingMode(Navigation);
    setSelectedObject(nullptr);
    setObjectHeld(0);
    setLastHitName(0);
    pickAt({5, 5});
    EXPECT_EQ(getLastHitName(), 0);
    EXPECT_EQ(getSelectedObject(), nullptr);
    EXPECT_EQ(getPointerCaptured() + getLookMode() - getObjectHeld(), 2);
}

TEST_F(RenderGl, CloneAndDeleteThroughPicks)
{
    setEditingMode(ObjectEditing);
    int cube = place(KIND_CUBE, "rojo", 0, -20);
    frame();
    const Point centre = screenOf(0, 30, -20);
    setCurrentOperation(Clone);
    pickAt(centre);
    ASSERT_EQ(object_count(), 2);
    setEditingMode(Navigation);  // a pick only selects
    pickAt(centre);
    EXPECT_EQ(object_count(), 2);
    setEditingMode(ObjectEditing);
    setCurrentOperation(Delete);
    const int deletedBase = nameBaseOf(cube);
    pickAt(centre);
    EXPECT_EQ(object_count(), 1);
    EXPECT_EQ(find_object_by_name_base(deletedBase), -1);
    EXPECT_EQ(getSelectedObject(), nullptr);
}

TEST_F(RenderGl, LockingFollowsItsRules)
{
    setEditingMode(ObjectEditing);
    int a = place(KIND_CUBE, "rojo", -6, -20);
    int b = place(KIND_CUBE, "verde", 6, -20);
    frame();
    const Point atA = screenOf(-6, 30, -20), atB = screenOf(6, 30, -20);
    setCurrentOperation(Lock);
    pickAt(atA);
    EXPECT_EQ(getLockedObject(), lockIdOf(a));
    pickAt(atA);  // a second click unlocks
    EXPECT_EQ(getLockedObject(), -1);
    pickAt(atA);
    pickAt(atB);  // another object is locked instead
    EXPECT_EQ(getLockedObject(), lockIdOf(b));

    setCurrentOperation(Move);  // B locked: clicking A gives the selection back to B
    pickAt(atA);
    EXPECT_EQ(getSelectedIndex(), b);
    EXPECT_EQ(getLastHitName(), nameBaseOf(b));
    EXPECT_EQ(getObjectHeld(), 0);
    EXPECT_EQ(getLookMode(), 1);
    pickAt(atB);  // clicking B itself holds it
    EXPECT_EQ(getObjectHeld(), 1);
}

TEST_F(RenderGl, DisplayCarriesOutAPendingPickAndShowsTheSunAndTheObjects)
{
    ASSERT_EQ(sunQuadricReady(), 1);
    // Face the sun: at -35 degrees it stands up and towards -X, 55 degrees above the horizon;
    // a red cube 20 units away below and to the right of it
    Camera camera = {};
    camera.y = 30.0f, camera.yaw = 90.0f, camera.pitch = 55.0f;
    setCamera(camera);
    applyView();
    setSunAngle(-35.0f);
    int index = place(KIND_CUBE, "rojo", -11.47f, -8.0f);
    object_at(index)->pose.y = 40.0f;
    const Point cube = screenOf(-11.47f, 40.0f, -8.0f);
    display();  // builds the cube's list
    beginPick(cube[0], cube[1]);
    setPickPending(1);
    display();
    EXPECT_EQ(getPickPending(), 0);
    EXPECT_EQ(getSelectedObject(), object_at(index));
    EXPECT_FALSE(pickActive());  // back to drawing

    display();
    glFinish();
    xdriver::XClient client;
    ASSERT_TRUE(client.open(glServer().display));
    xdriver::Image shot = client.screenshot();
    ASSERT_GE(shot.width, W);
    double sun[3];
    xdriver::meanColour(shot, W / 2 - 6, H / 2 - 6, W / 2 + 7, H / 2 + 7, sun);  // a bright yellowish disc
    EXPECT_TRUE(sun[0] > 170 && sun[1] > 170 && sun[2] < sun[0] - 60) << sun[0] << " " << sun[1] << " " << sun[2];
}

TEST_F(RenderGl, AHoverPickLeftByAMenuThatAClickClosedStartsNoMouseLook)
{
    // pointer motion over an open menu asks the next frame for a panel pick; a click closes
    // the menu before that frame comes
    setEditorState(2);
    setPanelPickPosition(W / 2, H / 2);
    setPickPending(1);
    setEditorState(0);
    display();
    EXPECT_EQ(getPickPending(), 0);
    EXPECT_EQ(getLookMode(), 0);
    EXPECT_FALSE(pickActive());
}

TEST_F(RenderGl, TheSunLooksTheSameWhateverMaterialWasDrawnBeforeIt)
{
    // Facing the sun, with one object whose material is the last one applied before the sky
    // and the sun; its material changes between two frames: red, then green emission
    Camera camera = {};
    camera.y = 30.0f, camera.yaw = 90.0f, camera.pitch = 55.0f;
    setCamera(camera);
    applyView();
    setSunAngle(-35.0f);
    int index = place(KIND_CUBE, "rojo", 20.0f, 20.0f);  // behind the viewer
    placeMovingLights();
    EXPECT_EQ(sunInView(), 1);
    xdriver::XClient client;
    ASSERT_TRUE(client.open(glServer().display));
    double sun[2][3];
    for (int look = 0; look < 2; look++) {
        if (look == 1) assign_material(index, "verde");
        display();
        glFinish();
        xdriver::Image shot = client.screenshot();
        ASSERT_GE(shot.width, W);
        xdriver::meanColour(shot, W / 2 - 6, H / 2 - 6, W / 2 + 7, H / 2 + 7, sun[look]);
    }
    for (int c = 0; c < 3; c++) EXPECT_NEAR(sun[0][c], sun[1][c], 1.0) << c;
    EXPECT_TRUE(sun[0][0] > 170 && sun[0][1] > 170 && sun[0][2] < sun[0][0] - 60)
        << sun[0][0] << " " << sun[0][1] << " " << sun[0][2];

    // whether the sun can show: beside the view's edge it still may, turned away or from the
    // start view it does not
    camera.pitch = 30.0f;  // the sun's centre 2.5 degrees above the top edge: its rim shows
    setCamera(camera);
    EXPECT_EQ(sunInView(), 1);
    camera.pitch = 20.0f;
    setCamera(camera);
    EXPECT_EQ(sunInView(), 0);
    camera.yaw = 270.0f;
    setCamera(camera);
    EXPECT_EQ(sunInView(), 0);
    setCamera(Camera{-41.51f, 30.0f, 38.74f, 314.22f, -8.82f, 0, 0, 0});
    placeMovingLights();
    EXPECT_EQ(sunInView(), 0);
}
