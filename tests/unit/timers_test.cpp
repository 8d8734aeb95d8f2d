// The 256-slot timer service, driven without GLUT through a recording scheduler.
#include "timers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Scheduled { unsigned int delay; int slot; };
std::vector<Scheduled> scheduled;
std::vector<int> fired;
int rearmsLeft = 0;

void recordScheduler(unsigned int delay, void (*)(int), int slot) { scheduled.push_back({delay, slot}); }
void recordFire(int value) { fired.push_back(value); }

// A callback that starts another timer while its own slot is still busy
void rearming(int value)
{
    fired.push_back(value);
    if (rearmsLeft-- > 0) startTimer(1, rearming, value + 1);
}

class Timers : public ::testing::Test {
protected:
    void SetUp() override
    {
        scheduled.clear();
        fired.clear();
        setTimerScheduler(recordScheduler);
        freeAllTimers();
    }
    void TearDown() override { setTimerScheduler(nullptr); }
};

}  // namespace

TEST_F(Timers, LowestFreeSlotAndValues)
{
    ASSERT_EQ(startTimer(5, recordFire, 42), 1);
    ASSERT_EQ(startTimer(7, recordFire, 43), 1);
    ASSERT_EQ(scheduled.size(), 2u);
    EXPECT_EQ(scheduled[0].slot, 0);
    EXPECT_EQ(scheduled[0].delay, 5u);
    EXPECT_EQ(scheduled[1].slot, 1);
    EXPECT_EQ(timerSlot(1).free, 0);
    EXPECT_EQ(timerSlot(1).value, 43);
    EXPECT_EQ(timerSlot(1).delayMs, 7);

    timerTrampoline(0);
    EXPECT_EQ(fired, std::vector<int>{42});
    EXPECT_EQ(timerSlot(0).free, 1);
    EXPECT_EQ(timerSlot(0).callback, nullptr);
    EXPECT_EQ(timerSlot(0).value, 0);

    // The freed slot 0 is the lowest free one again
    ASSERT_EQ(startTimer(1, recordFire, 44), 1);
    EXPECT_EQ(scheduled.back().slot, 0);
}

TEST_F(Timers, TwoHundredFiftySixInFlightAndTheNextRefused)
{
    for (int i = 0; i < TIMER_SLOTS; i++) ASSERT_EQ(startTimer(1, recordFire, i), 1) << i;
    size_t before = scheduled.size();
    EXPECT_EQ(startTimer(1, recordFire, 999), 0);
    EXPECT_EQ(scheduled.size(), before);  // nothing registered

    for (int i = 0; i < TIMER_SLOTS; i++) timerTrampoline(i);
    ASSERT_EQ(fired.size(), (size_t)TIMER_SLOTS);
    EXPECT_EQ(fired.front(), 0);
    EXPECT_EQ(fired.back(), TIMER_SLOTS - 1);
    EXPECT_EQ(startTimer(1, recordFire, 1000), 1);
}

TEST_F(Timers, RearmingCallbackGetsAnotherSlot)
{
    rearmsLeft = 1;
    ASSERT_EQ(startTimer(1, rearming, 0), 1);
    ASSERT_EQ(scheduled.size(), 1u);
    EXPECT_EQ(scheduled[0].slot, 0);
    timerTrampoline(0);
    ASSERT_EQ(scheduled.size(), 2u);
    EXPECT_EQ(scheduled[1].slot, 1);  // slot 0 was still busy while the callback ran
    EXPECT_EQ(timerSlot(0).free, 1);
    EXPECT_EQ(timerSlot(1).free, 0);
    timerTrampoline(1);
    EXPECT_EQ(fired, (std::vector<int>{0, 1}));
}

TEST_F(Timers, RearmWithEveryOtherSlotBusyIsRefused)
{
    rearmsLeft = 1;
    ASSERT_EQ(startTimer(1, rearming, 0), 1);
    for (int i = 1; i < TIMER_SLOTS; i++) ASSERT_EQ(startTimer(1, recordFire, i), 1);
    size_t before = scheduled.size();
    timerTrampoline(0);  // its re-arm finds no free slot: the animation stops there
    EXPECT_EQ(scheduled.size(), before);
    EXPECT_EQ(timerSlot(0).free, 1);
}

TEST_F(Timers, OutOfRangeSlotIsIgnored)
{
    timerTrampoline(-1);
    timerTrampoline(TIMER_SLOTS);
    EXPECT_TRUE(fired.empty());
}
