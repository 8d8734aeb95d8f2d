// Shared set-up of the scene file benchmarks: a working directory of their own holding the
// scene DTD, the material tables of the benchmark scene (the default material and three
// textured ones), its objects of the twelve kinds in turn, and the run of the benchmarks
// over the saved file. Depends on the scene tables, the generators and the scene writer.
#pragma once

#include "generators.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "parameters.h"
#include "scene_writer.h"
#include "textures.h"

#include <benchmark/benchmark.h>

#include <unistd.h>  // Required for: chdir()

#include <cstdio>   // Required for: printf()
#include <cstdlib>  // Required for: mkdtemp(), std::system()
#include <fstream>
#include <sstream>
#include <string>

// The three textured materials, used by the objects in turn
inline const char *const kBenchMaterials[3] = {"ladrillo", "madera", "agua"};

// Makes a fresh directory from the pattern and works in it, with a copy of the scene DTD
inline bool enterBenchDirectory(char *pattern)
{
    if (mkdtemp(pattern) == nullptr || chdir(pattern) != 0) return false;
    std::ifstream dtd(SW_SCENE_DTD, std::ios::binary);
    std::ostringstream text;
    text << dtd.rdbuf();
    std::ofstream("DESCscene.dtd", std::ios::binary) << text.str();
    return true;
}

// Empty texture and material tables, then the default material and the three textured ones
inline void addBenchMaterials()
{
    create_texture_table();
    create_material_table();
    add_default_material();
    for (const char *name : kBenchMaterials) {
        material_record *m = new_material();
        m->name = name;
        m->texturado = 1;
        m->texture = new_texture_block();
        std::string bitmap = std::string("Data/") + name + ".bmp";
        add_frame(m->texture.get(), bitmap.c_str());
        add_texture_name(bitmap.c_str());
        add_material(m);
    }
    rebuild_usage_table();
}

// Object number i: the kind i % PRIMITIVE_KINDS with its default parameters, a name and the
// material i % 3
inline primitiva benchObject(int i)
{
    int kind = i % PRIMITIVE_KINDS;
    primitiva record = {};
    build_primitive(kind, kind_parameter_info(kind)->defaults.data(), &record);
    record.nameBase = take_name_base();
    append_material_name(&record, kBenchMaterials[i % 3]);
    return record;
}

// Stores the object with its events and counts it as a user of its material
inline void storeBenchObject(const primitiva &record, EventSet *set)
{
    int index = store_object(record, set);
    add_user(first_material_name(object_at(index)), object_slot(index));
}

// Prints the saved file's size, runs the benchmarks and removes the working directory
inline int runSceneBenchmarks(int argc, char **argv, const char *directory)
{
    std::ifstream saved("escena.xml", std::ios::binary | std::ios::ate);
    printf("scene file: %lld bytes, %d objects\n", (long long)saved.tellg(), object_count());

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::string clean = std::string("rm -rf '") + directory + "'";
    return std::system(clean.c_str()) == 0 ? 0 : 1;
}
