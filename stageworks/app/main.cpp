/**********************************************************************************************
*
*   stageworks - full-screen editor of small interactive 3D scenes
*
**********************************************************************************************/
#include "startup.h"

#include <cstdio>

int main(int argc, char **argv)
{
    // NOTE: progress lines must reach a pipe as soon as they are printed
    setvbuf(stdout, nullptr, _IOLBF, 0);
    printBanner();
    return stageworksMain(argc, argv);
}
