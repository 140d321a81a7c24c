// Per-frame work of one playback: update (blending two keyframe motions into
// the current pose) and skin (skinning matrices, then every vertex) on a
// generated 40-bone skeleton and meshes of 5,000 and 20,000 vertices.
//
// Arguments: vertices; influences per vertex (0: two to four, cycling; 4:
// exactly four); core_startup flags (0: portable routines, 1: the
// processor's). Counters: vertices/s for skin; the time per iteration of
// update is the time per update.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <random>
#include <string>

#include "kelncore/collections/auto_ptr.h"
#include "kelncore/system/startup.h"
#include "velm/skeletal_instance.h"

namespace keln::velm {
namespace {

constexpr std::uint32_t bone_count = 40;

// A skeleton document of bone_count bones in a binary tree, each bone moved
// from its parent, written to a temporary file; returns its path.
std::string write_skeleton() {
  std::string text =
      "Header { FormatVersion : 1 Source : \"bench\" Type : \"skeleton\" Name : \"tree\" }\n"
      "Global { BoneCount : " + std::to_string(bone_count) + " }\nBones {\n";
  for (std::uint32_t b = 0; b < bone_count; ++b) {
    const std::string parent = b == 0 ? "" : "b" + std::to_string((b - 1) / 2);
    text += "  " + std::to_string(b) + " ( Name : \"b" + std::to_string(b) + "\" Parent : \"" + parent +
            "\" Matrix : ( 1.0 0.0 0.0 0.0  0.0 1.0 0.0 0.0  0.0 0.0 1.0 0.0  " + std::to_string(0.1 * b) + " " +
            std::to_string(0.2 * (b % 5)) + " " + std::to_string(0.05 * (b % 7)) + " 1.0 ) )\n";
  }
  text += "}\n";
  const std::string path = "/tmp/velm_instance_bench_" + std::to_string(bone_count) + ".qis";
  std::ofstream(path) << text;
  return path;
}

// A looping motion of 31 keys over one second on every bone from first on
// (step 1 or 2), turning each bone about its own axis.
motion_t* make_motion(std::uint32_t first, std::uint32_t step, float phase) {
  motion_t* motion = new motion_t();
  for (std::uint32_t b = first; b < bone_count; b += step) {
    bone_channel_t channel;
    channel.bone = b;
    channel.duration = 1.0f;
    for (int k = 0; k <= 30; ++k) {
      bone_t key;
      const float half = 0.5f * std::sin(phase + 0.2f * k + 0.1f * b);
      key.rotation = quat_t{{std::cos(half), 0.6f * std::sin(half), 0.8f * std::sin(half), 0.0f}};
      key.position = vec3_t{{0.1f, 0.01f * k, 0.0f}};
      channel.push_back(key);
    }
    motion->channels.push_back(channel);
  }
  return motion;
}

// A mesh of vertices random vertices, each with influences bones (0: two to
// four by turns) of random weights summing to 1.
skinned_mesh_t* make_mesh(std::uint32_t vertices, std::uint32_t influences) {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
  skinned_mesh_t* mesh = new skinned_mesh_t();
  for (std::uint32_t v = 0; v < vertices; ++v) {
    mesh->positions.push_back(vec3_t{{unit(rng), unit(rng), unit(rng)}});
    vec3_t normal{{unit(rng), unit(rng), 1.0f}};
    const float length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    for (float& c : normal.c) c /= length;
    mesh->normals.push_back(normal);
    const std::uint32_t count = influences != 0 ? influences : 2 + v % 3;
    skin_vertex_t vertex;
    float sum = 0.0f;
    for (std::uint32_t i = 0; i < count; ++i) {
      skin_t influence{static_cast<std::uint32_t>(rng() % bone_count), 0.1f + 0.5f * (unit(rng) + 1.0f)};
      sum += influence.weight;
      vertex.influences.push_back(influence);
    }
    for (skin_t& influence : vertex.influences) influence.weight /= sum;
    mesh->skin_vertices.push_back(vertex);
  }
  return mesh;
}

// The core, started with flags while it lives (loading needs its file-system
// device).
struct core_t {
  explicit core_t(unsigned flags) { core_startup(flags); }
  ~core_t() { core_shutdown(); }
};

// One playback as the viewer runs it: a base motion of weight 1 on every
// bone and a side motion of weight 1000 on every other bone.
struct playback_t {
  explicit playback_t(unsigned flags) : core(flags) {
    instance.reset(new skeletal_instance_t(write_skeleton().c_str()));
    base.reset(make_motion(0, 1, 0.0f));
    side.reset(make_motion(1, 2, 1.0f));
    instance->binding(instance->add_pose(base.get())).weight = 1.0f;
    instance->binding(instance->add_pose(side.get())).weight = 1000.0f;
    advance();
    instance->update();
  }

  void advance() {
    base->advance(1.0f / 60.0f);
    side->advance(1.0f / 60.0f);
  }

  core_t core;
  auto_ptr_t<skeletal_instance_t> instance;
  auto_ptr_t<motion_t> base;
  auto_ptr_t<motion_t> side;
};

void update(benchmark::State& state) {
  playback_t playback(static_cast<unsigned>(state.range(0)));
  if (playback.instance->bone_count() != bone_count) {
    state.SkipWithError("skeleton did not load");
    return;
  }
  for (auto _ : state) {
    playback.advance();
    playback.instance->update();
    benchmark::ClobberMemory();
  }
}
BENCHMARK(update)->ArgName("core_startup")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void skin(benchmark::State& state) {
  playback_t playback(static_cast<unsigned>(state.range(2)));
  if (playback.instance->bone_count() != bone_count) {
    state.SkipWithError("skeleton did not load");
    return;
  }
  auto_ptr_t<skinned_mesh_t> mesh(
      make_mesh(static_cast<std::uint32_t>(state.range(0)), static_cast<std::uint32_t>(state.range(1))));
  for (auto _ : state) {
    playback.instance->skin(*mesh, playback.instance->pose());
    benchmark::ClobberMemory();
  }
  state.counters["vertices/s"] =
      benchmark::Counter(static_cast<double>(state.range(0)), benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(skin)
    ->ArgNames({"vertices", "influences", "core_startup"})
    ->ArgsProduct({{5000, 20000}, {0, 4}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace keln::velm

BENCHMARK_MAIN();
