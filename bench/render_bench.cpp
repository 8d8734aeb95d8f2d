// Frame cost of drawScene for 1000 default objects of all twelve kinds on the private X
// server's software GL, from display lists and face by face, and the time from starting the
// real program to its first drawn frame.
#include "app_state.h"
#include "camera.h"
#include "gl_context.h"
#include "lights.h"
#include "material_usage.h"
#include "materials.h"
#include "objects.h"
#include "render.h"
#include "render_bench_scene.h"
#include "scene_draw.h"
#include "stageworks_run.h"
#include "startup.h"
#include "textures.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

bool sceneReady = false;

// The 1000 objects, once
void buildScene()
{
    buildRenderBenchScene();
    sceneReady = true;
}

// One frame of the scene, finished by the GL
void drawFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawScene();
    glFinish();
}

void BM_DrawScene(benchmark::State &state)
{
    if (!sceneReady) {
        state.SkipWithError("no GL context");
        return;
    }
    setUseDisplayLists((int)state.range(0));
    drawFrame();  // builds any list still missing
    drawFrame();
    long faces = 0;
    for (int i = 0; i < object_count(); i++) faces += faces_to_draw(object_at(i));
    for (auto _ : state) drawFrame();
    state.counters["objects"] = object_count();
    state.counters["faces"] = (double)faces;
    state.SetLabel(state.range(0) ? "display lists" : "face by face");
}
BENCHMARK(BM_DrawScene)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// From launching the program to the first frame on the screen (the X server is already up)
void BM_StartToFirstFrame(benchmark::State &state)
{
    for (auto _ : state) {
        StageworksRun run;
        if (!run.startServer() || !run.prepareWorkDir()) {
            state.SkipWithError("no X server");
            return;
        }
        long start = xdriver::nowMs();
        run.launch();
        bool drawn = run.app.waitForOutput(" MainLoop started...\n", 60000) &&
                     xdriver::waitUntil(
                         [&] {
                             run.app.pump(0);
                             xdriver::Image shot = run.input.screenshot();
                             if (shot.empty()) return false;
                             const uint8_t *p = shot.pixel(20, 20);  // sky once drawn, black before
                             return p[2] > 100;
                         },
                         60000, 5);
        long elapsed = xdriver::nowMs() - start;
        if (!drawn) {
            state.SkipWithError("no first frame");
            return;
        }
        state.SetIterationTime((double)elapsed / 1000.0);
    }
}
BENCHMARK(BM_StartToFirstFrame)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (openGlContext()) buildScene();
    else fprintf(stderr, "no GL context: the drawing benchmarks are skipped\n");
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
