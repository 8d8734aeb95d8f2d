// The menus drawn into a real GL context: every button is where the layout says (a panel
// pick at its projected centre finds its name), shows its idle, hovered or pressed picture,
// and the reduced selection pass of an edge panel over a button. Each bitmap becomes a plain
// colour texture: idle red, hovered green, pressed blue, backgrounds grey.
#include "app_state.h"
#include "camera.h"
#include "commands.h"
#include "gl_context.h"
#include "menus.h"
#include "panel_pixels.h"
#include "picking.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace panel_test;

namespace {

// The colour the bitmap's name stands for
int namedColourTexture(const char *path)
{
    std::string p = path;
    if (p.find("Data/menu") == 0 || p.find("events") != std::string::npos) return colourTexture({128, 128, 128});
    if (p.find("Move") != std::string::npos || p.find("Selected") != std::string::npos) return colourTexture({0, 255, 0});
    if (p.find("Down") != std::string::npos) return colourTexture({0, 0, 255});
    return colourTexture({255, 0, 0});
}

// Window position of a point of a panel's own frame
Pixel onScreen(const ButtonPanel *panel, PanelPoint local)
{
    PanelPoint eye = panelToEye(*panel, local);
    return eyeToScreen(eye.x, eye.y, eye.z);
}
Pixel buttonPixel(const ButtonPanel *panel, int index) { return onScreen(panel, buttonCentre(*panel, index)); }

// The name a panel pick at p finds, with the given pickName left by the previous pass
int pickAt(const ButtonPanel *panel, Pixel p, int previousName)
{
    setPickName(previousName);
    beginPick(p.x, p.y);
    drawPanel(panel, 1);
    endPanelPick();
    return getPickName();
}

std::vector<ButtonPanel *> allMenus() { return {primitiveMenu(), operationMenu(), fileMenu(), modeMenu(), appearanceMenu()}; }

class PanelsGl : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        resetAppState();
        setPanelTextureLoader(namedColourTexture);
        buildMenus();
        for (ButtonPanel *panel : allMenus())
            if (panel->placement != PlacementFree) panel->angle = SWING_REST_ANGLE;
    }
    static void TearDownTestSuite()
    {
        for (ButtonPanel *panel : allMenus()) releasePanelGl(panel);
        freeMenus();
        setPanelTextureLoader(nullptr);
    }
    void SetUp() override
    {
        resetAppState();
        reshape(W, H);
        clearFlatView();
    }
};

}  // namespace

TEST_F(PanelsGl, ButtonsAndBackgroundsArePickedWhereTheyAreDrawn)
{
    for (ButtonPanel *panel : allMenus())
        for (int i = 0; i < panel->buttonCount; i++)
            EXPECT_EQ(pickAt(panel, buttonPixel(panel, i), 0), panelName(*panel, i)) << "panel " << panel->id << " button " << i;
    ButtonPanel *appearance = appearanceMenu(), *primitive = primitiveMenu();
    EXPECT_EQ(pickAt(appearance, onScreen(appearance, {-3.6f, 0.0f, 0.0f}), 0), 500);
    EXPECT_EQ(pickAt(appearance, onScreen(appearance, {6.0f, 0.0f, 0.0f}), 0), 0);
    const PanelPoint a = buttonCentre(*primitive, 0), b = buttonCentre(*primitive, 1);
    const Pixel between = onScreen(primitive, {(a.x + b.x) / 2, a.y, 0.0f});
    EXPECT_EQ(pickAt(primitive, between, 0), 100);

    // Over a lit button an edge panel draws only that button: elsewhere nothing is found, so
    // the next pass draws everything; a free panel draws everything in every pass
    EXPECT_EQ(pickAt(primitive, buttonPixel(primitive, 0), 101), 101);
    EXPECT_EQ(pickAt(primitive, buttonPixel(primitive, 2), 101), 0);
    EXPECT_EQ(pickAt(primitive, between, 101), 0);
    EXPECT_EQ(pickAt(appearance, buttonPixel(appearance, 1), 501), 502);
    EXPECT_FALSE(pickActive());
}

TEST_F(PanelsGl, ButtonsShowTheirIdleHoveredAndPressedPictures)
{
    ButtonPanel *operation = operationMenu();
    setEditorState(2);
    setPickName(202);
    drawEditorScreen(0);
    for (int i = 0; i < operation->buttonCount; i++) {
        Rgb c = backPixel(buttonPixel(operation, i));
        EXPECT_TRUE(i == 4 ? isBlue(c) : i == 1 ? isGreen(c) : isRed(c)) << i << ": " << c.r << " " << c.g << " " << c.b;
    }
    const PanelPoint top = buttonCentre(*operation, 0), below = buttonCentre(*operation, 4);
    EXPECT_TRUE(isGrey(backPixel(onScreen(operation, {top.x, (top.y + below.y) / 2, 0.0f}))));
    setPickName(205);  // a pressed button keeps its down picture when hovered
    drawEditorScreen(0);
    EXPECT_TRUE(isBlue(backPixel(buttonPixel(operation, 4))));
}
