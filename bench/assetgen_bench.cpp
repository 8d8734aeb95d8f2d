// Generation time of the run data: the whole set, and its two costliest parts.
#include "font_atlas.h"
#include "generate.h"
#include "raster3d.h"
#include "solids.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

// Everything, written into a fresh temporary directory each time
static void BM_GenerateAllAssets(benchmark::State &state)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "assetgen_bench_XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) {
        state.SkipWithError("cannot make a temporary directory");
        return;
    }
    std::string dir = buf.data();
    for (auto _ : state) {
        std::string error;
        int files = 0;
        if (!generateAssets(dir, error, files)) {
            state.SkipWithError(error.c_str());
            break;
        }
        benchmark::DoNotOptimize(files);
    }
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
}
BENCHMARK(BM_GenerateAllAssets)->Unit(benchmark::kMillisecond);

// The texture font alone
static void BM_BuildFontAtlas(benchmark::State &state)
{
    FontFace face;
    std::string error;
    if (!openFontFace(face, regularFontPath(), error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        FontAtlas atlas;
        buildFontAtlas(face, atlas, error);
        benchmark::DoNotOptimize(atlas.pixels.data());
    }
}
BENCHMARK(BM_BuildFontAtlas)->Unit(benchmark::kMillisecond);

// One primitive picture (the sphere, the largest mesh)
static void BM_RenderSpherePicture(benchmark::State &state)
{
    Mesh mesh = solidMesh(10);
    for (auto _ : state) {
        Canvas canvas = makeCanvas(128, 128, {0, 0, 0});
        renderMesh(canvas, mesh, 6, 4, 122, 102, {0.6f, 0.7f, 0.9f}, MeshView());
        benchmark::DoNotOptimize(canvas.pixels.data());
    }
}
BENCHMARK(BM_RenderSpherePicture)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
