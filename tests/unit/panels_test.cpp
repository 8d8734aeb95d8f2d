// Button panels without GL: the rounded outline, where each placement puts its buttons, the
// eye position of a swung panel, adding buttons up to the capacity, the swing-in driven
// through a recording timer scheduler, and the click dispatch by selection name.
#include "app_state.h"
#include "menus.h"
#include "panels.h"
#include "timers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

// Bitmap paths handed to the loader, and the texture names it gave
std::vector<std::string> loaded;
int fakeTexture(const char *path)
{
    loaded.push_back(path);
    return 1000 + (int)loaded.size();
}

// Commands run by buttons, as "argument" entries
std::vector<int> commandsRun;
void recordCommand(int argument) { commandsRun.push_back(argument); }

int eventPanelClosed = 0;
void closeEvents() { eventPanelClosed++; }

// Ticks waiting in the recording scheduler
std::vector<int> pendingSlots;
std::vector<unsigned int> delays;
void recordTimer(unsigned int delay, void (*)(int), int slot)
{
    delays.push_back(delay);
    pendingSlots.push_back(slot);
}

// Fires the oldest waiting tick; false when none waits
bool fireTick()
{
    if (pendingSlots.empty()) return false;
    int slot = pendingSlots.front();
    pendingSlots.erase(pendingSlots.begin());
    timerTrampoline(slot);
    return true;
}

constexpr float EPS = 1e-4f;

void expectPoint(PanelPoint p, float x, float y, float z)
{
    EXPECT_NEAR(p.x, x, EPS);
    EXPECT_NEAR(p.y, y, EPS);
    EXPECT_NEAR(p.z, z, EPS);
}

class Panels : public ::testing::Test {
protected:
    void SetUp() override
    {
        loaded.clear();
        commandsRun.clear();
        pendingSlots.clear();
        delays.clear();
        eventPanelClosed = 0;
        resetAppState();
        setPanelTextureLoader(fakeTexture);
        setTimerScheduler(recordTimer);
        freeAllTimers();
        setMenuHooks(MenuHooks{nullptr, nullptr, nullptr, nullptr, closeEvents});
    }
    void TearDown() override
    {
        setPanelTextureLoader(nullptr);
        setTimerScheduler(nullptr);
        freeAllTimers();
        setMenuHooks(MenuHooks{});
    }

    // A panel with the given grid and layout, every button recording its argument (= index)
    static PanelPtr makePanel(int columns, int rows, int id, int placement, float w, float h, int buttons)
    {
        PanelPtr panel = createPanel(columns, rows, id, placement, w, h, "Data/back.bmp");
        setButtonHeight(setButtonWidth(setRowGap(setColumnGap(setTopInset(setLeftInset(panel.get(), 1.0f), 2.0f), 0.5f),
                                                 0.25f),
                                       3.0f),
                        1.5f);
        for (int i = 0; i < buttons; i++) {
            PanelButton *b = addPanelButton(panel.get(), "u", "m", "d");
            b->command = recordCommand;
            b->argument = i;
        }
        return panel;
    }
};

}  // namespace

