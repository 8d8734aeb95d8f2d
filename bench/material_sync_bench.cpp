// What stageworks pays for watching escena.xml while it runs: the twice-a-second check of a
// file that did not change (one stat), and a change whose texture and material sections are
// the ones held already (a validating parse of the whole file, the two sections read and
// compared, nothing taken over), for a scene of 1000 objects. The goal: a check far below a
// frame (16 ms) and a read of a changed file within a few frames.
#include "material_sync.h"
#include "scene_bench_support.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>     // Required for: AT_FDCWD
#include <sys/stat.h>  // Required for: utimensat()

namespace {

// Tables with three textured materials and 1000 objects of the twelve kinds in turn
void buildScene()
{
    addBenchMaterials();
    for (int i = 0; i < MAX_OBJECTS; i++) storeBenchObject(benchObject(i), nullptr);
}

void BM_CheckUnchangedFile(benchmark::State &state)
{
    for (auto _ : state) benchmark::DoNotOptimize(syncSceneMaterials());
}
BENCHMARK(BM_CheckUnchangedFile)->Unit(benchmark::kMicrosecond);

// The file touched before every check: read, validated and compared each time
void BM_CheckChangedFileSameMaterials(benchmark::State &state)
{
    long long tick = 0;
    for (auto _ : state) {
        state.PauseTiming();
        struct timespec times[2] = {{1000000 + tick, 0}, {1000000 + tick, 0}};
        tick++;
        utimensat(AT_FDCWD, "escena.xml", times, 0);
        state.ResumeTiming();
        if (syncSceneMaterials() != 0) state.SkipWithError("the same sections changed the scene");
    }
}
BENCHMARK(BM_CheckChangedFileSameMaterials)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    char pattern[] = "/tmp/materialsync-bench-XXXXXX";
    if (!enterBenchDirectory(pattern)) return 1;
    buildScene();
    std::string document;
    if (!saveScene(&document)) return 1;
    rememberSceneWritten(document);
    return runSceneBenchmarks(argc, argv, pattern);
}
