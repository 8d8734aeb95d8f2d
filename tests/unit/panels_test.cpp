// Button panels without GL: the rounded outline, where each placement puts its buttons, adding
// buttons up to the capacity, the swing-in driven through a recording timer scheduler, and the
// click dispatch by selection name.
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
void recordTimer(unsigned int, void (*)(int), int slot) { pendingSlots.push_back(slot); }

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

TEST(PanelOutline, RoundedCornersClockwiseWithTextureMappedOntoTheUnitSquare)
{
    const float w = 20.0f, h = 10.0f, r = 0.05f * w;
    std::array<OutlineVertex, OUTLINE_POINTS> outline = roundedOutline(w, h);
    // Each corner: points on a quarter circle of radius 0.05 w
    const float centres[4][2] = {{-w / 2 + r, h / 2 - r}, {w / 2 - r, h / 2 - r}, {w / 2 - r, -h / 2 + r}, {-w / 2 + r, -h / 2 + r}};
    double area = 0.0;
    for (size_t i = 0; i < outline.size(); i++) {
        const OutlineVertex &v = outline[i], &next = outline[(i + 1) % outline.size()];
        const float *c = centres[i / CORNER_POINTS];
        EXPECT_NEAR(std::hypot(v.x - c[0], v.y - c[1]), r, EPS) << i;
        EXPECT_NEAR(v.s, (v.x + w / 2) / w, EPS);
        EXPECT_NEAR(v.t, (v.y + h / 2) / h, EPS);
        area += ((double)v.x * next.y - (double)next.x * v.y) / 2.0;
    }
    EXPECT_NEAR(outline[0].x, -w / 2, EPS);  // the arcs start and end on the straight edges
    EXPECT_NEAR(outline[9].y, h / 2, EPS);
    EXPECT_NEAR(-area, w * h - (4.0 - 3.14159265) * r * r, 0.05);  // clockwise, as seen from the eye
}

TEST_F(Panels, PlacementsGridOriginsAndButtonCentres)
{
    // Insets 1 / 2, gaps 0.5 / 0.25, buttons 3 x 1.5, grid 2 x 2
    struct Case {
        int placement;
        float w, h;
        PanelPoint offset, origin, first, last;
    } cases[] = {
        {PlacementLeft, 20, 25, {-19.2f, 0, -35}, {0, 12.5f, 0.5f}, {3.0f, 9.5f, 0.7f}, {6.5f, 7.75f, 0.7f}},
        {PlacementRight, 20, 25, {19.2f, 0, -35}, {-10, 12.5f, 0.5f}, {-7.0f, 9.5f, 0.7f}, {-3.5f, 7.75f, 0.7f}},
        // top panels grow upwards from their lower edge
        {PlacementTop, 32, 20, {0, 14.4f, -35}, {-16, -10, 0.5f}, {-13.0f, -7.0f, 0.7f}, {-9.5f, -5.25f, 0.7f}},
        {PlacementBottom, 32, 20, {0, -14.4f, -35}, {-16, 10, 0.5f}, {-13.0f, 7.0f, 0.7f}, {-9.5f, 5.25f, 0.7f}},
        {PlacementFree, 8, 14, {-14.5f, 2.0f, -34.0f}, {-4, 7, 0.5f}, {-1.0f, 4.0f, 0.7f}, {2.5f, 2.25f, 0.7f}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.placement);
        PanelPtr panel = makePanel(2, 2, 1, c.placement, c.w, c.h, 4);
        panel->position = {-14.5f, 2.0f, 1.0f};
        expectPoint(placementOffset(*panel), c.offset.x, c.offset.y, c.offset.z);
        expectPoint(gridOrigin(*panel), c.origin.x, c.origin.y, c.origin.z);
        expectPoint(buttonCentre(*panel, 0), c.first.x, c.first.y, c.first.z);
        expectPoint(buttonCentre(*panel, 3), c.last.x, c.last.y, c.last.z);
    }
    createMenus();  // the file menu: top, one row above the lower edge
    expectPoint(buttonCentre(*fileMenu(), 3), -16 + 2.1f + 1.2f + 19.5f + 3.25f, -10 + 2.5f + 0.666f + 1.625f, 0.7f);
    freeMenus();
}

