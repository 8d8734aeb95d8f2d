/**********************************************************************************************
*
*   stageworks - full-screen editor of small interactive 3D scenes
*
**********************************************************************************************/
#include "command_line.h"
#include "startup.h"

#include <cerrno>   // Required for: errno
#include <cstdio>
#include <cstring>  // Required for: strerror()
#include <unistd.h> // Required for: chdir()

int main(int argc, char **argv)
{
    // NOTE: progress lines must reach a pipe as soon as they are printed
    setvbuf(stdout, nullptr, _IOLBF, 0);

    CommandLine options = parseCommandLine(&argc, argv);
    if (!options.error.empty()) {
        fprintf(stderr, "stageworks: %s\nTry 'stageworks --help'.\n", options.error.c_str());
        return 2;
    }
    if (options.help) {
        fputs(commandLineHelp("stageworks").c_str(), stdout);
        return 0;
    }
    if (options.version) {
        printf("%s\n", commandLineVersion().c_str());
        return 0;
    }
    if (!options.sceneDir.empty() && chdir(options.sceneDir.c_str()) != 0) {
        fprintf(stderr, "stageworks: cannot work in '%s': %s\n", options.sceneDir.c_str(), strerror(errno));
        return 2;
    }
    setCommandLine(options);

    printBanner();
    return stageworksMain(argc, argv);
}