//----------------------------------------------------------------------------------
// The rounded outline
//----------------------------------------------------------------------------------
TEST(PanelOutline, RoundedCornersClockwiseWithTextureMappedOntoTheUnitSquare)
{
    const float w = 20.0f, h = 10.0f, r = 0.05f * w;
    std::array<OutlineVertex, OUTLINE_POINTS> outline = roundedOutline(w, h);

    // Each corner: 10 points on a quarter circle of radius 0.05 w, 10 degrees apart
    const float centres[4][2] = {{-w / 2 + r, h / 2 - r}, {w / 2 - r, h / 2 - r}, {w / 2 - r, -h / 2 + r}, {-w / 2 + r, -h / 2 + r}};
    for (int corner = 0; corner < 4; corner++)
        for (int k = 0; k < CORNER_POINTS; k++) {
            const OutlineVertex &v = outline[(size_t)(corner * CORNER_POINTS + k)];
            EXPECT_NEAR(std::hypot(v.x - centres[corner][0], v.y - centres[corner][1]), r, EPS) << corner << " " << k;
        }
    // The arcs start and end on the straight edges
    EXPECT_NEAR(outline[0].x, -w / 2, EPS);          // top-left arc starts on the left edge
    EXPECT_NEAR(outline[9].y, h / 2, EPS);           // and ends on the top edge
    EXPECT_NEAR(outline[10].y, h / 2, EPS);          // top-right starts on the top edge
    EXPECT_NEAR(outline[19].x, w / 2, EPS);
    EXPECT_NEAR(outline[29].y, -h / 2, EPS);
    EXPECT_NEAR(outline[39].x, -w / 2, EPS);

    // Clockwise as seen from the eye (negative signed area), the area of a rounded rectangle
    double area = 0.0;
    for (size_t i = 0; i < outline.size(); i++) {
        const OutlineVertex &a = outline[i], &b = outline[(i + 1) % outline.size()];
        area += (double)a.x * b.y - (double)b.x * a.y;
    }
    area /= 2.0;
    EXPECT_LT(area, 0.0);
    // (the chords of the arcs cut off a little of each quarter circle)
    EXPECT_NEAR(-area, w * h - (4.0 - 3.14159265) * r * r, 0.05);

    // s and t follow x and y linearly from 0 at the left / bottom edge to 1 at the right / top
    for (const OutlineVertex &v : outline) {
        EXPECT_NEAR(v.s, (v.x + w / 2) / w, EPS);
        EXPECT_NEAR(v.t, (v.y + h / 2) / h, EPS);
        EXPECT_GE(v.s, -EPS);
        EXPECT_LE(v.s, 1 + EPS);
        EXPECT_GE(v.t, -EPS);
        EXPECT_LE(v.t, 1 + EPS);
    }
}

//----------------------------------------------------------------------------------
// Layout
//----------------------------------------------------------------------------------
TEST_F(Panels, EdgePlacementsAndTheFreeOffset)
{
    PanelPtr left = makePanel(2, 2, 1, PlacementLeft, 20, 25, 0);
    PanelPtr right = makePanel(2, 2, 2, PlacementRight, 20, 25, 0);
    PanelPtr top = makePanel(2, 2, 3, PlacementTop, 32, 20, 0);
    PanelPtr bottom = makePanel(2, 2, 4, PlacementBottom, 32, 20, 0);
    PanelPtr free = makePanel(2, 2, 5, PlacementFree, 8, 14, 0);
    free->position = {-14.5f, 2.0f, 1.0f};
    expectPoint(placementOffset(*left), -19.2f, 0, -35);
    expectPoint(placementOffset(*right), 19.2f, 0, -35);
    expectPoint(placementOffset(*top), 0, 14.4f, -35);
    expectPoint(placementOffset(*bottom), 0, -14.4f, -35);
    expectPoint(placementOffset(*free), -14.5f, 2.0f, -34.0f);

    // The grid faces the middle of the screen: left panels from their centre line, right
    // panels from their left edge, top panels from their lower edge, bottom from their upper
    expectPoint(gridOrigin(*left), 0, 12.5f, 0.5f);
    expectPoint(gridOrigin(*right), -10, 12.5f, 0.5f);
    expectPoint(gridOrigin(*top), -16, -10, 0.5f);
    expectPoint(gridOrigin(*bottom), -16, 10, 0.5f);
    expectPoint(gridOrigin(*free), -4, 7, 0.5f);
}

TEST_F(Panels, ButtonCentresFollowTheGrid)
{
    // Insets 1 / 2, gaps 0.5 / 0.25, buttons 3 x 1.5, grid 2 x 2
    PanelPtr right = makePanel(2, 2, 2, PlacementRight, 20, 25, 4);
    // column 0, row 0: x = -10 + 1 + 0.5 + 1.5, y = 12.5 - 2 - (0.25 + 0.75)
    expectPoint(buttonCentre(*right, 0), -7.0f, 9.5f, 0.7f);
    // column 1 moves right by one gap and one width; row 1 moves down by one gap and one height
    expectPoint(buttonCentre(*right, 1), -3.5f, 9.5f, 0.7f);
    expectPoint(buttonCentre(*right, 2), -7.0f, 7.75f, 0.7f);
    expectPoint(buttonCentre(*right, 3), -3.5f, 7.75f, 0.7f);

    PanelPtr left = makePanel(2, 2, 1, PlacementLeft, 20, 25, 4);
    expectPoint(buttonCentre(*left, 0), 3.0f, 9.5f, 0.7f);

    // Top panels grow upwards from their lower edge
    PanelPtr top = makePanel(2, 2, 3, PlacementTop, 32, 20, 4);
    expectPoint(buttonCentre(*top, 0), -13.0f, -10 + 2 + 1.0f, 0.7f);
    expectPoint(buttonCentre(*top, 2), -13.0f, -10 + 2 + 2.75f, 0.7f);
    EXPECT_GT(buttonCentre(*top, 2).y, buttonCentre(*top, 0).y);

    PanelPtr bottom = makePanel(2, 2, 4, PlacementBottom, 32, 20, 4);
    expectPoint(buttonCentre(*bottom, 3), -16 + 1 + 5.5f, 10 - 2 - 2.75f, 0.7f);
}

