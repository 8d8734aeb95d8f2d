// The trace suite: each event scene is saved as escena.xml, loaded by the program's own loader
// and published as scene.json; its input trace is replayed here on the program's libraries
// (the player's key and pointer callbacks, its frame order) and in the browser's compiled
// engine under node. After play starts and after every step the states must be identical:
// running events with their links and loop counters, running and satisfied marks, flags,
// object poses (32-bit floats, bit for bit), materials, texture turns and the camera.
#include "trace_scenes.h"

#include "app_state.h"
#include "bindings.h"
#include "camera.h"
#include "commands.h"
#include "engine.h"
#include "flags.h"
#include "materials.h"
#include "objects.h"
#include "play.h"
#include "scene_file_support.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "web_scene.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using nlohmann::json;
using trace_suite::TraceStep;
using scene_file_test::enterSceneScratchDir;
using scene_file_test::readFile;
using scene_file_test::writeFile;

namespace {

// True when the camera glides or a movement key is held (the display's test)
bool cameraMoving()
{
    const Camera *camera = getCamera();
    return camera->forwardSpeed != 0.0f || camera->strafeSpeed != 0.0f || getMoveLeft() || getMoveRight() ||
           getMoveForward() || getMoveBack();
}

// The program's side: the player's start, then per step its key and pointer callbacks and one
// frame in the display's order (camera update when moving, the pick's activation, the event
// step). Returns the state after play starts and after each step
std::vector<std::string> replayNative(const std::vector<TraceStep> &steps)
{
    resetAppState();
    setPointerCaptured(0);
    clearMovementFlags();
    setWindowOps({[](int, int) {}, [](int) {}, [] { return 1024; }, [] { return 768; }, [] {}});
    setCameraMovedHook(evaluateDistanceConditions);
    setCamera(CAMERA_START);
    startPlayerCommand();

    std::vector<std::string> states = {engineStateJson()};
    for (const TraceStep &step : steps) {
        for (const auto &key : step.keys) {
            if (key.second) special(key.first, 0, 0);
            else specialUp(key.first, 0, 0);
        }
        for (int c : step.chars) keyboard((unsigned char)c, 0, 0);
        if (step.look) motion(getLookCentreX() + step.lookX, getLookCentreY() + step.lookY);
        if (step.place) {
            Camera *camera = getCamera();
            camera->x = step.camera[0];
            camera->y = step.camera[1];
            camera->z = step.camera[2];
            camera->yaw = step.camera[3];
            camera->pitch = step.camera[4];
            camera->roll = step.camera[5];
        }
        if (cameraMoving() || step.place) updateCamera();
        // NOTE: picking activates only objects with events, in play mode
        if (step.click >= 0 && getPlayMode() == 1 && slot_event_set(step.click) != nullptr)
            activateObjectCommand(step.click);
        if (getPlayMode() == 1) stepPlayCommand();
        if (step.stop) stopPlay();
        states.push_back(engineStateJson());
    }
    if (getPlayMode() == 1) stopPlay();
    return states;
}

// The browser's side: the lines of a replay script (the engine under node, or in Chromium),
// or an empty list (with the reason) when it failed
std::vector<std::string> replayInEngine(const std::string &dir, std::string *failure, const char *script = "replay.mjs")
{
    std::string command = std::string(SW_NODE) + " " + SW_SOURCE_DIR "/tests/web/" + script + " " + SW_WEB_ENGINE_DIR +
                          " '" + dir + "/scene.json' '" + dir + "/trace.json' 2>'" + dir + "/replay.err'";
    FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        *failure = "node could not be started";
        return {};
    }
    std::string output;
    char buffer[65536];
    size_t n = 0;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    int status = pclose(pipe);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        *failure = "the replay failed: " + readFile(dir + "/replay.err");
        return {};
    }
    std::vector<std::string> lines;
    std::istringstream in(output);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// A scratch directory with the scene saved, loaded back by the program's loader and
// published; the trace written beside it. Leaves the loaded scene in the tables
class TraceSuite : public ::testing::Test {
protected:
    std::string previousDir, dir;

    void SetUp() override
    {
        enterSceneScratchDir("web-trace", previousDir, dir);
    }

