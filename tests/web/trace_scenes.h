// The trace suite's event scenes and their input traces: every condition and consequence
// kind, counted, endless and nested loops, flags that start other events, clicks, and walking
// into and out of distance range with the player's keys and mouse.
#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace trace_suite {

// What one display frame gets: special key presses and releases (arrows 100 to 103), typed
// characters, pointer motion, an eye placed by hand, a click on an object slot; and, after the
// frame, play mode left
struct TraceStep {
    std::vector<std::pair<int, int>> keys;   // special key code, pressed
    std::vector<int> chars;                  // typed characters
    bool look = false;
    int lookX = 0, lookY = 0;
    bool place = false;
    std::array<float, 6> camera = {};
    int click = -1;
    bool stop = false;
};

// Slots of the demo scene's clickable objects
constexpr int DEMO_WATER_SLOT = 21;
constexpr int DEMO_DOOR_SLOT = 25;
constexpr int DEMO_SIGN_SLOT = 28;

struct TraceScene {
    std::string name;
    void (*build)();                      // fills the live tables (objects need the sample shapes)
    std::vector<TraceStep> (*trace)();
};

// The scenes of the suite
const std::vector<TraceScene> &traceScenes();

// A trace as the JSON document the browser's replay reads
std::string traceJson(const std::vector<TraceStep> &steps);

}  // namespace trace_suite
