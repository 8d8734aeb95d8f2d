// Saving and loading a scene of 1000 objects (the twelve kinds in turn, default parameters,
// every object with one event of two conditions and a looping chain of four consequences),
// beside xmllint's validating parse of the same file. The goal: a load within three times
// xmllint's validating parse. Also the reader's own validating parse alone.
#include "events.h"
#include "flags.h"
#include "generators.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "parameters.h"
#include "scene_document.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "textures.h"

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Tables with a few materials and textures, a flag, and 1000 objects with events
void buildScene()
{
    set_event_set_release(freeEventSet);
    create_texture_table();
    create_material_table();
    createFlagTable();
    add_default_material();
    const char *names[] = {"ladrillo", "madera", "agua"};
    for (const char *name : names) {
        material_record *m = new_material();
        m->name = name;
        m->texturado = 1;
        m->texture = new_texture_block();
        std::string bitmap = std::string("Data/") + name + ".bmp";
        add_frame(m->texture.get(), bitmap.c_str());
        add_texture_name(bitmap.c_str());
        add_material(m);
    }
    addFlag(newFlagRecord("PUERTA", 0));
    rebuild_usage_table();
    for (int i = 0; i < MAX_OBJECTS; i++) {
        int kind = i % PRIMITIVE_KINDS;
        const kind_parameters *info = kind_parameter_info(kind);
        primitiva record = {};
        build_primitive(kind, info->defaults.data(), &record);
        record.nameBase = take_name_base();
        record.pose = object_pose{(float)(i % 40) * 6.0f, 20.0f, -(float)(i / 40) * 6.0f, (float)(i * 7 % 360), 0, 0};
        append_material_name(&record, names[i % 3]);
        EventSet *set = newEventSet();
        Event &event = set->events[(size_t)(i % EVENTS_PER_SET)];
        setCondition(&event, 0, cActivate, newActivateValue());
        setCondition(&event, 1, cFlag, newFlagValue("PUERTA", 0));
        setConsequence(&event, 0, cLoop, newLoopValue(10));
        setConsequence(&event, 1, cRotateObj, newRotateValue(5, 0, 0));
        setConsequence(&event, 2, cAgain, newAgainValue());
        setConsequence(&event, 3, cFlagEqual, newFlagValue("PUERTA", 1));
        int index = store_object(record, set);
        add_user(first_material_name(object_at(index)), object_slot(index));
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

// The file's share of a load: the validating parse, the second parse and reading the tree
// into records, without building the objects
void BM_ReadSceneFile(benchmark::State &state)
{
    for (auto _ : state) {
        if (validateSceneFile() != 1) state.SkipWithError("the file did not validate");
        xmlDocPtr doc = xmlReadFile("escena.xml", nullptr, XML_PARSE_NONET);
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
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) return 1;
    std::ifstream dtd(SW_SCENE_DTD, std::ios::binary);
    std::ostringstream text;
    text << dtd.rdbuf();
    std::ofstream("DESCscene.dtd", std::ios::binary) << text.str();

    buildScene();
    if (!saveScene()) return 1;
    std::ifstream saved("escena.xml", std::ios::binary | std::ios::ate);
    printf("scene file: %lld bytes, %d objects\n", (long long)saved.tellg(), object_count());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::string clean = std::string("rm -rf '") + pattern + "'";
    return std::system(clean.c_str()) == 0 ? 0 : 1;
}
