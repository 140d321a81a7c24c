// Speed of the motion library: fitting B-spline motions to keyframe motions
// (load time), and sampling both kinds of motion (every frame, playing
// forward at 60 frames per second). The motions are 30 channels of real
// motion capture (30 key frames per second) and, as a harder case, synthetic
// curves in which every component swings one to four times per second. Times
// per channel are processor time divided by the channels sampled. The whole
// clip at 30 and 120 keys per second shows how fitting grows with the keys.
// The B-spline evaluation runs with the portable basis (core_startup 0) and
// the processor's (1), each also timed against the portable one in the same
// run (x_portable). The context names the instruction sets the start-up found.

#include <benchmark/benchmark.h>

#include "../tests/velm/smooth_motion.h"
#include "bvh_clip.h"
#include "instruction_sets.h"
#include "kelncore/system/startup.h"
#include "velm/bspline_motion.h"
#include "velm/motion.h"

namespace keln::velm {
namespace {

constexpr std::uint32_t channel_count = 30;
constexpr float seconds_per_frame = 1.0f / 60.0f;

// A capture clip of key_count keys at 30 per second (every 4th frame of the
// 120 frames per second capture), from 5 seconds in; false if unreadable.
bool mocap_motion(std::uint32_t key_count, motion_t& motion) {
  return bench::load_bvh_clip(VELM_REALDATA_DIR "/cmu_01_01.bvh", channel_count, 600, 4, key_count, motion);
}

void fit(benchmark::State& state, const motion_t& motion) {
  std::uint64_t keys = 0;
  for (const bone_channel_t& c : motion.channels) keys += c.size();
  for (auto _ : state) {
    bspline_motion_t fitted(motion);
    benchmark::DoNotOptimize(fitted.channels.data());
  }
  state.counters["keys_per_second"] =
      benchmark::Counter(static_cast<double>(keys), benchmark::Counter::kIsIterationInvariantRate);
}

void fit_mocap(benchmark::State& state) {
  motion_t motion;
  if (!mocap_motion(static_cast<std::uint32_t>(state.range(0)), motion)) {
    state.SkipWithError("motion capture file not readable");
    return;
  }
  fit(state, motion);
}
BENCHMARK(fit_mocap)->Arg(31)->Arg(121)->Unit(benchmark::kMillisecond);

// The whole capture clip (31 bones, 22.9 s) from its first frame, every
// step-th frame: cuts of 120, 240, 480 and 688 keys (the whole clip) at 30
// keys per second and the whole clip at its captured 120 per second. Time is
// wall time, CPU the processor time of all threads (on a busy machine
// CPU / threads is the better estimate of the wall time on a quiet one);
// keys_per_second counts bone-keys per wall second.
void fit_real_clip(benchmark::State& state) {
  motion_t motion;
  const auto step = static_cast<std::uint32_t>(state.range(1));
  if (!bench::load_bvh_clip(VELM_REALDATA_DIR "/cmu_01_01.bvh", 31, 0, step,
                            static_cast<std::uint32_t>(state.range(0)), motion)) {
    state.SkipWithError("motion capture file not readable");
    return;
  }
  fit(state, motion);
}
BENCHMARK(fit_real_clip)
    ->ArgNames({"keys", "step"})
    ->Args({120, 4})
    ->Args({240, 4})
    ->Args({480, 4})
    ->Args({688, 4})
    ->Args({2752, 1})
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

void fit_synthetic(benchmark::State& state) {
  const auto key_count = static_cast<std::uint32_t>(state.range(0));
  fit(state, sample::smooth_motion(7, channel_count, key_count, (key_count - 1) / 30.0f));
}
BENCHMARK(fit_synthetic)->Arg(31)->Arg(121)->Unit(benchmark::kMillisecond);

// Samples every channel once per frame; reports the time per channel.
void play(benchmark::State& state, pose_t& pose) {
  for (auto _ : state) {
    pose.advance(seconds_per_frame);
    for (std::uint32_t i = 0; i < channel_count; ++i) benchmark::DoNotOptimize(*pose.transform(i));
  }
  state.counters["ns_per_channel"] =
      benchmark::Counter(static_cast<double>(channel_count) * 1e-9,
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void keyframe_sampling(benchmark::State& state) {
  motion_t motion;
  if (!mocap_motion(121, motion)) {
    state.SkipWithError("motion capture file not readable");
    return;
  }
  play(state, motion);
}
BENCHMARK(keyframe_sampling);

// With the portable basis (core_startup 0) and with the processor's (1).
void bspline_evaluation(benchmark::State& state) {
  motion_t motion;
  if (!mocap_motion(121, motion)) {
    state.SkipWithError("motion capture file not readable");
    return;
  }
  bspline_motion_t fitted(motion);
  core_startup(static_cast<unsigned>(state.range(0)));
  play(state, fitted);
  // Against the portable basis timed right after, in this run.
  auto frame = [&fitted] {
    fitted.advance(seconds_per_frame);
    for (std::uint32_t i = 0; i < channel_count; ++i) benchmark::DoNotOptimize(*fitted.transform(i));
  };
  constexpr int frames = 20000;
  const double own = keln::bench::cpu_seconds(frame, frames);
  core_startup(0);
  const double portable = keln::bench::cpu_seconds(frame, frames);
  core_startup(1);
  state.counters["x_portable"] = own > 0 ? portable / own : 0.0;
}
BENCHMARK(bspline_evaluation)->ArgName("core_startup")->Arg(0)->Arg(1);

}  // namespace
}  // namespace keln::velm

VELM_BENCHMARK_MAIN();
