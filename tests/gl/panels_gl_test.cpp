// The menus drawn into a real GL context: every button is where the layout says (a panel
// pick at its projected centre finds its name), shows its idle, hovered or pressed picture,
// the reduced selection pass of an edge panel over a button, and the editor screen drawn
// for each editorState. Each bitmap becomes a plain colour texture: idle red, hovered green,
// pressed blue, backgrounds grey.
#include "app_state.h"
#include "camera.h"
#include "commands.h"
#include "gl_context.h"
#include "menus.h"
#include "picking.h"
#include "view_projection.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int W = 1024, H = 768;

struct Rgb {
    int r, g, b;
};

std::vector<GLuint> madeTextures;

// A 4 x 4 texture of the colour the bitmap's name stands for
int colourTexture(const char *path)
{
    std::string p = path;
    std::array<unsigned char, 3> c = {255, 0, 0};
    if (p.find("Data/menu") == 0 || p.find("events") != std::string::npos) c = {128, 128, 128};
    else if (p.find("Move") != std::string::npos || p.find("Selected") != std::string::npos) c = {0, 255, 0};
    else if (p.find("Down") != std::string::npos) c = {0, 0, 255};
    std::array<unsigned char, 48> pixels;
    for (size_t i = 0; i < pixels.size(); i++) pixels[i] = c[i % 3];
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 4, 4, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    madeTextures.push_back(name);
    return (int)name;
}

struct Pixel {
    int x, y;
};

// Window position of a point of a panel's own frame
Pixel onScreen(const ButtonPanel *panel, PanelPoint local)
{
    PanelPoint eye = panelToEye(*panel, local);
    view_test::ScreenPoint s = view_test::projectPoint(eye.x, eye.y, eye.z, 0, 0, 0, 0, 0);
    EXPECT_TRUE(view_test::onScreen(s));
    return {(int)std::lround(s.x), (int)std::lround(s.y)};
}

Pixel buttonPixel(const ButtonPanel *panel, int index) { return onScreen(panel, buttonCentre(*panel, index)); }

// A pixel of the back buffer (window coordinates, y down)
Rgb backPixel(Pixel p)
{
    unsigned char c[3] = {0, 0, 0};
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(p.x, H - 1 - p.y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, c);
    return {c[0], c[1], c[2]};
}

bool isRed(Rgb c) { return c.r > 200 && c.g < 40 && c.b < 40; }
bool isGreen(Rgb c) { return c.g > 200 && c.r < 40 && c.b < 40; }
bool isBlue(Rgb c) { return c.b > 200 && c.r < 40 && c.g < 40; }
bool isGrey(Rgb c) { return std::abs(c.r - 128) < 12 && std::abs(c.g - 128) < 12 && std::abs(c.b - 128) < 12; }
bool isBlack(Rgb c) { return c.r < 20 && c.g < 20 && c.b < 20; }

// The name a panel pick at p finds, with the given pickName left by the previous pass
int pickAt(const ButtonPanel *panel, Pixel p, int previousName)
{
    setPickName(previousName);
    beginPick(p.x, p.y);
    drawPanel(panel, 1);
    endPanelPick();
    return getPickName();
}

std::vector<ButtonPanel *> allMenus()
{
    return {primitiveMenu(), operationMenu(), fileMenu(), modeMenu(), appearanceMenu()};
}

class PanelsGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        resetAppState();
        setPanelTextureLoader(colourTexture);
        buildMenus();
        buildEventPanel();
        for (ButtonPanel *panel : allMenus())
            if (panel->placement != PlacementFree) panel->angle = SWING_REST_ANGLE;
    }
    static void TearDownTestSuite()
    {
        for (ButtonPanel *panel : allMenus()) releasePanelGl(panel);
        releasePanelGl(eventPanel());
        freeMenus();
        setPanelTextureLoader(nullptr);
        madeTextures.clear();
    }
    void SetUp() override
    {
        resetAppState();
        reshape(W, H);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glDisable(GL_FOG);
        glDisable(GL_DEPTH_TEST);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }
};

}  // namespace

TEST_F(PanelsGl, EveryButtonIsPickedAtItsProjectedCentre)
{
    for (ButtonPanel *panel : allMenus())
        for (int i = 0; i < panel->buttonCount; i++)
            EXPECT_EQ(pickAt(panel, buttonPixel(panel, i), 0), panelName(*panel, i)) << "panel " << panel->id << " button " << i;
    EXPECT_FALSE(pickActive());
}

