// Saving and loading a scene of 1000 objects (the twelve kinds in turn, default parameters,
// every object with one event of two conditions and a looping chain of four consequences),
// beside xmllint's validating parse of the same file. The goal: a load within twice
// xmllint's validating parse. Also the reader's own validating parse alone.
#include "events.h"
#include "flags.h"
#include "scene_bench_support.h"
#include "scene_document.h"
#include "scene_reader.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <cstdlib>  // Required for: std::system()
#include <string>

namespace {

// Tables with a few materials and textures, a flag, and 1000 objects with events
void buildScene()
{
    set_event_set_release(freeEventSet);
    createFlagTable();
    addBenchMaterials();
    addFlag(newFlagRecord("PUERTA", 0));
    for (int i = 0; i < MAX_OBJECTS; i++) {
        primitiva record = benchObject(i);
        record.pose = object_pose{(float)(i % 40) * 6.0f, 20.0f, -(float)(i / 40) * 6.0f, (float)(i * 7 % 360), 0, 0};
        EventSet *set = newEventSet();
        Event &event = set->events[(size_t)(i % EVENTS_PER_SET)];
        setCondition(&event, 0, cActivate, newActivateValue());
        setCondition(&event, 1, cFlag, newFlagValue("PUERTA", 0));
        setConsequence(&event, 0, cLoop, newLoopValue(10));
        setConsequence(&event, 1, cRotateObj, newRotateValue(5, 0, 0));
        setConsequence(&event, 2, cAgain, newAgainValue());
        setConsequence(&event, 3, cFlagEqual, newFlagValue("PUERTA", 1));
        storeBenchObject(record, set);
    }
}

void BM_SaveScene(benchmark::State &state)
{
    for (auto _ : state) benchmark::DoNotOptimize(saveScene());
}
BENCHMARK(BM_SaveScene)->Unit(benchmark::kMillisecond);

void BM_LoadScene(benchmark::State &state)
{
    for (auto _ : state) {
        if (loadScene() != 1) state.SkipWithError("the scene did not load");
    }
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

// The file's share of a load: one parse validated while it runs and reading the tree into
// records, without building the objects
void BM_ReadSceneFile(benchmark::State &state)
{
    for (auto _ : state) {
        xmlDocPtr doc = xmlReadFile("escena.xml", nullptr, XML_PARSE_DTDVALID | XML_PARSE_NONET);
        if (doc == nullptr) {
            state.SkipWithError("the file did not parse");
            break;
        }
        SceneData scene;
        std::string error;
        if (readSceneDocument(xmlDocGetRootElement(doc), &scene, &error) != 1) state.SkipWithError(error.c_str());
        xmlFreeDoc(doc);
    }
}
BENCHMARK(BM_ReadSceneFile)->Unit(benchmark::kMillisecond);

void BM_ValidateSceneFile(benchmark::State &state)
{
    for (auto _ : state) benchmark::DoNotOptimize(validateSceneFile());
}
BENCHMARK(BM_ValidateSceneFile)->Unit(benchmark::kMillisecond);

// The part of a load that is not the file: generating the 1000 objects' faces from their
// parameters (the generators key every vertex by its printed coordinates)
void BM_GenerateGeometry(benchmark::State &state)
{
    for (auto _ : state) {
        for (int i = 0; i < MAX_OBJECTS; i++) {
            int kind = i % PRIMITIVE_KINDS;
            primitiva record = {};
            build_primitive(kind, kind_parameter_info(kind)->defaults.data(), &record);
            free_primitiva(&record);
        }
    }
}
BENCHMARK(BM_GenerateGeometry)->Unit(benchmark::kMillisecond);

// The whole xmllint process, as a user would run it
void BM_XmllintValid(benchmark::State &state)
{
    for (auto _ : state) {
        if (std::system("xmllint --valid --noout escena.xml") != 0) state.SkipWithError("xmllint refused the file");
    }
}
BENCHMARK(BM_XmllintValid)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    char pattern[] = "/tmp/scenefile-bench-XXXXXX";
    if (!enterBenchDirectory(pattern)) return 1;
    buildScene();
    if (!saveScene()) return 1;
    return runSceneBenchmarks(argc, argv, pattern);
}
