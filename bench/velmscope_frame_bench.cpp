// The viewer's work apart from OpenGL, on the shipped characters of data/:
//   catalog_build         the start-up: loading every document of the three
//                         characters and fitting all 14 B-spline motions;
//   catalog_documents     its document part alone: the same documents read
//                         and built into skeletons, skins and keyframe
//                         motions, without fitting (the rest of
//                         catalog_build is the fitting);
//   animation_frame/<c>/<d>  one frame of character c (0 HUNTER, 1 HORSE,
//                         2 ELEPHANT) with both playbacks shown, as the
//                         viewer's frame step does it: advancing its motions,
//                         then update and skin of each playback; with d = 1
//                         the difference view on (D): the readout's joint
//                         comparison and the colouring of the B-spline skin;
//   difference_view/<c>   what the difference view adds to such a frame
//                         alone: comparing the joints of both playbacks
//                         and colouring the B-spline skin.
// What drawing adds is measured on the running viewer by viewer_frames.sh.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "kelncore/system/startup.h"
#include "kelncore/collections/auto_ptr.h"
#include "velm/catalog.h"
#include "velm/motion.h"
#include "velm/skeletal_instance.h"
#include "velmscope/frame_step.h"
#include "velmscope/velmscope_catalog.h"

namespace keln::velmscope {
namespace {

// The loaders report every document on the standard output; the benchmark's
// own report goes there too, so the loaders' lines are sent elsewhere.
class quiet_stdout_t {
 public:
  quiet_stdout_t() {
    std::fflush(stdout);
    m_saved = dup(STDOUT_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    close(null);
  }
  ~quiet_stdout_t() {
    std::fflush(stdout);
    dup2(m_saved, STDOUT_FILENO);
    close(m_saved);
  }

 private:
  int m_saved;
};

// The core and the working directory the viewer has when run from data/.
void start_in_data() {
  static const bool started = [] {
    core_startup(1);
    return chdir(VELMSCOPE_DATA_DIR) == 0;
  }();
  if (!started) std::fprintf(stderr, "cannot enter %s\n", VELMSCOPE_DATA_DIR);
}

void catalog_build(benchmark::State& state) {
  start_in_data();
  for (auto _ : state) {
    velmscope_catalog_t catalog;
    {
      quiet_stdout_t quiet;
      catalog.build();
    }
    benchmark::DoNotOptimize(catalog.size());
    state.PauseTiming();
    catalog.clear();
    state.ResumeTiming();
  }
}
BENCHMARK(catalog_build)->Unit(benchmark::kMillisecond)->UseRealTime();

void catalog_documents(benchmark::State& state) {
  start_in_data();
  for (auto _ : state) {
    quiet_stdout_t quiet;
    for (const velm::catalog_character_t& character : velm::catalog_characters) {
      velm::skeletal_instance_t bspline_instance(character.skeleton);
      velm::skeletal_instance_t keyframe_instance(character.skeleton);
      auto_ptr_t<velm::skinned_mesh_t> mesh(bspline_instance.load_skin(character.geometry));
      for (std::uint32_t a = 0; a < character.animation_count; ++a) {
        auto_ptr_t<velm::motion_t> motion(keyframe_instance.load_motion(character.animations[a].document));
        benchmark::DoNotOptimize(motion.get());
      }
    }
  }
}
BENCHMARK(catalog_documents)->Unit(benchmark::kMillisecond)->UseRealTime();

// The shipped characters, built once for the frame benchmarks. Never
// destroyed: at exit the core's pools may already be gone.
velmscope_catalog_t& shipped_catalog() {
  static velmscope_catalog_t& catalog = *new velmscope_catalog_t;
  if (catalog.size() == 0) {
    quiet_stdout_t quiet;
    catalog.build();
  }
  return catalog;
}

// The character of the benchmark's first argument, null (the benchmark
// skipped) when its geometry did not load.
velmscope_model_t* shipped_model(benchmark::State& state) {
  start_in_data();
  velmscope_model_t& model = shipped_catalog().model(static_cast<std::uint32_t>(state.range(0)));
  if (model.mesh()) return &model;
  state.SkipWithError("the character's geometry did not load");
  return nullptr;
}

void animation_frame(benchmark::State& state) {
  velmscope_model_t* shown = shipped_model(state);
  if (!shown) return;
  velmscope_model_t& model = *shown;
  viewer_settings_t settings;
  settings.render_mode = RENDER_BSPLINE | RENDER_KEYFRAME;
  settings.difference_colouring = state.range(1) != 0;
  frame_step_t frame;
  // A frame of a viewer running at 60 frames per second.
  const float step = 1.0f / 60.0f;
  for (auto _ : state) {
    model.advance(step);
    frame.prepare(model, settings);
    benchmark::DoNotOptimize(model.mesh()->skinned_positions.data());
  }
  state.counters["vertices"] = model.mesh()->positions.size();
  state.counters["bones"] = model.bspline_instance().bone_count();
  state.SetLabel(model.name());
}
BENCHMARK(animation_frame)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kMicrosecond);

void difference_view(benchmark::State& state) {
  velmscope_model_t* shown = shipped_model(state);
  if (!shown) return;
  velmscope_model_t& model = *shown;
  model.advance(0.5f);
  model.bspline_instance().update();
  model.keyframe_instance().update();
  model.skin_playbacks(true, true);
  array_dyn_t<vertex_colour_t> colours;
  const float full_scale = static_cast<float>(difference_full_scale * model.rest_height());
  for (auto _ : state) {
    model.compare_playbacks();
    colour_differences(colours, model.mesh()->skinned_positions, model.keyframe_positions(), full_scale, 1.0f);
    benchmark::DoNotOptimize(colours.data());
  }
  state.SetLabel(model.name());
}
BENCHMARK(difference_view)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace keln::velmscope

BENCHMARK_MAIN();