    void TearDown() override
    {
        clear_objects();
        free_sample_objects();
        ASSERT_EQ(chdir(previousDir.c_str()), 0);
        // NOTE: SW_TRACE_KEEP=1 keeps the scene, its scene.json and the last trace for a look
        if (getenv("SW_TRACE_KEEP") != nullptr) printf("kept %s\n", dir.c_str());
        else std::system(("rm -rf '" + dir + "'").c_str());
    }

    void publish(const trace_suite::TraceScene &scene, const std::vector<TraceStep> &steps)
    {
        createSceneTables();
        build_sample_objects();
        clear_objects();
        set_creation_counter(0);
        scene.build();
        ASSERT_EQ(saveScene(), 1);
        createSceneTables();
        ASSERT_EQ(loadScene(), 1) << scene.name << ": the saved scene does not load";
        writeFile("scene.json", webSceneBehaviour(scene.name).dump());
        writeFile("trace.json", trace_suite::traceJson(steps));
    }

    // Index of the first state that differs (-1 for none) with what differs in it
    static int firstDifference(const std::vector<std::string> &native, const std::vector<std::string> &web,
                               std::string *what)
    {
        for (size_t i = 0; i < native.size() && i < web.size(); i++) {
            // NOTE: the same writer on both sides: equal texts are equal bits; the parsed
            // documents only say where they part
            if (native[i] == web[i]) continue;
            json a = json::parse(native[i]), b = json::parse(web[i]);
            *what = "program -> browser: " + (a != b ? json::diff(a, b).dump() : std::string("numbers written apart"));
            return (int)i;
        }
        if (native.size() != web.size()) {
            *what = std::to_string(native.size()) + " states against " + std::to_string(web.size());
            return (int)std::min(native.size(), web.size());
        }
        return -1;
    }
};

// The parsed states of a replay
std::vector<json> parsed(const std::vector<std::string> &states)
{
    std::vector<json> out;
    for (const std::string &s : states) out.push_back(json::parse(s));
    return out;
}

}  // namespace

TEST_F(TraceSuite, ProgramAndBrowserAgreeAfterEveryStep)
{
    for (const trace_suite::TraceScene &scene : trace_suite::traceScenes()) {
        SCOPED_TRACE(scene.name);
        std::vector<TraceStep> steps = scene.trace();
        publish(scene, steps);
        if (HasFatalFailure()) return;
        std::vector<std::string> native = replayNative(steps);
        std::string failure;
        std::vector<std::string> web = replayInEngine(dir, &failure);
        ASSERT_FALSE(web.empty()) << failure;
        ASSERT_EQ(native.size(), steps.size() + 1);
        std::string what;
        int step = firstDifference(native, web, &what);
        EXPECT_EQ(step, -1) << scene.name << ": the states part at step " << step << " (0 is play start): " << what;
    }
}

// The same in Chromium, where the page fetches the compiled engine beside engine.mjs from a
// static server: the demo scene's trace
TEST_F(TraceSuite, DemoAgreesInChromium)
{
    const trace_suite::TraceScene &demo = trace_suite::traceScenes().back();
    ASSERT_EQ(demo.name, "demo");
    std::vector<TraceStep> steps = demo.trace();
    publish(demo, steps);
    if (HasFatalFailure()) return;
    std::vector<std::string> native = replayNative(steps);
    std::string failure, what;
    std::vector<std::string> web = replayInEngine(dir, &failure, "replay_in_chromium.mjs");
    ASSERT_FALSE(web.empty()) << failure;
    EXPECT_EQ(firstDifference(native, web, &what), -1) << what;
}

