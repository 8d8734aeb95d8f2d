/**********************************************************************************************
*
*   matforge_files - temporary directories and whole-file helpers for the matforge tests
*
*   DEPENDENCIES: C++17 filesystem, gtest; MF_TEST_DATA and MF_SCENE_DTD from the build
*
**********************************************************************************************/
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace mftest {

// A fresh directory under the system's temporary directory, removed with its content
struct TempDir {
    std::string path;
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "matforge.XXXXXX").string();
        char *made = mkdtemp(&pattern[0]);
        EXPECT_NE(made, nullptr);
        path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string &name) const { return path + "/" + name; }
};

inline std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void writeFile(const std::string &path, const std::string &content)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
}

inline std::string dataFile(const std::string &name)
{
    return readFile(std::string(MF_TEST_DATA) + "/" + name);
}

// Copies a test scene and the scene DTD into a directory; returns the scene's path
inline std::string installScene(const TempDir &dir, const std::string &dataName, const std::string &asName = "escena.xml")
{
    writeFile(dir.file(asName), dataFile(dataName));
    writeFile(dir.file("DESCscene.dtd"), readFile(MF_SCENE_DTD));
    return dir.file(asName);
}

// The prologue every scene of the tests starts with
inline const std::string &prologue()
{
    static const std::string text =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\n";
    return text;
}

}  // namespace mftest
