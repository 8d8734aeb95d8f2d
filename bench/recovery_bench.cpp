// The longest frame of the 1000-object scene with the recovery copy being written, beside the
// same frames without it, on the private X server's GL. Each frame is what the program does
// between two swaps: the recovery check of the half-second timer, then drawScene finished by
// the GL. The check's clock runs FRAME_CLOCK_MS per frame, so a copy falls due every 30 frames
// or so (the document made on this thread, the write and the flush to the disk on the writer
// thread, which goes on beside the next frames); with argument 2 every check finds one due
// (a copy every other frame, far more than the program ever writes). An edit before each
// frame keeps the scene unsaved and ahead of the copy. Counters: the longest frame, the
// longest frame that began a copy and the mean, in milliseconds, and the copies written.
#include "app_state.h"
#include "camera.h"
#include "edit_history.h"
#include "gl_context.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "recovery.h"
#include "render.h"
#include "render_bench_scene.h"
#include "scene_draw.h"
#include "scene_writer.h"
#include "startup.h"
#include "textures.h"
#include "unsaved.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <unistd.h>  // Required for: chdir(), mkdtemp()

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

bool sceneReady = false;
long long fakeClock = 0;   // the recovery check's clock
const long long FRAME_CLOCK_MS = 2001;

// The render benchmark's 1000 objects, saved as they are
void buildScene()
{
    buildRenderBenchScene();
    clearEditHistory();
    watchUnsavedState();
    markSceneSaved();
    sceneReady = true;
}

// An edit the history records: one object turned a little
void edit(int frame)
{
    const int index = frame % object_count();
    beginEdit(index);
    object_at(index)->pose.yaw += 1.0f;
    endEdit("rotar objeto");
}

// One frame: the recovery check (mode 1: the clock of a 2 s frame; 2: a copy due at every
// check; 0: none), the scene, finished by the GL
void frame(int mode)
{
    if (mode != 0) {
        fakeClock += mode == 1 ? FRAME_CLOCK_MS : RECOVERY_INTERVAL_MS + RECOVERY_DELAY_MS;
        serviceRecovery(fakeClock);
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawScene();
    glFinish();
}

void BM_FrameWithRecoveryCopy(benchmark::State &state)
{
    if (!sceneReady) {
        state.SkipWithError("no GL context");
        return;
    }
    const int mode = (int)state.range(0);
    frame(0);  // builds the display lists
    frame(0);
    double longest = 0.0, longestWithCopy = 0.0, total = 0.0;
    long frames = 0;
    const int before = recoveryCopiesWritten();
    for (auto _ : state) {
        state.PauseTiming();
        edit((int)frames);
        state.ResumeTiming();
        const int copiesBefore = recoveryCopiesWritten();
        const auto start = std::chrono::steady_clock::now();
        frame(mode);
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        longest = std::max(longest, ms);
        // NOTE: a copy is counted when the check after it finds it done: the frame of that
        // check, or the one before, began it
        if (recoveryCopiesWritten() != copiesBefore) longestWithCopy = std::max(longestWithCopy, ms);
        total += ms;
        frames++;
    }
    finishRecoveryWrite();
    state.counters["longest_ms"] = longest;
    state.counters["longest_copy_ms"] = longestWithCopy;
    state.counters["mean_ms"] = frames > 0 ? total / (double)frames : 0.0;
    state.counters["copies"] = recoveryCopiesWritten() - before;
    state.SetLabel(mode == 0 ? "no recovery copy" : mode == 1 ? "a copy every 30 frames" : "a copy every other frame");
}
BENCHMARK(BM_FrameWithRecoveryCopy)->Arg(0)->Arg(1)->Arg(2)->Iterations(300)->Unit(benchmark::kMillisecond);

// The part that stays on the main thread: the document of the 1000 objects made in memory
void BM_RecoveryDocument(benchmark::State &state)
{
    if (!sceneReady) {
        state.SkipWithError("no GL context");
        return;
    }
    std::string document;
    for (auto _ : state) benchmark::DoNotOptimize(writeSceneDocument(&document));
    state.counters["bytes"] = (double)document.size();
}
BENCHMARK(BM_RecoveryDocument)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    char scratch[] = "/tmp/recovery-bench-XXXXXX";
    if (mkdtemp(scratch) == nullptr || chdir(scratch) != 0) {
        fprintf(stderr, "no scratch directory\n");
        return 1;
    }
    if (openGlContext()) buildScene();
    else fprintf(stderr, "no GL context: the benchmarks are skipped\n");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    forgetRecoveryCopy();
    chdir("/");
    rmdir(scratch);
    return 0;
}