// The traces reach what they are for: each kind of consequence changes something, loops
// nest and run endless, distance conditions start events by walking, the letters fly, zoom
// and invert, play end restores
TEST_F(TraceSuite, TracesExerciseEveryKind)
{
    bool moved = false, turned = false, rematerialled = false, textureTurned = false, flagChanged = false;
    bool nested = false, endless = false, restored = true, walkedNear = false, walkedFar = false;
    bool flagsShareBucket = false, materialsShareBucket = false, demoDoorOpened = false, demoSignReached = false;
    bool demoWaterTurned = false, flew = false, zoomed = false, inverted = false;
    for (const trace_suite::TraceScene &scene : trace_suite::traceScenes()) {
        std::vector<TraceStep> steps = scene.trace();
        publish(scene, steps);
        if (HasFatalFailure()) return;
        for (uint32_t b = 0; b < getFlagTable()->bucketCount; b++) flagsShareBucket |= getFlagTable()->bucketSizes[b] > 1;
        for (uint32_t b = 0; b < material_table()->bucketCount; b++)
            materialsShareBucket |= material_table()->bucketSizes[b] > 1;
        std::vector<json> states = parsed(replayNative(steps));
        const json &start = states.front(), &last = states.back();
        for (const json &s : states) {
            for (size_t o = 0; o < s["objects"].size(); o++) {
                const json &pose = s["objects"][o]["pose"], &before = start["objects"][o]["pose"];
                if (pose[0] != before[0] || pose[1] != before[1] || pose[2] != before[2]) moved = true;
                if (pose[3] != before[3] || pose[4] != before[4] || pose[5] != before[5]) turned = true;
                if (s["objects"][o]["material"] != start["objects"][o]["material"]) rematerialled = true;
            }
            for (const json &t : s["textures"])
                if (t["turn"] != json::array({0, 0, 0})) textureTurned = true;
            if (s["flags"] != start["flags"]) flagChanged = true;
            for (const json &r : s["running"]) {
                if (r["depth"] >= 2) nested = true;
                for (const json &loop : r["loops"])
                    if (loop["remaining"] == 0) endless = true;
            }
            if (scene.name == "demo") {
                for (const json &f : s["flags"])
                    if (f["name"] == "PUERTA" && f["value"] == 1) demoDoorOpened = true;
                if (s["objects"][trace_suite::DEMO_SIGN_SLOT]["material"] == "verde") demoSignReached = true;
                for (const json &t : s["textures"])
                    if (t["name"] == "agua" && t["turn"][2] != 0) demoWaterTurned = true;
            }
            flew |= s["fly"] == 1 && s["camera"][1] != 30;
            zoomed |= s["fieldOfView"] != 45;
            inverted |= s["invert"] == 1;
            if (scene.name == "walking") {
                for (const json &f : s["flags"]) {
                    if (f["name"] == "CERCA" && f["value"] == 1) walkedNear = true;
                    if (f["name"] == "CERCA" && f["value"] == 2) walkedFar = true;
                }
            }
        }
        // every trace ends by leaving play mode: poses, materials and flags as at play start
        EXPECT_EQ(last["play"], 0) << scene.name;
        for (size_t o = 0; o < last["objects"].size(); o++)
            if (last["objects"][o] != start["objects"][o]) restored = false;
        if (last["flags"] != start["flags"]) restored = false;
    }
    EXPECT_TRUE(moved && turned && rematerialled && textureTurned && flagChanged);
    EXPECT_TRUE(nested && endless);
    EXPECT_TRUE(walkedNear && walkedFar);
    EXPECT_TRUE(flew && zoomed && inverted);
    EXPECT_TRUE(demoDoorOpened && demoSignReached && demoWaterTurned);
    EXPECT_TRUE(restored);
    // the tables' orders are only tested where entries share a bucket
    EXPECT_TRUE(flagsShareBucket && materialsShareBucket);
}

// The comparison finds a fault on one side: the browser misses one click of the trace, and
// the states part exactly after that step
TEST_F(TraceSuite, AlteredTraceIsCaughtAtItsStep)
{
    const trace_suite::TraceScene &scene = trace_suite::traceScenes().front();
    std::vector<TraceStep> steps = scene.trace();
    size_t clickStep = 0;
    while (clickStep < steps.size() && steps[clickStep].click != 0) clickStep++;
    ASSERT_LT(clickStep, steps.size());
    publish(scene, steps);
    if (HasFatalFailure()) return;
    std::vector<std::string> native = replayNative(steps);

    std::vector<TraceStep> altered = steps;
    altered[clickStep].click = -1;
    writeFile("trace.json", trace_suite::traceJson(altered));
    std::string failure, what;
    std::vector<std::string> web = replayInEngine(dir, &failure);
    ASSERT_FALSE(web.empty()) << failure;
    EXPECT_EQ(firstDifference(native, web, &what), (int)clickStep + 1) << what;
}
