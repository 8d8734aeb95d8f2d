/**********************************************************************************************
*
*   save_timer - the time stageworks takes to save a scene, for the frame-rate script
*
*   Usage: save_timer [REPEATS]   (in a directory holding escena.xml and its DTD)
*
*   Loads escena.xml with the program's own reader, then saves it REPEATS times (default 5)
*   with the program's own writer (temporary file, fsync, rename) and prints the fastest save
*   in milliseconds, or an error and exit status 1.
*
*   DEPENDENCIES: scenefile (reader, writer), events (event set release)
*
**********************************************************************************************/
#include "events.h"
#include "objects.h"
#include "scene_reader.h"
#include "scene_writer.h"

#include <chrono>  // Required for: steady_clock
#include <cstdio>
#include <cstdlib>  // Required for: atoi()

int main(int argc, char **argv)
{
    int repeats = argc > 1 ? atoi(argv[1]) : 5;
    if (repeats < 1) repeats = 1;
    set_event_set_release(freeEventSet);
    if (validateSceneFile() != 1 || loadScene() != 1) {
        fprintf(stderr, "save_timer: escena.xml did not load\n");
        return 1;
    }
    double best = 1e30;
    for (int i = 0; i < repeats; i++) {
        auto start = std::chrono::steady_clock::now();
        if (saveScene() != 1) {
            fprintf(stderr, "save_timer: escena.xml was not saved\n");
            return 1;
        }
        double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (ms < best) best = ms;
    }
    printf("%.1f\n", best);
    clear_objects();
    return 0;
}
