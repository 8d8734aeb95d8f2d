// Drawing on demand: requests for a frame now and later, with GLUT replaced by a fake main
// loop (posted frames, timers, a clock): immediate requests recorded before the loop exists,
// delayed ones met only by a frame at or after their moment, one timer at a time for the
// earliest, a timer that fires early waiting on.
#include "redraw.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

long long clockMs = 0;
int posts = 0;
struct Timer {
    unsigned int delay;
    void (*callback)(int);
    int value;
};
std::vector<Timer> timers;

long long fakeNow() { return clockMs; }
void fakePost() { posts++; }
void fakeSchedule(unsigned int delay, void (*callback)(int), int value) { timers.push_back({delay, callback, value}); }

// Fires the timer asked for at position i (the main loop would, once its delay has passed)
void fire(size_t i)
{
    Timer t = timers.at(i);
    t.callback(t.value);
}

class Redraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        clockMs = 10000;
        posts = 0;
        timers.clear();
        setRedrawHooks({nullptr, nullptr, fakeNow});
        resetRedrawRequests();
    }
    void TearDown() override
    {
        setRedrawHooks({nullptr, nullptr, nullptr});
        resetRedrawRequests();
    }
    static void connect() { setRedrawHooks({fakePost, fakeSchedule, fakeNow}); }
};

}  // namespace

TEST_F(Redraw, AnImmediateRequestPostsAFrameAndIsMetByIt)
{
    requestRedraw();  // before the main loop: only recorded
    EXPECT_EQ(redrawRequested(), 1);
    EXPECT_EQ(posts, 0);
    connect();
    EXPECT_EQ(posts, 1);  // posted once the loop is there
    beginRedrawnFrame();
    EXPECT_EQ(redrawRequested(), 0);
    requestRedraw(0);
    requestRedraw(-5);
    EXPECT_EQ(redrawRequested(), 1);
    EXPECT_EQ(posts, 3);
    beginRedrawnFrame();
    EXPECT_EQ(redrawRequested(), 0);
    EXPECT_EQ(nextRedrawIn(), -1);
    EXPECT_TRUE(timers.empty());
}

TEST_F(Redraw, ADelayedRequestIsMetOnlyByAFrameAtOrAfterItsMoment)
{
    connect();
    requestRedraw(300);
    ASSERT_EQ(timers.size(), 1u);
    EXPECT_EQ(timers[0].delay, 300u);
    EXPECT_EQ(posts, 0);
    EXPECT_EQ(redrawRequested(), 0);

    clockMs += 100;  // a frame for something else comes first
    beginRedrawnFrame();
    EXPECT_EQ(nextRedrawIn(), 200);
    clockMs += 199;  // the timer fires a little early: it waits on
    fire(0);
    EXPECT_EQ(posts, 0);
    ASSERT_EQ(timers.size(), 2u);
    EXPECT_EQ(timers[1].delay, 1u);
    clockMs += 1;
    fire(1);
    EXPECT_EQ(posts, 1);
    beginRedrawnFrame();
    EXPECT_EQ(nextRedrawIn(), -1);
    EXPECT_EQ(timers.size(), 2u);  // nothing more is waited for
}

TEST_F(Redraw, OneTimerWaitsForTheEarliestMomentAndTheLaterOnesFollow)
{
    connect();
    requestRedraw(500);
    requestRedraw(800);  // later than the timer asked for: no timer of its own yet
    ASSERT_EQ(timers.size(), 1u);
    requestRedraw(100);  // earlier: a timer for it
    ASSERT_EQ(timers.size(), 2u);
    EXPECT_EQ(timers[1].delay, 100u);
    requestRedraw(100);  // the same moment again: nothing new
    EXPECT_EQ(timers.size(), 2u);

    clockMs += 100;
    fire(1);
    EXPECT_EQ(posts, 1);
    beginRedrawnFrame();
    EXPECT_EQ(nextRedrawIn(), 400);
    clockMs += 400;
    fire(0);
    EXPECT_EQ(posts, 2);
    beginRedrawnFrame();
    ASSERT_EQ(timers.size(), 3u);  // the frame's start arms the timer for the next moment
    EXPECT_EQ(timers[2].delay, 300u);
    clockMs += 300;
    fire(2);
    EXPECT_EQ(posts, 3);
    beginRedrawnFrame();
    EXPECT_EQ(nextRedrawIn(), -1);
}

TEST_F(Redraw, WithoutAMainLoopDelayedRequestsAreOnlyKept)
{
    requestRedraw(250);
    EXPECT_EQ(nextRedrawIn(), 250);
    EXPECT_EQ(redrawRequested(), 0);
    connect();  // the loop arrives: a timer for the moment kept
    ASSERT_EQ(timers.size(), 1u);
    EXPECT_EQ(timers[0].delay, 250u);
    clockMs += 1000;  // long past: the frame meets it
    beginRedrawnFrame();
    EXPECT_EQ(nextRedrawIn(), -1);
}
