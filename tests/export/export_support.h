// Shared by the export tests: the program, files and shell commands, and a scratch directory
// holding the run data (DTD, bitmaps, demo scene).
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace export_test {

const std::string EXPORT = SW_EXPORT_BIN;

inline std::string readBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

inline void writeBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline bool exists(const std::string &path) { return access(path.c_str(), F_OK) == 0; }

// Exit status of a shell command
inline int run(const std::string &command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A scratch directory holding the run data (DTD, bitmaps, demo scene)
struct ScratchDir {
    std::string path;
    ScratchDir()
    {
        char pattern[] = "/tmp/export-test-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
        EXPECT_EQ(run("cp -a '" SW_RUNDATA_DIR "/.' '" + path + "'"), 0);
    }
    ~ScratchDir() { run("rm -rf '" + path + "'"); }
    std::string operator/(const std::string &name) const { return path + "/" + name; }
};

}  // namespace export_test
