/**********************************************************************************************
*
*   assetgen - writes the run-time data of stageworks into a directory
*
*   Usage: assetgen DIRECTORY           the run data (Data/, arial.glf)
*          assetgen --icons DIRECTORY   the desktop icons (DIRECTORY/hicolor/...)
*
*   Everything is drawn by this program; nothing is copied from elsewhere. The output is
*   deterministic: the same build writes the same bytes.
*
*   DEPENDENCIES: generate, app_icons
*
**********************************************************************************************/
#include "app_icons.h"
#include "generate.h"

#include <chrono>
#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    bool icons = argc == 3 && std::string(argv[1]) == "--icons";
    if (argc != 2 && !icons) {
        fprintf(stderr, "usage: assetgen DIRECTORY | assetgen --icons DIRECTORY\n");
        return 2;
    }
    const char *directory = argv[argc - 1];
    auto start = std::chrono::steady_clock::now();
    std::string error;
    int files = 0;
    bool ok = icons ? generateAppIcons(directory, error, files) : generateAssets(directory, error, files);
    if (!ok) {
        fprintf(stderr, "assetgen: %s\n", error.c_str());
        return 1;
    }
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    printf("assetgen: %d files written into %s in %lld ms\n", files, directory, static_cast<long long>(ms));
    return 0;
}
