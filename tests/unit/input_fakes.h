// Stand-ins for the subsystems the input bindings hand their requests to (menus, choosers,
// prompts, scene file, play mode, picking, the renderer's polygon counter): each call is
// written to a log the tests read.
#pragma once

#include <string>
#include <vector>

namespace input_fakes {

// Calls in order, e.g. "saveScene", "chooserClick 8 7 7", "beginPick 10 20"
std::vector<std::string> &calls();

// Empties the log
void clearCalls();

// The polygon counter the fake renderer reports
void setPolygonCount(int value);

}  // namespace input_fakes
