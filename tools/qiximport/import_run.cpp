#include "import_run.h"

#include <filesystem>
#include <string>
#include <vector>

#include "document_output.h"
#include "import_animation.h"
#include "import_mesh.h"
#include "import_skeleton.h"
#include "joint_check.h"
#include "name_limits.h"
#include "source_scene.h"

namespace keln::qiximport {

namespace {

// Key rate when neither the command line nor the file gives one.
constexpr double default_fps = 30.0;

int fail(std::FILE* errors, const std::string& file, const std::string& problem) {
  std::fprintf(errors, "qiximport: %s: %s\n", file.c_str(), problem.c_str());
  return exit_unconvertible;
}

void warn_renamed(std::FILE* errors, const char* what, const std::string& source, const std::string& written) {
  if (!source.empty() && source != written)
    std::fprintf(errors, "qiximport: warning: %s \"%s\" is written as \"%s\"\n", what, source.c_str(),
                 written.c_str());
}

struct written_clip_t {
  import_clip_t clip;
  std::string name;  // file name without extension
  std::string path;
};

// The animations to import: all, or the one that options name.
bool chosen_animations(const aiScene& scene, const import_options_t& options, std::vector<unsigned>& chosen,
                       std::string& problem) {
  if (options.animation == all_animations) {
    for (unsigned a = 0; a < scene.mNumAnimations; ++a) chosen.push_back(a);
    return true;
  }
  if (options.animation < scene.mNumAnimations) {
    chosen.push_back(static_cast<unsigned>(options.animation));
    return true;
  }
  problem = "no animation " + std::to_string(options.animation) + " (the scene has " +
            std::to_string(scene.mNumAnimations) + ")";
  return false;
}

}  // namespace

int run_import(const import_options_t& options, std::FILE* out, std::FILE* errors) {
  const std::string& input = options.input;
  source_scene_t source;
  std::string problem;
  if (!source.read(input, problem)) return fail(errors, input, problem);
  const aiScene& scene = source.scene();

  import_skeleton_t skeleton;
  std::vector<std::string> warnings;
  if (!build_skeleton(scene, options.scale, skeleton, warnings, problem)) return fail(errors, input, problem);
  for (const std::string& warning : warnings) std::fprintf(errors, "qiximport: warning: %s\n", warning.c_str());
  std::vector<unsigned> chosen;
  if (!chosen_animations(scene, options, chosen, problem)) return fail(errors, input, problem);
  import_mesh_t mesh;
  if (!build_mesh(scene, skeleton, options.scale, mesh, problem)) return fail(errors, input, problem);

  name_registry_t character_names, clip_names;
  const std::string stem = std::filesystem::path(input).stem().string();
  const std::string source_name = options.name.empty() ? stem : options.name;
  const std::string name = character_names.file_name(source_name, "character");
  warn_renamed(errors, "name", source_name, name);

  std::vector<written_clip_t> clips;
  for (unsigned a : chosen) {
    const aiAnimation& animation = *scene.mAnimations[a];
    const double fps = options.fps > 0.0 ? options.fps
                       : source.frame_rate(animation) > 0.0 ? source.frame_rate(animation)
                                                            : default_fps;
    written_clip_t written;
    if (!resample_animation(animation, skeleton, fps, options, written.clip, problem))
      return fail(errors, input, problem);
    written.name = clip_names.file_name(animation.mName.C_Str(), "animation");
    warn_renamed(errors, "animation", animation.mName.C_Str(), written.name);
    clips.push_back(std::move(written));
  }

  std::error_code error;
  std::filesystem::create_directories(options.outdir, error);
  if (!std::filesystem::is_directory(options.outdir)) return fail(errors, options.outdir, "cannot make the folder");
  const std::string folder = (std::filesystem::path(options.outdir) / "").string();
  const std::string skeleton_path = folder + name + ".qis";
  if (!write_skeleton_document(skeleton, name, skeleton_path, problem)) return fail(errors, skeleton_path, problem);
  std::fprintf(out, "%s: %zu bones\n", skeleton_path.c_str(), skeleton.bones.size());
  if (!mesh.positions.empty()) {
    const std::string mesh_path = folder + name + ".qim";
    if (!write_mesh_document(mesh, skeleton, name, mesh_path, problem)) return fail(errors, mesh_path, problem);
    std::fprintf(out, "%s: %zu vertices, %zu triangles\n", mesh_path.c_str(), mesh.positions.size(),
                 mesh.triangles.size());
  }
  for (written_clip_t& written : clips) {
    written.path = folder + written.name + ".qia";
    if (!write_clip_document(written.clip, skeleton, name, written.name, written.path, problem))
      return fail(errors, written.path, problem);
    std::fprintf(out, "%s: %u keys at %g keys/s\n", written.path.c_str(), written.clip.key_count, written.clip.fps);
  }
  std::fflush(out);

  const double limit = joint_tolerance * rest_height(skeleton);
  double largest = 0.0;
  for (const written_clip_t& written : clips) {
    double difference = 0.0;
    if (!largest_joint_difference(skeleton_path, written.path, written.clip, skeleton, options.scale, difference,
                                  problem))
      return fail(errors, written.path, problem);
    largest = std::max(largest, difference);
  }
  std::fprintf(out, "largest joint difference: %.3g (limit %.3g)\n", largest, limit);
  if (largest > limit)
    return fail(errors, input, "the imported joints differ from the source's by more than the limit");
  return exit_done;
}

}  // namespace keln::qiximport
