/**********************************************************************************************
*
*   redraw - drawing on demand: a frame is drawn when something visible has changed
*
**********************************************************************************************/
#include "redraw.h"

#include <chrono>    // Required for: std::chrono::steady_clock
#include <iterator>  // Required for: std::prev()
#include <set>

//----------------------------------------------------------------------------------
// Constants
//----------------------------------------------------------------------------------
// Moments kept at most. Each thing that changes with time waits for one moment at a time and
// asks again whenever it is drawn, so dropping the latest moment of a full set loses nothing:
// the frame of an earlier moment draws it again
static const size_t MAX_DUE_MOMENTS = 64;

//----------------------------------------------------------------------------------
// Globals
//----------------------------------------------------------------------------------
static long long steadyNow()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

static RedrawHooks hooks = {nullptr, nullptr, steadyNow};
static bool immediate = false;         // an immediate request waits for a frame
static std::set<long long> due;        // moments of delayed requests not met yet
static std::multiset<long long> armed; // moments at which timers asked for will fire

//----------------------------------------------------------------------------------
// Private helpers
//----------------------------------------------------------------------------------
static void onTimer(int);

// Posts the frame asked for
static void post()
{
    immediate = true;
    if (hooks.post != nullptr) hooks.post();
}

// Makes sure a timer fires at the earliest moment waited for (a timer that fires earlier
// arms the next one when it does)
static void arm()
{
    if (due.empty() || hooks.schedule == nullptr) return;
    long long moment = *due.begin();
    if (!armed.empty() && *armed.begin() <= moment) return;
    long long delay = moment - hooks.now();
    armed.insert(moment);
    hooks.schedule(delay > 0 ? (unsigned int)delay : 0u, onTimer, 0);
}

// A timer fired: the frame is posted once its moment has come, else the wait goes on
static void onTimer(int)
{
    if (!armed.empty()) armed.erase(armed.begin());
    if (!due.empty() && *due.begin() <= hooks.now()) post();
    else arm();
}

//----------------------------------------------------------------------------------
// Public functions
//----------------------------------------------------------------------------------
void requestRedraw(int delayMs)
{
    if (delayMs <= 0) {
        post();
        return;
    }
    long long moment = hooks.now() + delayMs;
    if (due.size() >= MAX_DUE_MOMENTS && moment > *due.rbegin()) return;
    due.insert(moment);
    if (due.size() > MAX_DUE_MOMENTS) due.erase(std::prev(due.end()));
    arm();
}

void setRedrawHooks(const RedrawHooks &value)
{
    hooks.post = value.post;
    hooks.schedule = value.schedule;
    hooks.now = value.now != nullptr ? value.now : steadyNow;
    armed.clear();
    if (immediate && hooks.post != nullptr) hooks.post();
    arm();
}

void beginRedrawnFrame()
{
    immediate = false;
    due.erase(due.begin(), due.upper_bound(hooks.now()));
    arm();
}

int redrawRequested() { return immediate ? 1 : 0; }

int nextRedrawIn()
{
    if (due.empty()) return -1;
    long long wait = *due.begin() - hooks.now();
    return wait > 0 ? (int)wait : 0;
}

void resetRedrawRequests()
{
    immediate = false;
    due.clear();
    armed.clear();
}
