// velmfit: how well the B-spline motions match the keyframe motions they are
// fitted to. Builds each skeleton's instances and each animation's two
// motions exactly as the viewer does (with the viewer's log lines), plays
// both side by side and prints one table row per animation (or JSON), and
// optionally SVG plots. See velmfit_options.h for the command line and
// table_text.h / json_text.h for the figures.
//
// Exit status: 0 when every document loaded, 1 when any failed (or a plot
// could not be written), 2 for a usage error.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "figures.h"
#include "fit_character.h"
#include "fit_plots.h"
#include "json_text.h"
#include "kelncore/system/messages.h"
#include "kelncore/system/startup.h"
#include "progress_line.h"
#include "table_text.h"
#include "velmfit_options.h"

using namespace keln;
using namespace keln::velmfit;

namespace {

std::size_t animation_count(const std::vector<character_job_t>& jobs) {
  std::size_t count = 0;
  for (const character_job_t& job : jobs) count += job.animations.size();
  return count;
}

// Moves the process's standard output to standard error, so that the
// loading lines of the standard message handler go there, and returns a
// stream on the original standard output for the JSON document (null when
// that fails, in which case nothing is moved).
FILE* divert_standard_output() {
  std::fflush(stdout);
  const int original = dup(STDOUT_FILENO);
  if (original < 0) return nullptr;
  FILE* stream = fdopen(original, "w");
  if (stream == nullptr || dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
    if (stream != nullptr)
      std::fclose(stream);
    else
      close(original);
    return nullptr;
  }
  return stream;
}

struct run_state_t {
  std::vector<figures_t> rows;
  bool succeeded = true;  // every document loaded and every plot written
  std::size_t done = 0;   // animations begun
};

// Creates the plot directory when plots are wanted; false, reported, when it
// cannot be made.
bool make_plot_directory(const std::string& dir) {
  if (dir.empty()) return true;
  std::error_code failure;
  std::filesystem::create_directories(dir, failure);
  if (!failure && std::filesystem::is_directory(dir)) return true;
  msg_error("cannot create %s", dir.c_str());
  return false;
}

// Loads, fits and measures every animation of one character; its plots when
// plot_dir is set.
void run_character(const character_job_t& job, std::size_t total, const std::string& plot_dir,
                   progress_line_t& progress, run_state_t& state) {
  fit_character_t character(job.skeleton.c_str());
  if (character.keyframe_instance.bone_count() == 0) state.succeeded = false;
  for (const animation_job_t& animation : job.animations) {
    const std::string count = std::to_string(++state.done) + "/" + std::to_string(total) + " ";
    progress.show("velmfit: loading " + count + animation.name);
    std::unique_ptr<velm::motion_t> keyframe(character.keyframe_instance.load_motion(animation.document.c_str()));
    if (!keyframe) {
      state.succeeded = false;
      continue;
    }
    progress.show("velmfit: fitting " + count + animation.name);
    character.add_animation(animation.name, std::move(keyframe));
  }
  progress.hide();
  for (std::size_t i = 0; i < character.animations.size(); ++i) {
    playback_error_t error;
    state.rows.push_back(measure_animation(character, i, error));
    if (!plot_dir.empty() && !write_plots(plot_dir, character, i, state.rows.back(), error)) state.succeeded = false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  options_t options;
  std::string problem;
  if (!parse_options(argc, argv, options, problem)) {
    std::fprintf(stderr, "velmfit: %s\n%s\n", problem.c_str(), velmfit_usage);
    return 2;
  }
  if (options.help) {
    std::printf("%s\n", velmfit_usage);
    return 0;
  }
  const std::vector<character_job_t> jobs = jobs_of(options);
  const std::size_t total = animation_count(jobs);

  // Registered before the standard message handler, so that it is told of
  // every message before the message is written.
  progress_line_t progress(isatty(STDERR_FILENO) && total > 1);
  FILE* json = options.json ? divert_standard_output() : nullptr;
  core_startup(0);

  bool succeeded = make_plot_directory(options.plot_dir);
  if (succeeded) {
    run_state_t state;
    for (const character_job_t& job : jobs) run_character(job, total, options.plot_dir, progress, state);
    const figures_t sum = total_of(state.rows);
    if (options.json)
      std::fputs(json_text(state.rows, sum).c_str(), json != nullptr ? json : stdout);
    else
      std::fputs(("\n" + table_text(state.rows, sum)).c_str(), stdout);
    succeeded = state.succeeded;
  }
  if (json != nullptr) std::fclose(json);
  std::fflush(stdout);
  core_shutdown();
  return succeeded ? 0 : 1;
}
