// Shared by the scene file tests: a scratch working directory holding the DTD, fresh scene
// tables, small scenes built in memory, file helpers and the xmllint check.
#pragma once

#include "app_state.h"
#include "events.h"
#include "flags.h"
#include "generators.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "operations.h"
#include "parameters.h"
#include "textures.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

namespace scene_file_test {

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string &path, const std::string &content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
}

inline bool fileExists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// xmllint's validating parse of a file in the working directory (the DTD lies beside it)
inline bool xmllintAccepts(const std::string &path)
{
    std::string command = "xmllint --valid --noout '" + path + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}

// Empty tables, no objects, the creation counter at 0 and event sets released by the events library
inline void freshScene()
{
    set_event_set_release(freeEventSet);
    clear_objects();
    set_creation_counter(0);
    create_texture_table();
    create_material_table();
    createFlagTable();
    rebuild_usage_table();
    resetAppState();
}

// Releases everything the scene holds (no leaks for the sanitizer)
inline void releaseScene()
{
    clear_objects();
    set_creation_counter(0);
    clear_usage_table();
    clear_material_table();
    clear_texture_table();
    clearFlagTable();
}

// A scratch working directory with DESCscene.dtd; the test runs inside it
class SceneDirTest : public ::testing::Test {
protected:
    std::string previousDir;
    std::string dir;

    void SetUp() override
    {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previousDir = cwd;
        char pattern[] = "/tmp/scenefile-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        ASSERT_EQ(chdir(dir.c_str()), 0);
        writeFile("DESCscene.dtd", readFile(SW_SCENE_DTD));
        ASSERT_FALSE(readFile("DESCscene.dtd").empty());
        freshScene();
    }

    void TearDown() override
    {
        releaseScene();
        ASSERT_EQ(chdir(previousDir.c_str()), 0);
        std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }
};

//----------------------------------------------------------------------------------
// Building a scene in memory
//----------------------------------------------------------------------------------

// A material with the given texture frames (multiple as given; frames set directly)
inline material_record *addTestMaterial(const char *name, int texturado, int multiple,
                                        std::initializer_list<const char *> frames)
{
    material_record *material = new_material();
    material->name = name;
    material->texturado = texturado;
    if (multiple >= 0) {
        material->texture = new_texture_block();
        material->texture->multiple = multiple;
        for (const char *frame : frames) material->texture->frames.emplace_back(frame);
    }
    EXPECT_EQ(add_material(material), 1);
    return material;
}

// An object of the kind from explicit parameters, stored at the next slot; returns its slot
inline int addTestObject(int kind, std::initializer_list<int> parameters, object_pose pose,
                         std::initializer_list<const char *> materials)
{
    int values[MAX_PARAMETERS] = {};
    int i = 0;
    for (int value : parameters) values[i++] = value;
    primitiva record = {};
    EXPECT_EQ(build_primitive(kind, values, &record), 1);
    record.nameBase = take_name_base();
    record.pose = pose;
    for (const char *name : materials) append_material_name(&record, name);
    int index = store_object(record, nullptr);
    EXPECT_GE(index, 0);
    add_user(first_material_name(object_at(index)), object_slot(index));
    return index;
}

// The event set of slot index, made when missing
inline EventSet *eventSetOf(int index)
{
    scene_slot *slot = object_slot(index);
    if (slot->eventSet == nullptr) slot->eventSet = newEventSet();
    return slot->eventSet;
}

inline void append(Event &event, int kind, void *value) { setConsequence(&event, event.consequenceCount, kind, value); }

// Keys of a hash table in its iteration order
inline std::vector<std::string> keysInOrder(hash_table *table)
{
    std::vector<std::string> keys;
    hash_iterator it = {};
    const unsigned char *key = nullptr;
    uint32_t length = 0;
    for (void *data = hash_table_first(table, &it, &key, &length); data != nullptr;
         data = hash_table_next(table, &it, &key, &length))
        keys.emplace_back((const char *)key, length);
    return keys;
}

// Positions of each needle in text, in the order given (npos when missing)
inline std::vector<size_t> positionsOf(const std::string &text, const std::vector<std::string> &needles)
{
    std::vector<size_t> at;
    for (const std::string &needle : needles) at.push_back(text.find(needle));
    return at;
}

}  // namespace scene_file_test
