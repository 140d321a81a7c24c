// Skinning and pose blending of the hunter, with the portable routines
// (core_startup(0)) and with the processor's (core_startup(1)), side by side;
// and the skinning loops alone (the portable loop through the routine table,
// the SSE and the AVX2 loop) on the hunter's mesh and on the same mesh with
// exactly four influences per vertex. The SIMD loops also report their
// speed against the portable loop timed in the same run (x_portable); the
// context names the instruction sets the start-up found.
//
// Counters: vertices/s; for the SIMD loops also GFLOP/s (floating-point lane
// operations executed). peak_sse measures what the core delivers right now to
// independent multiplies and adds in SSE registers (its nominal peak is two
// multiply and two add pipes of four lanes per cycle: 16 operations per
// cycle), against which the loops' GFLOP/s can be read.
#include <benchmark/benchmark.h>
#include <xmmintrin.h>

#include <random>
#include <string>

#include "kelncore/collections/auto_ptr.h"
#include "kelncore/math/mat4_routines.h"
#include "kelncore/system/cpu.h"
#include "kelncore/system/startup.h"
#include "instruction_sets.h"
#include "velm/pose_matrices.h"
#include "velm/skeletal_instance.h"
#include "velm/skin_vertices.h"
#include "velm/skin_vertices_fast.h"

namespace keln::velm {
namespace {

std::string hunter_file(const char* file) { return std::string(VELM_DATA_DIR) + "hunter/" + file; }

// The hunter playing its walk and its run, loaded once (its load reports
// are printed before the first benchmark); skinning holds the skinning
// matrices of its current pose.
struct hunter_t {
  hunter_t() {
    core_startup(1);
    instance.reset(new skeletal_instance_t(hunter_file("hunter.qis").c_str()));
    mesh.reset(instance->load_skin(hunter_file("hunter.qim").c_str()));
    walk.reset(instance->load_motion(hunter_file("walk.qia").c_str()));
    run.reset(instance->load_motion(hunter_file("run.qia").c_str()));
    instance->binding(instance->add_pose(walk.get())).weight = 1.0f;
    instance->binding(instance->add_pose(run.get())).weight = 1000.0f;
    walk->advance(0.4f);
    run->advance(0.4f);
    instance->update();
    global_matrices(instance->skeleton(), instance->pose(), skinning);
    for (std::uint32_t b = 0; b < skinning.size(); ++b)
      mat4_mul_alias_b(skinning[b], instance->inverse_bind()[b], skinning[b]);

    // The same mesh with exactly four influences per vertex: its first one
    // and three more bones, weights summing to 1.
    four = *mesh;
    std::mt19937 rng(4);
    for (skin_vertex_t& vertex : four.skin_vertices) {
      const std::uint32_t first = vertex.influences.empty() ? 0 : vertex.influences[0].bone;
      vertex.influences.clear();
      const float weights[4] = {0.55f, 0.25f, 0.15f, 0.05f};
      for (unsigned i = 0; i < 4; ++i) {
        const std::uint32_t bone = i == 0 ? first : static_cast<std::uint32_t>(rng() % skinning.size());
        vertex.influences.push_back(skin_t{bone, weights[i]});
      }
    }
  }