TEST_F(Panels, TheMenusPutTheirButtonsWhereTheirLayoutSays)
{
    createMenus();
    // Primitive menu: left, insets 0.5 / 2.5, gaps 0.5 / 0.1, buttons 3.5
    expectPoint(buttonCentre(*primitiveMenu(), 0), 2.75f, 8.15f, 0.7f);
    expectPoint(buttonCentre(*primitiveMenu(), 11), 6.75f, 10.0f - (0.6f + 17.5f + 1.75f), 0.7f);
    // Operation menu: bottom, second row, second column
    expectPoint(buttonCentre(*operationMenu(), 5), -16 + 2.1f + 0.6f + 6.5f + 3.25f, 10 - 2.3f - (1.332f + 2.5f + 1.25f),
                0.7f);
    // File menu: top, one row above the lower edge
    expectPoint(buttonCentre(*fileMenu(), 3), -16 + 2.1f + 1.2f + 19.5f + 3.25f, -10 + 2.5f + 0.666f + 1.625f, 0.7f);
    // Mode menu: right, one column
    expectPoint(buttonCentre(*modeMenu(), 2), -10 + 2.1f + 3.25f, 12.5f - 3 - (1.998f + 6.5f + 1.625f), 0.7f);
    // Appearance menu: free at (-14.5, 0, 0)
    expectPoint(buttonCentre(*appearanceMenu(), 0), -4 + 1.75f + 2.5f, 7 - 2.15f - 1.5f, 0.7f);
    expectPoint(placementOffset(*appearanceMenu()), -14.5f, 0, -35);
    freeMenus();
}

TEST_F(Panels, SwungPanelsTurnAboutTheirOwnAxis)
{
    const float a = 25.0f * 3.14159265f / 180.0f;
    PanelPtr left = makePanel(1, 1, 1, PlacementLeft, 20, 25, 0);
    PanelPtr right = makePanel(1, 1, 2, PlacementRight, 20, 25, 0);
    PanelPtr top = makePanel(1, 1, 3, PlacementTop, 32, 20, 0);
    PanelPtr bottom = makePanel(1, 1, 4, PlacementBottom, 32, 20, 0);
    for (ButtonPanel *p : {left.get(), right.get(), top.get(), bottom.get()}) p->angle = 25.0f;

    // At rest the inner half of each edge panel leans away from the eye
    expectPoint(panelToEye(*left, {1, 0, 0}), -19.2f + std::cos(a), 0, -35 - std::sin(a));
    expectPoint(panelToEye(*right, {-1, 0, 0}), 19.2f - std::cos(a), 0, -35 - std::sin(a));
    expectPoint(panelToEye(*top, {0, -1, 0}), 0, 14.4f - std::cos(a), -35 - std::sin(a));
    expectPoint(panelToEye(*bottom, {0, 1, 0}), 0, -14.4f + std::cos(a), -35 - std::sin(a));
    // The button layer stands toward the eye
    expectPoint(panelToEye(*left, {0, 0, 1}), -19.2f + std::sin(a), 0, -35 + std::cos(a));
    expectPoint(panelToEye(*top, {0, 0, 1}), 0, 14.4f - std::sin(a), -35 + std::cos(a));
}

