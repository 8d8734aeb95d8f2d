// Temporary directories and whole-file helpers for the matforge tests.
// Depends on C++17 filesystem and gtest; MF_TEST_DATA and MF_SCENE_DTD come from the build.
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
    std::string path = (std::filesystem::temp_directory_path() / "matforge.XXXXXX").string();
    TempDir() { EXPECT_NE(mkdtemp(&path[0]), nullptr); }
    ~TempDir() { std::error_code ignored; std::filesystem::remove_all(path, ignored); }
    std::string file(const std::string &name) const { return path + "/" + name; }
};

inline std::string readFile(const std::string &path)
{
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

inline void writeFile(const std::string &path, const std::string &content)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

inline std::string dataFile(const std::string &name) { return readFile(std::string(MF_TEST_DATA) + "/" + name); }

// Copies a test scene and the scene DTD into a directory; returns the scene's path
inline std::string installScene(const TempDir &dir, const std::string &dataName, const std::string &asName = "escena.xml")
{
    writeFile(dir.file(asName), dataFile(dataName));
    writeFile(dir.file("DESCscene.dtd"), readFile(MF_SCENE_DTD));
    return dir.file(asName);
}

// The prologue every scene of the tests starts with
inline const std::string prologue =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE escena SYSTEM \"DESCscene.dtd\">\n";

}  // namespace mftest
