// The 256-slot timer service, driven without GLUT through a recording scheduler.
#include "timers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> scheduledSlots, fired;
int rearmsLeft = 0;

void recordScheduler(unsigned int, void (*)(int), int slot) { scheduledSlots.push_back(slot); }
void recordFire(int value) { fired.push_back(value); }
// Starts another timer while its own slot is still busy
void rearming(int value)
{
    fired.push_back(value);
    if (rearmsLeft-- > 0) startTimer(1, rearming, value + 1);
}

class Timers : public ::testing::Test {
protected:
    void SetUp() override
    {
        scheduledSlots.clear();
        fired.clear();
        setTimerScheduler(recordScheduler);
        freeAllTimers();
    }
    void TearDown() override { setTimerScheduler(nullptr); }
};

}  // namespace

TEST_F(Timers, TwoHundredFiftySixInFlightTheNextRefusedAndFreedSlotsReused)
{
    for (int i = 0; i < TIMER_SLOTS; i++) ASSERT_EQ(startTimer(1, recordFire, i), 1) << i;
    EXPECT_EQ(startTimer(1, recordFire, 999), 0);
    EXPECT_EQ(scheduledSlots.size(), (size_t)TIMER_SLOTS);  // the refused one was not scheduled
    for (int slot : {-1, TIMER_SLOTS, 7}) timerTrampoline(slot);
    EXPECT_EQ(fired, std::vector<int>{7});
    EXPECT_EQ(timerSlot(7).free, 1);
    ASSERT_EQ(startTimer(1, recordFire, 1000), 1);
    EXPECT_EQ(scheduledSlots.back(), 7);
}

TEST_F(Timers, RearmingCallbackGetsAnotherSlotOrNoneWhenAllAreBusy)
{
    rearmsLeft = 1;
    ASSERT_EQ(startTimer(1, rearming, 0), 1);
    timerTrampoline(0);
    EXPECT_EQ(scheduledSlots, (std::vector<int>{0, 1}));  // slot 0 was still busy while the callback ran
    EXPECT_EQ(timerSlot(0).free, 1);
    timerTrampoline(1);
    EXPECT_EQ(fired, (std::vector<int>{0, 1}));

    rearmsLeft = 1;
    ASSERT_EQ(startTimer(1, rearming, 0), 1);
    for (int i = 1; i < TIMER_SLOTS; i++) ASSERT_EQ(startTimer(1, recordFire, i), 1);
    const size_t before = scheduledSlots.size();
    timerTrampoline(0);  // its re-arm finds no free slot
    EXPECT_EQ(scheduledSlots.size(), before);
    EXPECT_EQ(timerSlot(0).free, 1);
}