TEST_F(PanelsGl, BackgroundAndEmptySpaceUnderThePointer)
{
    // Left of the appearance menu's buttons lies its background; right of the menu nothing
    ButtonPanel *appearance = appearanceMenu();
    EXPECT_EQ(pickAt(appearance, onScreen(appearance, {-3.6f, 0.0f, 0.0f}), 0), 500);
    EXPECT_EQ(pickAt(appearance, onScreen(appearance, {6.0f, 0.0f, 0.0f}), 0), 0);
    // Between the two columns of the primitive menu
    ButtonPanel *primitive = primitiveMenu();
    PanelPoint a = buttonCentre(*primitive, 0), b = buttonCentre(*primitive, 1);
    EXPECT_EQ(pickAt(primitive, onScreen(primitive, {(a.x + b.x) / 2, a.y, 0.0f}), 0), 100);
}

TEST_F(PanelsGl, OverAButtonAnEdgePanelPicksOnlyThatButton)
{
    ButtonPanel *primitive = primitiveMenu();
    // Still over the lit button: found again
    EXPECT_EQ(pickAt(primitive, buttonPixel(primitive, 0), 101), 101);
    // Moved to another button or the background: nothing, so the next pass draws everything
    EXPECT_EQ(pickAt(primitive, buttonPixel(primitive, 2), 101), 0);
    PanelPoint a = buttonCentre(*primitive, 0), b = buttonCentre(*primitive, 1);
    EXPECT_EQ(pickAt(primitive, onScreen(primitive, {(a.x + b.x) / 2, a.y, 0.0f}), 101), 0);
    EXPECT_EQ(pickAt(primitive, buttonPixel(primitive, 2), 0), 103);

    // A free panel draws everything in every pass
    ButtonPanel *appearance = appearanceMenu();
    EXPECT_EQ(pickAt(appearance, buttonPixel(appearance, 1), 501), 502);
}

TEST_F(PanelsGl, ButtonsShowTheirIdleHoveredAndPressedPictures)
{
    ButtonPanel *operation = operationMenu();
    drawPanel(operation, 0);
    for (int i = 0; i < operation->buttonCount; i++) {
        Rgb c = backPixel(buttonPixel(operation, i));
        if (i == 4) EXPECT_TRUE(isBlue(c)) << "pressed button: " << c.r << " " << c.g << " " << c.b;
        else EXPECT_TRUE(isRed(c)) << "button " << i << ": " << c.r << " " << c.g << " " << c.b;
    }
    // The background shows between the rows
    PanelPoint top = buttonCentre(*operation, 0), below = buttonCentre(*operation, 4);
    EXPECT_TRUE(isGrey(backPixel(onScreen(operation, {top.x, (top.y + below.y) / 2, 0.0f}))));

    // Hovered: the move picture; a pressed button keeps its down picture
    setPickName(202);
    drawPanel(operation, 0);
    EXPECT_TRUE(isGreen(backPixel(buttonPixel(operation, 1))));
    EXPECT_TRUE(isRed(backPixel(buttonPixel(operation, 0))));
    setPickName(205);
    drawPanel(operation, 0);
    EXPECT_TRUE(isBlue(backPixel(buttonPixel(operation, 4))));
}

TEST_F(PanelsGl, TheEditorScreenDrawsThePanelOfTheState)
{
    // File menu in state 3 (a top panel, its buttons in one row)
    setEditorState(3);
    drawEditorScreen(0);
    for (int i = 0; i < 4; i++) EXPECT_TRUE(isRed(backPixel(buttonPixel(fileMenu(), i)))) << i;

    // The event panel's background in the event editor states, none in state 6
    glClear(GL_COLOR_BUFFER_BIT);
    setEditorState(6);
    drawEditorScreen(0);
    Pixel middle = onScreen(eventPanel(), {0.0f, 0.0f, 0.0f});
    EXPECT_TRUE(isBlack(backPixel(middle)));
    setEditorState(12);
    drawEditorScreen(0);
    EXPECT_TRUE(isGrey(backPixel(middle)));

    // The modelview matrix is left as it was
    std::array<GLfloat, 16> m;
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    for (int i = 0; i < 16; i++) EXPECT_EQ(m[(size_t)i], (i % 5 == 0) ? 1.0f : 0.0f);
}
