// Generation time of every primitive kind (defaults and large segment counts) and the cost of
// filling and clearing the object table.
#include "generators.h"
#include "objects.h"
#include "parameters.h"

#include <benchmark/benchmark.h>

// One kind with its default parameters
static void BM_GenerateDefault(benchmark::State &state)
{
    int kind = (int)state.range(0);
    for (auto _ : state) {
        primitiva p = generate_kind(kind);
        benchmark::DoNotOptimize(p.faces);
        free_primitiva(&p);
    }
    state.SetLabel(parameter_element_name(kind));
}
BENCHMARK(BM_GenerateDefault)->DenseRange(0, PRIMITIVE_KINDS - 1);

// Curved kinds with many segments
static void BM_GenerateSphere(benchmark::State &state)
{
    int segments = (int)state.range(0);
    for (auto _ : state) {
        primitiva p = generate_sphere(4, 4, 4, segments, segments);
        benchmark::DoNotOptimize(p.faces);
        free_primitiva(&p);
    }
    state.counters["faces"] = 8.0 * segments * segments;
}
BENCHMARK(BM_GenerateSphere)->Arg(8)->Arg(32)->Arg(64)->Unit(benchmark::kMillisecond);

static void BM_GenerateHalfSphere(benchmark::State &state)
{
    int segments = (int)state.range(0);
    for (auto _ : state) {
        primitiva p = generate_half_sphere(4, 4, 4, segments, segments);
        benchmark::DoNotOptimize(p.faces);
        free_primitiva(&p);
    }
}
BENCHMARK(BM_GenerateHalfSphere)->Arg(64)->Unit(benchmark::kMillisecond);

static void BM_GenerateCylinder(benchmark::State &state)
{
    int segments = (int)state.range(0);
    for (auto _ : state) {
        primitiva p = generate_cylinder(4, 4, 4, 4, segments);
        benchmark::DoNotOptimize(p.faces);
        free_primitiva(&p);
    }
}
BENCHMARK(BM_GenerateCylinder)->Arg(64)->Arg(256)->Unit(benchmark::kMillisecond);

static void BM_GenerateCircle(benchmark::State &state)
{
    int segments = (int)state.range(0);
    for (auto _ : state) {
        primitiva p = generate_circle(4, 4, 4, segments);
        benchmark::DoNotOptimize(p.faces);
        free_primitiva(&p);
    }
}
BENCHMARK(BM_GenerateCircle)->Arg(256)->Unit(benchmark::kMillisecond);

// Creating 1000 objects of one kind, then clearing the table
static void BM_CreateThousandObjects(benchmark::State &state)
{
    int kind = (int)state.range(0);
    for (auto _ : state) {
        for (int i = 0; i < MAX_OBJECTS; i++) create_object(kind);
        clear_objects();
        set_creation_counter(0);
    }
    state.SetLabel(parameter_element_name(kind));
}
BENCHMARK(BM_CreateThousandObjects)->Arg(KIND_CUBE)->Arg(KIND_CYLINDER)->Arg(KIND_SPHERE)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
