// chargen: builds HUNTER, HORSE and ELEPHANT and writes their skeleton,
// geometry and animation documents below a data directory.
//
//   chargen <data directory> [--preview <picture directory>]
//
// The output depends on nothing but this program, so running it again
// reproduces the committed documents byte for byte.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "character.h"
#include "export.h"
#include "preview.h"

using namespace keln::chargen;

// Where in its loop each animation is shown in the preview pictures: late
// enough that the side animations have reached their pose.
constexpr double preview_phase = 0.42;

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--preview") == 0)) {
    std::fprintf(stderr, "usage: chargen <data directory> [--preview <picture directory>]\n");
    return 2;
  }
  std::string preview_dir = argc == 4 ? argv[3] : "";
  for (auto make : {hunter_design, horse_design, elephant_design}) {
    character_t c = build_character(make());
    std::error_code error;
    std::filesystem::create_directories(std::string(argv[1]) + "/" + c.directory, error);
    if (error || !write_documents(c, argv[1])) return 1;
    std::printf("%s: %zu bones, %zu vertices, %zu triangles, volume %g\n", c.directory.c_str(),
                c.rig.bones().size(), c.mesh.positions.size(), c.mesh.triangles.size(),
                signed_volume(c.mesh));
    if (!preview_dir.empty()) {
      write_preview(c.mesh, 480, 480, preview_dir + "/" + c.directory + "_rest.ppm");
      for (const clip_t& clip : c.clips) {
        rig_pose_t pose(c.rig);
        clip.pose(c.rig, preview_phase, pose);
        write_preview(posed_mesh(c, pose), 480, 480,
                      preview_dir + "/" + c.directory + "_" + clip.file + ".ppm");
      }
    }
  }
  return 0;
}
