// Scrolling choosers on a real GL context: options, marks, scrolling, arrow images and clicks.
#include "app_state.h"
#include "choosers.h"
#include "events.h"
#include "flags.h"
#include "gl_context.h"
#include "materials.h"
#include "material_usage.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<int> picked;
void recordPick(int argument) { picked.push_back(argument); }

class Choosers : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(openGlContext());
        ASSERT_EQ(chdir(SW_RUNDATA_DIR), 0);  // the arrow bitmaps are read from Data/
    }
    void SetUp() override
    {
        resetAppState();
        picked.clear();
        setChooserCommands(recordPick, recordPick, recordPick, recordPick);
    }
    // A flags chooser with n flags F00, F01, ...
    static Chooser &flagsWith(int n)
    {
        createFlagTable();
        for (int i = 0; i < n; i++) addFlag(newFlagRecord("F" + std::to_string(100 + i), i));
        buildFlagChooser();
        return flagChooser();
    }
};

}  // namespace

TEST_F(Choosers, ArrowsScrollOneRowWithinTheLimits)
{
    Chooser &few = flagsWith(5);  // 5 options in 8 rows: both arrows disabled
    EXPECT_EQ(arrowImage(few, 0), ArrowDisabled);
    EXPECT_EQ(arrowImage(few, 1), ArrowDisabled);
    scroll(few, CHOOSER_DOWN_ARROW);
    EXPECT_EQ(few.topRow, 0);

    Chooser &c = flagsWith(12);
    EXPECT_EQ(arrowImage(c, 0), ArrowDisabled);
    EXPECT_EQ(arrowImage(c, 1), ArrowIdle);
    scroll(c, CHOOSER_DOWN_ARROW);
    EXPECT_EQ(optionAtRow(c, 0), 1);  // options 2 to 9 are shown
    EXPECT_EQ(optionAtRow(c, 7), 8);
    // Hovered, the down arrow shows its pressed image for 15 drawn frames, then the hovered one
    setPickName(FlagChooserId * 100 + CHOOSER_DOWN_ARROW);
    for (int frame = 0; frame < CHOOSER_PRESS_FRAMES; frame++) {
        ASSERT_EQ(arrowImage(c, 1), ArrowPressed) << frame;
        drawChooser(c);
    }
    EXPECT_EQ(arrowImage(c, 1), ArrowHovered);
    for (int i = 0; i < 10; i++) scroll(c, CHOOSER_DOWN_ARROW);
    EXPECT_EQ(c.topRow, 4);  // the last page: options 5 to 12
    EXPECT_EQ(arrowImage(c, 1), ArrowDisabled);
    for (int i = 0; i < 10; i++) scroll(c, CHOOSER_UP_ARROW);
    EXPECT_EQ(c.topRow, 0);
}

TEST_F(Choosers, ClicksPickMarkAndScrollExceptOnTheMaterialChoosersBackground)
{
    Chooser &c = flagsWith(12);
    EXPECT_EQ(clickChooser(c, FlagChooserId * 100), 0);  // background: scrolls
    EXPECT_EQ(c.topRow, 1);
    EXPECT_EQ(clickChooser(c, FlagChooserId * 100 + 3), 0);  // visible row 2 = option 4
    clickChooser(c, FlagChooserId * 100 + 1);
    EXPECT_EQ(picked, (std::vector<int>{3, 1}));
    for (size_t i = 0; i < c.options.size(); i++) EXPECT_EQ(c.options[i].marked, i == 1 ? 1 : 0) << i;
    EXPECT_EQ(clickChooser(c, 0), 1);  // empty space: the caller leaves the chooser

    create_material_table();
    add_default_material();
    for (int i = 0; i < 11; i++) {
        material_record *m = new_material();
        m->name = "M" + std::to_string(i);
        add_material(m);
    }
    rebuild_usage_table();
    buildMaterialChooser("M3");
    Chooser &mc = materialChooser();
    clickChooser(mc, MaterialChooserId * 100);
    EXPECT_EQ(mc.topRow, 0);
    int marked = 0;
    for (const ChooserOption &option : mc.options) marked += option.marked ? (option.text == "M3" ? 1 : 100) : 0;
    EXPECT_EQ(marked, 1);
    clear_material_table();
}

TEST_F(Choosers, KindChoosersAndTheHundredthOption)
{
    buildConditionChooser();
    buildConsequenceChooser();
    EXPECT_EQ(conditionChooser().options[1].text, "FLAG = ??");
    EXPECT_EQ(conditionChooser().options[1].argument, cFlag);
    EXPECT_EQ(consequenceChooser().options.size(), 7u);
    EXPECT_EQ(consequenceChooser().options[6].argument, cAgain);

    Chooser c = createChooser(42, 0, 0, -34, 6, 8);
    for (int i = 0; i < CHOOSER_CAPACITY; i++) ASSERT_NE(addOption(c, "x"), nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(addOption(c, "y"), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "\n Numero de opciones completo.");
    EXPECT_EQ(c.options.size(), 99u);
}