//----------------------------------------------------------------------------------
// Building
//----------------------------------------------------------------------------------
TEST_F(Panels, ButtonsLoadTheirThreeBitmapsUntilThePanelIsFull)
{
    PanelPtr panel = createPanel(4, 2, 2, PlacementBottom, 32, 20, "Data/menuOperation.bmp");
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->buttonCount, 0);
    EXPECT_EQ(panel->buttons.size(), 8u);
    EXPECT_EQ(panel->backgroundTexture, 1001);
    EXPECT_EQ(panel->backgroundBitmap, "Data/menuOperation.bmp");

    for (int i = 0; i < 8; i++) {
        std::string n = std::to_string(i);
        PanelButton *b = addPanelButton(panel.get(), ("u" + n).c_str(), ("m" + n).c_str(), ("d" + n).c_str());
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b, &panel->buttons[(size_t)i]);
        EXPECT_EQ(b->pressed, 0);
    }
    EXPECT_EQ(loaded.size(), 1u + 24u);
    EXPECT_EQ(loaded[1], "u0");
    EXPECT_EQ(loaded[2], "m0");
    EXPECT_EQ(loaded[3], "d0");
    EXPECT_EQ(panel->buttons[7].bitmaps[IMAGE_DOWN], "d7");
    EXPECT_EQ(panel->buttons[7].textures[IMAGE_UP], 1000 + 23);
    EXPECT_EQ(panel->buttons[7].textures[IMAGE_DOWN], 1000 + 25);

    // A ninth button: the message, nothing loaded, still 8
    testing::internal::CaptureStdout();
    EXPECT_EQ(addPanelButton(panel.get(), "u8", "m8", "d8"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n Numero de botones completo.");
    EXPECT_EQ(panel->buttonCount, 8);
    EXPECT_EQ(loaded.size(), 25u);
}

TEST_F(Panels, APanelWithoutABitmapHasNoBackgroundTexture)
{
    PanelPtr panel = createPanel(1, 1, 7, PlacementFree, 30, 6, nullptr);
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->backgroundTexture, -1);
    EXPECT_TRUE(loaded.empty());

    // Grids and ids that cannot be named are refused
    EXPECT_FALSE(createPanel(0, 3, 1, PlacementLeft, 1, 1, nullptr));
    EXPECT_FALSE(createPanel(10, 10, 1, PlacementLeft, 1, 1, nullptr));
    EXPECT_FALSE(createPanel(1, 1, 0, PlacementLeft, 1, 1, nullptr));
    EXPECT_FALSE(createPanel(1, 1, 100, PlacementLeft, 1, 1, nullptr));
    EXPECT_FALSE(createPanel(1, 1, 1, 5, 1, 1, nullptr));
}

//----------------------------------------------------------------------------------
// Swing-in
//----------------------------------------------------------------------------------
TEST_F(Panels, SwingInTurnsSixteenDegreesATickAndRestsAtTwentyFive)
{
    PanelPtr panel = makePanel(4, 1, 3, PlacementTop, 32, 20, 0);
    panel->angle = 25.0f;
    swingInPanel(panel.get());

    std::vector<float> angles = {panel->angle};
    while (fireTick()) angles.push_back(panel->angle);
    EXPECT_EQ(angles, (std::vector<float>{-55, -39, -23, -7, 9, 25}));
    EXPECT_EQ(delays, (std::vector<unsigned int>{1, 1, 1, 1, 1}));
    EXPECT_EQ(panel->angle, 25.0f);
}

TEST_F(Panels, ReopeningWhileSwingingRestartsTheSameSwing)
{
    PanelPtr panel = makePanel(2, 6, 1, PlacementLeft, 20, 25, 0);
    swingInPanel(panel.get());
    ASSERT_TRUE(fireTick());
    ASSERT_TRUE(fireTick());
    EXPECT_EQ(panel->angle, -23.0f);

    // Opened again (the pointer left and came back): back to -55 on the ticks already running
    swingInPanel(panel.get());
    EXPECT_EQ(panel->angle, -55.0f);
    EXPECT_EQ(pendingSlots.size(), 1u);
    int ticks = 0;
    while (fireTick()) ticks++;
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(panel->angle, 25.0f);

    // Once at rest, opening swings it in again
    swingInPanel(panel.get());
    EXPECT_EQ(pendingSlots.size(), 1u);
}

TEST_F(Panels, SwingStepWrapsPastAFullTurnAndStopsWithoutTimers)
{
    PanelPtr panel = makePanel(1, 5, 4, PlacementRight, 20, 25, 0);
    swingInPanel(panel.get());
    pendingSlots.clear();
    freeAllTimers();

    panel->angle = 350.0f;
    swingStep(4);
    EXPECT_EQ(panel->angle, 6.0f);
    EXPECT_EQ(pendingSlots.size(), 1u);    // still below 25: re-armed

    // With every timer slot busy the swing stops where it is, and a later opening starts again
    pendingSlots.clear();
    freeAllTimers();
    for (int i = 0; i < TIMER_SLOTS; i++) ASSERT_EQ(startTimer(5, recordCommand, i), 1);
    pendingSlots.clear();
    swingStep(4);
    EXPECT_EQ(panel->angle, 22.0f);
    EXPECT_TRUE(pendingSlots.empty());
    freeAllTimers();
    swingInPanel(panel.get());
    EXPECT_EQ(pendingSlots.size(), 1u);

    // A panel gone while its tick waits is left alone
    panel.reset();
    EXPECT_TRUE(fireTick());
}

