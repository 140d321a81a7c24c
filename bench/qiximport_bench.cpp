// qiximport as its users run it: the whole real motion-capture clip
// (cmu_01_01.bvh, 2,752 frames, 31 bones) read, resampled at its own 120
// keys per second, written, loaded back and checked. The program runs as a
// child process, so the time includes its start and its file writes.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void import_whole_clip(benchmark::State& state) {
  char pattern[] = "/tmp/qiximport_bench_XXXXXX";
  if (::mkdtemp(pattern) == nullptr) {
    state.SkipWithError("cannot make a scratch folder");
    return;
  }
  const std::string command = std::string("'") + QIXIMPORT_PROGRAM + "' '" + QIXIMPORT_REAL_DATA +
                              "/cmu_01_01.bvh' '" + pattern + "/cmu' >/dev/null 2>&1";
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) state.SkipWithError("the import failed");
  std::filesystem::remove_all(pattern);
}
BENCHMARK(import_whole_clip)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
