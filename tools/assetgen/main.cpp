/**********************************************************************************************
*
*   assetgen - writes the run-time data of stageworks into a directory
*
*   Usage: assetgen DIRECTORY
*
*   Everything is drawn by this program; nothing is copied from elsewhere. The output is
*   deterministic: the same build writes the same bytes.
*
*   DEPENDENCIES: generate
*
**********************************************************************************************/
#include "generate.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: assetgen DIRECTORY\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    std::string error;
    int files = 0;
    if (!generateAssets(argv[1], error, files)) {
        fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    printf("assetgen: %d files written into %s in %lld ms\n", files, argv[1], static_cast<long long>(ms));
    return 0;
}