  auto_ptr_t<skeletal_instance_t> instance;
  auto_ptr_t<skinned_mesh_t> mesh;
  auto_ptr_t<motion_t> walk;
  auto_ptr_t<motion_t> run;
  array_dyn_t<mat4_t> skinning;
  skinned_mesh_t four;
};

hunter_t& hunter() {
  static hunter_t loaded;
  return loaded;
}

double influences_per_vertex(const skinned_mesh_t& mesh) {
  double total = 0;
  for (const skin_vertex_t& vertex : mesh.skin_vertices) total += vertex.influences.size();
  return total / mesh.skin_vertices.size();
}

void count_vertices(benchmark::State& state, const skinned_mesh_t& mesh) {
  state.counters["vertices/s"] =
      benchmark::Counter(static_cast<double>(mesh.positions.size()), benchmark::Counter::kIsIterationInvariantRate);
  state.counters["influences"] = influences_per_vertex(mesh);
}

// Floating-point lane operations per vertex of the SIMD loops: 32 per
// influence (16 multiplies and 16 adds), 24 for the point, 8 for its
// division, 28 for the normal.
double sse_loop_flops(double influences) { return 32.0 * influences + 60.0; }

// GFLOP/s of a SIMD loop.
void count_flops(benchmark::State& state, const skinned_mesh_t& mesh) {
  const double flops = sse_loop_flops(influences_per_vertex(mesh)) * mesh.positions.size();
  state.counters["GFLOP/s"] = benchmark::Counter(flops * 1e-9, benchmark::Counter::kIsIterationInvariantRate);
}

// The whole skinning of the instance: skinning matrices, then the vertices
// through the routine table.
void skin_instance(benchmark::State& state) {
  hunter_t& h = hunter();
  core_startup(static_cast<unsigned>(state.range(0)));
  for (auto _ : state) {
    h.instance->skin(*h.mesh, h.instance->pose());
    benchmark::ClobberMemory();
  }
  count_vertices(state, *h.mesh);
}
BENCHMARK(skin_instance)->ArgName("core_startup")->Arg(0)->Arg(1);

// Blending the walk and the run into the current pose, a 60th of a second on.
void update(benchmark::State& state) {
  hunter_t& h = hunter();
  core_startup(static_cast<unsigned>(state.range(0)));
  for (auto _ : state) {
    h.walk->advance(1.0f / 60.0f);
    h.run->advance(1.0f / 60.0f);
    h.instance->update();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(update)->ArgName("core_startup")->Arg(0)->Arg(1);

// The vertex loops alone, on the hunter's mesh (influences 0) or on the same
// mesh with four influences per vertex (influences 4).
skinned_mesh_t& loop_mesh(const benchmark::State& state) {
  return state.range(1) == 4 ? hunter().four : *hunter().mesh;
}

void skin_loop_table(benchmark::State& state) {
  skinned_mesh_t& mesh = loop_mesh(state);
  core_startup(static_cast<unsigned>(state.range(0)));
  for (auto _ : state) {
    skin_vertices(mesh, hunter().skinning);
    benchmark::ClobberMemory();
  }
  count_vertices(state, mesh);
}
BENCHMARK(skin_loop_table)
    ->ArgNames({"core_startup", "influences"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 4})
    ->Args({1, 4});

template <void (*loop)(skinned_mesh_t&, const array_t<mat4_t>&)>
void skin_loop_simd(benchmark::State& state) {
  skinned_mesh_t& mesh = loop_mesh(state);
  core_startup(1);
  if ((loop == &skin_vertices_avx2 && !skin_avx2_available()) || (loop == &skin_vertices_fma && !skin_fma_available())) {
    state.SkipWithError("no AVX2 or FMA on this processor");
    return;
  }
  for (auto _ : state) {
    loop(mesh, hunter().skinning);
    benchmark::ClobberMemory();
  }
  count_vertices(state, mesh);
  count_flops(state, mesh);
  // Against the portable loop timed right after, in this run.
  constexpr int repetitions = 200;
  const double own = keln::bench::cpu_seconds([&] { loop(mesh, hunter().skinning); }, repetitions);
  core_startup(0);
  const double portable = keln::bench::cpu_seconds([&] { skin_vertices(mesh, hunter().skinning); }, repetitions);
  core_startup(1);
  state.counters["x_portable"] = own > 0 ? portable / own : 0.0;
}
BENCHMARK_TEMPLATE(skin_loop_simd, skin_vertices_sse)
    ->ArgNames({"core_startup", "influences"})
    ->Args({1, 0})
    ->Args({1, 4});
BENCHMARK_TEMPLATE(skin_loop_simd, skin_vertices_avx2)
    ->ArgNames({"core_startup", "influences"})
    ->Args({1, 0})
    ->Args({1, 4});
BENCHMARK_TEMPLATE(skin_loop_simd, skin_vertices_fma)
    ->ArgNames({"core_startup", "influences"})
    ->Args({1, 0})
    ->Args({1, 4});

// Independent multiplies and adds in registers: what the core gives now.
void peak_sse(benchmark::State& state) {
  __m128 m0 = _mm_set1_ps(1.0f), m1 = m0, m2 = m0, m3 = m0, m4 = m0, m5 = m0;
  __m128 a0 = m0, a1 = m0, a2 = m0, a3 = m0, a4 = m0, a5 = m0;
  const __m128 f = _mm_set1_ps(0.999f), d = _mm_set1_ps(0.001f);
  constexpr int ROUNDS = 1000;
  for (auto _ : state) {
    for (int i = 0; i < ROUNDS; ++i) {
      m0 = _mm_mul_ps(m0, f), m1 = _mm_mul_ps(m1, f), m2 = _mm_mul_ps(m2, f);
      m3 = _mm_mul_ps(m3, f), m4 = _mm_mul_ps(m4, f), m5 = _mm_mul_ps(m5, f);
      a0 = _mm_add_ps(a0, d), a1 = _mm_add_ps(a1, d), a2 = _mm_add_ps(a2, d);
      a3 = _mm_add_ps(a3, d), a4 = _mm_add_ps(a4, d), a5 = _mm_add_ps(a5, d);
      __asm__ volatile(""
                       : "+x"(m0), "+x"(m1), "+x"(m2), "+x"(m3), "+x"(m4), "+x"(m5), "+x"(a0), "+x"(a1), "+x"(a2),
                         "+x"(a3), "+x"(a4), "+x"(a5));
    }
  }
  core_startup(1);
  state.counters["GFLOP/s"] = benchmark::Counter(48.0 * ROUNDS * 1e-9, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["nominal GFLOP/s"] = 16.0 * cpu_mhz() * 1e-3;
}
BENCHMARK(peak_sse);

}  // namespace
}  // namespace keln::velm

VELM_BENCHMARK_MAIN();
