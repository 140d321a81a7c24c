#pragma once
// The machine's instruction sets as the start-up finds them, for the context
// lines of the benchmark programs; and the processor time of a repeated call,
// for ratios between routines measured side by side in one run.

#include <benchmark/benchmark.h>

#include <ctime>
#include <string>

#include "kelncore/system/cpu.h"
#include "kelncore/system/cpu_vector_sets.h"
#include "kelncore/system/startup.h"

namespace keln::bench {

// Starts the core with identification and names what it found, e.g.
// "SSE SSE2 AVX2 FMA" (the core stays started).
inline std::string instruction_sets() {
  core_startup(1);
  std::string sets;
  const std::uint32_t features = cpu_features(), vector_sets = cpu_vector_sets();
  if (features & CPU_FEAT_SSE) sets += "SSE ";
  if (features & CPU_FEAT_SSE2) sets += "SSE2 ";
  if (vector_sets & CPU_VEC_AVX2) sets += "AVX2 ";
  if (vector_sets & CPU_VEC_FMA) sets += "FMA ";
  return sets.empty() ? "none" : sets.substr(0, sets.size() - 1);
}

// Processor seconds of repetitions calls of fn.
template <typename Fn>
double cpu_seconds(Fn fn, int repetitions) {
  const std::clock_t start = std::clock();
  for (int i = 0; i < repetitions; ++i) fn();
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

}  // namespace keln::bench

// A benchmark main whose context names the instruction sets.
#define VELM_BENCHMARK_MAIN()                                                           \
  int main(int argc, char** argv) {                                                     \
    benchmark::Initialize(&argc, argv);                                                 \
    benchmark::AddCustomContext("instruction sets", keln::bench::instruction_sets());  \
    benchmark::RunSpecifiedBenchmarks();                                                \
    benchmark::Shutdown();                                                              \
    return 0;                                                                           \
  }
