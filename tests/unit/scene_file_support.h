// Shared by the scene file tests: a scratch working directory holding the DTD, fresh scene
// tables, file helpers and the xmllint check.
#pragma once

#include "app_state.h"
#include "events.h"
#include "flags.h"
#include "generators.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "parameters.h"
#include "scene_geometry.h"
#include "scene_reader.h"
#include "scene_writer.h"
#include "textures.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace scene_file_test {

const std::string PROLOGUE =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\n";

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

inline bool fileExists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// The names in a folder, sorted ("." and ".." left out)
inline std::vector<std::string> directoryEntries(const std::string &folder)
{
    std::vector<std::string> names;
    if (DIR *dir = opendir(folder.c_str())) {
        while (const dirent *entry = readdir(dir))
            if (std::string(entry->d_name) != "." && std::string(entry->d_name) != "..") names.push_back(entry->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// xmllint's validating parse of a file in the working directory (the DTD lies beside it)
inline bool xmllintAccepts(const std::string &path)
{
    return std::system(("xmllint --valid --noout '" + path + "' 2>/dev/null").c_str()) == 0;
}

// Makes /tmp/PREFIX-XXXXXX with the scene DTD, notes the working directory in previousDir and
// works in the new one (dir)
inline void enterSceneScratchDir(const std::string &prefix, std::string &previousDir, std::string &dir)
{
    char cwd[4096];
    std::string pattern = "/tmp/" + prefix + "-XXXXXX";
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    previousDir = cwd;
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir = pattern;
    ASSERT_EQ(chdir(dir.c_str()), 0);
    writeFile("DESCscene.dtd", readFile(SW_SCENE_DTD));
}

// A scratch working directory with DESCscene.dtd; the test runs inside it
class SceneDirTest : public ::testing::Test {
protected:
    std::string previousDir, dir;

    void SetUp() override
    {
        enterSceneScratchDir("scenefile-test", previousDir, dir);
        // empty tables, no objects, event sets released by the events library
        set_event_set_release(freeEventSet);
        create_texture_table();
        create_material_table();
        createFlagTable();
        rebuild_usage_table();
        resetAppState();
    }

    void TearDown() override
    {
        clear_objects();
        set_creation_counter(0);
        clear_usage_table();
        clear_material_table();
        clear_texture_table();
        clearFlagTable();
        ASSERT_EQ(chdir(previousDir.c_str()), 0);
        ASSERT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
    }

    // Loads the text as escena.xml and returns what was written on standard error
    std::string loadText(const std::string &text, int *result)
    {
        writeFile("escena.xml", text);
        testing::internal::CaptureStderr();
        *result = loadScene();
        return testing::internal::GetCapturedStderr();
    }
};

}  // namespace scene_file_test
