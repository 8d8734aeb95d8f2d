/**********************************************************************************************
*
*   assetgen - writes the run-time data of stageworks into a directory
*
*   Usage: assetgen DIRECTORY
*
*   Everything is drawn by this program; nothing is copied from elsewhere. The output is
*   deterministic: the same build writes the same bytes.
*
**********************************************************************************************/
#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>

// Creates a directory unless it exists
static bool makeDirectory(const std::string &path)
{
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: assetgen DIRECTORY\n");
        return 2;
    }
    std::string root = argv[1];
    if (!makeDirectory(root) || !makeDirectory(root + "/Data")) {
        fprintf(stderr, "assetgen: cannot create %s/Data\n", root.c_str());
        return 1;
    }
    return 0;
}
