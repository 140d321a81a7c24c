// The program on bad input: one line naming the file and the problem, exit
// code 1; usage errors exit 2. Each case runs the real program in a scratch
// folder, with the inputs named relative to it.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "gltf_writer.h"

namespace keln::qiximport::testing {
namespace {

const std::string usage =
    "usage: qiximport INPUT OUTDIR [--fps F] [--frames A:B] [--scale S] [--name NAME] [--animation N|all]\n";

// One joint "hip" turned by one animation of two keys whose second rotation
// has w = last_w, and a skinned mesh of vertex_count vertices on it.
std::string small_scene(std::size_t vertex_count, float last_w) {
  gltf_writer_t gltf;
  const int positions = gltf.add_floats(std::vector<float>(vertex_count * 3, 0.0f), "VEC3");
  const int joints = gltf.add_shorts(std::vector<std::uint16_t>(vertex_count * 4, 0), "VEC4");
  std::vector<float> weights(vertex_count * 4, 0.0f);
  for (std::size_t v = 0; v < vertex_count; ++v) weights[v * 4] = 1.0f;
  const int weight = gltf.add_floats(weights, "VEC4");
  const int binds = gltf.add_floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, "MAT4");
  const int times = gltf.add_floats({0, 1}, "SCALAR");
  const int turns = gltf.add_floats({0, 0, 0, 1, 0, 0, 0, last_w}, "VEC4");
  const auto n = [](int i) { return std::to_string(i); };
  return gltf.document(
      "\"scene\":0,\"scenes\":[{\"nodes\":[0,1]}],\"nodes\":[{\"name\":\"hip\"},{\"name\":\"body\",\"mesh\":0,"
      "\"skin\":0}],\"meshes\":[{\"primitives\":[{\"mode\":0,\"attributes\":{\"POSITION\":" +
      n(positions) + ",\"JOINTS_0\":" + n(joints) + ",\"WEIGHTS_0\":" + n(weight) +
      "}}]}],\"skins\":[{\"inverseBindMatrices\":" + n(binds) +
      ",\"joints\":[0]}],\"animations\":[{\"channels\":[{\"sampler\":0,\"target\":{\"node\":0,\"path\":"
      "\"rotation\"}}],\"samplers\":[{\"input\":" +
      n(times) + ",\"output\":" + n(turns) + "}]}]");
}

class qiximport_cli : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qiximport_cli_XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    folder = pattern;
    std::ifstream clip(std::string(QIXIMPORT_REAL_DATA) + "/cmu_01_01.bvh", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(clip), {}};
    // Cut in the middle of the motion's numbers.
    ASSERT_TRUE(write_text_file(at("truncated.bvh"), text.substr(0, 300000)));
    ASSERT_TRUE(write_text_file(at("triangle.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
    ASSERT_TRUE(write_text_file(at("notes.xyzq"), "hello\n"));
    ASSERT_TRUE(write_text_file(at("small.gltf"), small_scene(3, 1.0f)));
    ASSERT_TRUE(write_text_file(at("large.gltf"), small_scene(65537, 1.0f)));
    ASSERT_TRUE(write_text_file(at("nan.gltf"), small_scene(3, std::numeric_limits<float>::quiet_NaN())));
    ASSERT_TRUE(write_text_file(at("infinite.gltf"), small_scene(3, std::numeric_limits<float>::infinity())));
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  std::string at(const std::string& name) const { return folder + "/" + name; }

  // Runs the program in the scratch folder; its exit code, and its error
  // stream in errors.
  int run(const std::string& args) {
    const std::string command =
        "cd '" + folder + "' && '" + QIXIMPORT_PROGRAM + "' " + args + " >/dev/null 2>errors.txt";
    const int status = std::system(command.c_str());
    std::ifstream in(at("errors.txt"), std::ios::binary);
    errors.assign(std::istreambuf_iterator<char>(in), {});
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  std::string folder;
  std::string errors;
};

struct bad_case_t {
  const char* args;
  int code;
  std::string message;
};

TEST_F(qiximport_cli, bad_input_gets_one_line_naming_the_file_and_the_problem) {
  const bad_case_t cases[] = {
      {"none.bvh out", 1, "qiximport: none.bvh: no such file\n"},
      {". out", 1, "qiximport: .: not a file\n"},
      {"notes.xyzq out", 1, "qiximport: notes.xyzq: unknown format\n"},
      {"truncated.bvh out", 1,
       "qiximport: truncated.bvh: cannot be read: truncated.bvh:583 - Unexpected end of file while trying to read a "
       "float\n"},
      {"triangle.obj out", 1, "qiximport: triangle.obj: the scene has no bones and no animations\n"},
      {"large.gltf out", 1, "qiximport: large.gltf: the meshes have 65537 vertices, more than the 65536 one skin holds\n"},
      {"nan.gltf out", 1,
       "qiximport: nan.gltf: a value that is not a finite number in animation 0, channel \"hip\"\n"},
      {"infinite.gltf out", 1,
       "qiximport: infinite.gltf: a value that is not a finite number in animation 0, channel \"hip\"\n"},
      {"small.gltf out --animation 1", 1, "qiximport: small.gltf: no animation 1 (the scene has 1)\n"},
      {"small.gltf out --frames 5:40", 1, "qiximport: small.gltf: frames 5:40 lie outside the animation's keys 0:30\n"},
      {"small.gltf small.gltf", 1, "qiximport: small.gltf: cannot make the folder\n"},
      {"", 2, usage},
      {"small.gltf out --scale 0", 2, "qiximport: --scale needs a number above 0\n" + usage},
  };
  for (const bad_case_t& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(run(c.args), c.code);
    EXPECT_EQ(errors, c.message);
  }
}

}  // namespace
}  // namespace keln::qiximport::testing