//----------------------------------------------------------------------------------
// Clicks
//----------------------------------------------------------------------------------
TEST_F(Panels, AButtonNameRunsThatButtonsCommand)
{
    PanelPtr panel = makePanel(4, 2, 2, PlacementBottom, 32, 20, 8);
    for (int i = 0; i < 8; i++) panel->buttons[(size_t)i].argument = 10 + i;
    setEditorState(2);
    clickPanel(panel.get(), 203);
    EXPECT_EQ(commandsRun, std::vector<int>{12});
    EXPECT_EQ(getEditorState(), 0);    // edge menus close after a command

    setEditorState(2);
    clickPanel(panel.get(), 208);
    EXPECT_EQ(commandsRun.back(), 17);
}

TEST_F(Panels, BackgroundEmptyAndForeignNamesRunNothing)
{
    PanelPtr panel = makePanel(4, 2, 2, PlacementBottom, 32, 20, 6);
    setEditorState(2);
    clickPanel(panel.get(), 200);    // background
    clickPanel(panel.get(), 0);      // nothing under the pointer
    clickPanel(panel.get(), 207);    // an empty slot of the grid
    clickPanel(panel.get(), 105);    // a name left by another panel
    clickPanel(panel.get(), 305);
    EXPECT_TRUE(commandsRun.empty());
    EXPECT_EQ(getEditorState(), 2);
}

TEST_F(Panels, EmptyClicksCloseOnlyTheAppearanceMenuAndTheEventPanel)
{
    for (int id : {1, 2, 3, 4}) {
        PanelPtr panel = makePanel(1, 1, id, PlacementLeft, 10, 10, 1);
        setEditorState(id);
        clickPanel(panel.get(), 0);
        EXPECT_EQ(getEditorState(), id);
    }
    PanelPtr appearance = makePanel(1, 5, 5, PlacementFree, 8, 14, 4);
    setEditorState(5);
    clickPanel(appearance.get(), 0);
    EXPECT_EQ(getEditorState(), 0);
    EXPECT_EQ(eventPanelClosed, 0);

    PanelPtr events = makePanel(1, 35, 7, PlacementFree, 30, 6, 2);
    setEditorState(7);
    clickPanel(events.get(), 0);
    EXPECT_EQ(getEditorState(), 0);
    EXPECT_EQ(eventPanelClosed, 1);
    EXPECT_TRUE(commandsRun.empty());
}

TEST_F(Panels, TheAppearanceMenuAndTheEventPanelStayOpenAfterACommand)
{
    PanelPtr appearance = makePanel(1, 5, 5, PlacementFree, 8, 14, 4);
    setEditorState(5);
    clickPanel(appearance.get(), 502);
    EXPECT_EQ(commandsRun, std::vector<int>{1});
    EXPECT_EQ(getEditorState(), 5);

    PanelPtr events = makePanel(1, 35, 7, PlacementFree, 30, 6, 33);
    setEditorState(7);
    clickPanel(events.get(), 733);
    EXPECT_EQ(commandsRun.back(), 32);
    EXPECT_EQ(getEditorState(), 7);
}

TEST_F(Panels, RadioMarksFollowTheChosenArgument)
{
    PanelPtr panel = makePanel(4, 2, 2, PlacementBottom, 32, 20, 8);
    markRadioButton(panel.get(), 4);
    for (int i = 0; i < 8; i++) EXPECT_EQ(panel->buttons[(size_t)i].pressed, i == 4 ? 1 : 0);
    markRadioButton(panel.get(), 0);
    for (int i = 0; i < 8; i++) EXPECT_EQ(panel->buttons[(size_t)i].pressed, i == 0 ? 1 : 0);
    EXPECT_EQ(findButtonByArgument(panel.get(), 6), &panel->buttons[6]);
    EXPECT_EQ(findButtonByArgument(panel.get(), 99), nullptr);
}
