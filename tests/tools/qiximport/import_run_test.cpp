// Bad input: one line naming the file (as given) and the problem, exit code 1.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

#include "gltf_writer.h"
#include "import_test_support.h"

namespace keln::qiximport::testing {
namespace {

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

using import_run = import_test_t;

TEST_F(import_run, bad_input_gets_one_line_naming_the_file_and_the_problem) {
  std::ifstream clip(std::string(QIXIMPORT_REAL_DATA) + "/cmu_01_01.bvh", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(clip), {}};
  ASSERT_TRUE(write_text_file(at("truncated.bvh"), text.substr(0, 300000)));  // cut in the motion's numbers
  ASSERT_TRUE(write_text_file(at("triangle.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
  ASSERT_TRUE(write_text_file(at("notes.xyzq"), "hello\n"));
  ASSERT_TRUE(write_text_file(at("small.gltf"), small_scene(3, 1.0f)));
  ASSERT_TRUE(write_text_file(at("large.gltf"), small_scene(65537, 1.0f)));
  ASSERT_TRUE(write_text_file(at("nan.gltf"), small_scene(3, std::numeric_limits<float>::quiet_NaN())));
  ASSERT_TRUE(write_text_file(at("infinite.gltf"), small_scene(3, std::numeric_limits<float>::infinity())));
  const std::filesystem::path back = std::filesystem::current_path();
  std::filesystem::current_path(folder);  // inputs named relative to the scratch folder
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"none.bvh", "out"}, "qiximport: none.bvh: no such file\n"},
      {{".", "out"}, "qiximport: .: not a file\n"},
      {{"notes.xyzq", "out"}, "qiximport: notes.xyzq: unknown format\n"},
      {{"truncated.bvh", "out"},
       "qiximport: truncated.bvh: cannot be read: truncated.bvh:583 - Unexpected end of file while trying to read a "
       "float\n"},
      {{"triangle.obj", "out"}, "qiximport: triangle.obj: the scene has no bones and no animations\n"},
      {{"large.gltf", "out"}, "qiximport: large.gltf: the meshes have 65537 vertices, more than the 65536 one skin holds\n"},
      {{"nan.gltf", "out"}, "qiximport: nan.gltf: a value that is not a finite number in animation 0, channel \"hip\"\n"},
      {{"infinite.gltf", "out"}, "qiximport: infinite.gltf: a value that is not a finite number in animation 0, channel \"hip\"\n"},
      {{"small.gltf", "out", "--animation", "1"}, "qiximport: small.gltf: no animation 1 (the scene has 1)\n"},
      {{"small.gltf", "out", "--frames", "5:40"}, "qiximport: small.gltf: frames 5:40 lie outside the animation's keys 0:30\n"},
      {{"small.gltf", "small.gltf"}, "qiximport: small.gltf: cannot make the folder\n"},
  };
  for (const auto& [args, message] : cases) {
    EXPECT_EQ(import(args), 1) << message;
    EXPECT_EQ(errors, message);
  }
  std::filesystem::current_path(back);
}

}  // namespace
}  // namespace keln::qiximport::testing