TEST_F(Panels, ANinthButtonOnAFourByTwoPanelIsRefused)
{
    PanelPtr panel = makePanel(4, 2, 2, PlacementBottom, 32, 20, 8);
    EXPECT_EQ(loaded.size(), 1u + 24u);
    EXPECT_EQ(panel->buttons[7].textures[IMAGE_DOWN], 1000 + 25);
    testing::internal::CaptureStdout();
    EXPECT_EQ(addPanelButton(panel.get(), "u8", "m8", "d8"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n Numero de botones completo.");
    EXPECT_EQ(panel->buttonCount, 8);
    EXPECT_EQ(loaded.size(), 25u);
    EXPECT_FALSE(createPanel(10, 10, 1, PlacementLeft, 1, 1, nullptr));  // more than 99 names
    EXPECT_FALSE(createPanel(1, 1, 100, PlacementLeft, 1, 1, nullptr));
}

TEST_F(Panels, SwingInTurnsSixteenDegreesATickAndRestsAtTwentyFive)
{
    PanelPtr panel = makePanel(4, 1, 3, PlacementTop, 32, 20, 0);
    panel->angle = 25.0f;
    swingInPanel(panel.get());
    std::vector<float> angles = {panel->angle};
    while (fireTick()) {
        angles.push_back(panel->angle);
        if (angles.size() == 3) {  // reopened while swinging: the same swing again
            swingInPanel(panel.get());
            angles.push_back(panel->angle);
        }
    }
    EXPECT_EQ(angles, (std::vector<float>{-55, -39, -23, -55, -39, -23, -7, 9, 25}));

    // With every timer slot busy the swing stops where it is; a panel gone while its tick waits is left alone
    swingInPanel(panel.get());
    pendingSlots.clear();
    freeAllTimers();
    for (int i = 0; i < TIMER_SLOTS; i++) ASSERT_EQ(startTimer(5, recordCommand, i), 1);
    pendingSlots.clear();
    swingStep(3);
    EXPECT_EQ(panel->angle, -39.0f);
    EXPECT_TRUE(pendingSlots.empty());
    freeAllTimers();
    swingInPanel(panel.get());
    panel.reset();
    EXPECT_TRUE(fireTick());
}

TEST_F(Panels, ClicksRunTheNamedButtonAndCloseOnlyTheMenusThatShould)
{
    // id, name, command run (-1: none), state after (for the edge menus a command closes them)
    struct Case {
        int id, name, command, stateAfter;
    } cases[] = {
        {2, 203, 2, 0},  {2, 208, 7, 0},  {2, 200, -1, 2}, {2, 0, -1, 2}, {2, 105, -1, 2}, {1, 0, -1, 1},
        {3, 0, -1, 3},   {4, 0, -1, 4},   {5, 502, 1, 5},  {5, 0, -1, 0}, {7, 708, 7, 7},  {7, 0, -1, 0},
    };
    for (const Case &c : cases) {
        PanelPtr panel = makePanel(4, 2, c.id, PlacementFree, 32, 20, 8);
        commandsRun.clear();
        setEditorState(c.id);
        clickPanel(panel.get(), c.name);
        EXPECT_EQ(commandsRun, c.command < 0 ? std::vector<int>{} : std::vector<int>{c.command}) << c.name;
        EXPECT_EQ(getEditorState(), c.stateAfter) << c.name;
    }
    EXPECT_EQ(eventPanelClosed, 1);

    PanelPtr panel = makePanel(4, 2, 2, PlacementBottom, 32, 20, 8);
    markRadioButton(panel.get(), 4);
    markRadioButton(panel.get(), 6);
    for (int i = 0; i < 8; i++) EXPECT_EQ(panel->buttons[(size_t)i].pressed, i == 6 ? 1 : 0);
    EXPECT_EQ(findButtonByArgument(panel.get(), 6), &panel->buttons[6]);
}
