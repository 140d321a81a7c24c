// A glTF scene written here: five joints (one of them never animated), a
// node that is neither joint nor animated, two named animations, and a
// vertex with five influences; and bad input, one line naming the file (as
// given) and the problem, exit code 1.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>
#include <string>

#include "gltf_writer.h"
#include "import_test_support.h"

namespace keln::qiximport::testing {
namespace {

// Nodes: 0 root > 1 hip > (2 knee > 4 toe, 3 tail); 5 body (the skinned
// mesh); 6 lamp. Joint globals: root (0,0,0), hip (0,1,0), knee (0.5,0.5,0),
// tail (-0.5,1,0), toe (0.5,0,0). "walk" turns the hip 90 degrees about z
// in one second (its last key's w is walk_w), "wave" moves the knee in half a
// second. extra_points adds a second primitive of that many points on the root.
std::string test_scene(std::size_t extra_points = 0, float walk_w = std::sqrt(0.5f)) {
  gltf_writer_t gltf;
  const int positions = gltf.add_floats({0, 0, 0, 1, 0, 0, 0, 1, 0}, "VEC3");
  const int joints0 = gltf.add_shorts({0, 1, 2, 3, 1, 0, 0, 0, 2, 0, 0, 0}, "VEC4");
  const int weights0 = gltf.add_floats({0.3f, 0.25f, 0.2f, 0.15f, 1, 0, 0, 0, 1, 0, 0, 0}, "VEC4");
  const int joints1 = gltf.add_shorts({4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "VEC4");
  const int weights1 = gltf.add_floats({0.1f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "VEC4");
  // Inverse binds: column-major translations by (x, y, 0), as glTF stores matrices.
  const float xy[] = {0, 0, 0, -1, -0.5f, -0.5f, 0.5f, -1, -0.5f, 0};
  std::vector<float> inverse_binds;
  for (std::size_t j = 0; j < 10; j += 2)
    inverse_binds.insert(inverse_binds.end(), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, xy[j], xy[j + 1], 0, 1});
  const int binds = gltf.add_floats(inverse_binds, "MAT4");
  const float s = std::sqrt(0.5f);
  const int walk_times = gltf.add_floats({0, 1}, "SCALAR");
  const int walk_turns = gltf.add_floats({0, 0, 0, 1, 0, 0, s, walk_w}, "VEC4");
  const int wave_times = gltf.add_floats({0, 0.5f}, "SCALAR");
  const int wave_moves = gltf.add_floats({0.5f, -0.5f, 0, 0.5f, -0.5f, 1}, "VEC3");
  const auto n = [](int i) { return std::to_string(i); };
  const auto animation = [&](const char* name, int node, const char* path, int times, int values) {
    return std::string("{\"name\":\"") + name + "\",\"channels\":[{\"sampler\":0,\"target\":{\"node\":" + n(node) +
           ",\"path\":\"" + path + "\"}}],\"samplers\":[{\"input\":" + n(times) + ",\"output\":" + n(values) +
           ",\"interpolation\":\"LINEAR\"}]}";
  };
  std::string points;
  if (extra_points > 0) {
    std::vector<float> weights(extra_points * 4, 0.0f);
    for (std::size_t v = 0; v < extra_points; ++v) weights[v * 4] = 1.0f;
    points = ",{\"mode\":0,\"attributes\":{\"POSITION\":" +
             n(gltf.add_floats(std::vector<float>(extra_points * 3, 0.0f), "VEC3")) + ",\"JOINTS_0\":" +
             n(gltf.add_shorts(std::vector<std::uint16_t>(extra_points * 4, 0), "VEC4")) + ",\"WEIGHTS_0\":" +
             n(gltf.add_floats(weights, "VEC4")) + "}}";
  }
  return gltf.document(
      "\"scene\":0,\"scenes\":[{\"nodes\":[0]}],\"nodes\":["
      "{\"name\":\"root\",\"children\":[1,5,6]},"
      "{\"name\":\"hip\",\"translation\":[0,1,0],\"children\":[2,3]},"
      "{\"name\":\"knee\",\"translation\":[0.5,-0.5,0],\"children\":[4]},"
      "{\"name\":\"tail\",\"translation\":[-0.5,0,0]},"
      "{\"name\":\"toe\",\"translation\":[0,-0.5,0]},"
      "{\"name\":\"body\",\"mesh\":0,\"skin\":0},"
      "{\"name\":\"lamp\",\"translation\":[3,3,3]}],"
      "\"meshes\":[{\"primitives\":[{\"attributes\":{\"POSITION\":" +
      n(positions) + ",\"JOINTS_0\":" + n(joints0) + ",\"WEIGHTS_0\":" + n(weights0) + ",\"JOINTS_1\":" + n(joints1) +
      ",\"WEIGHTS_1\":" + n(weights1) + "}}" + points + "]}],\"skins\":[{\"inverseBindMatrices\":" + n(binds) +
      ",\"joints\":[0,1,2,3,4]}],\"animations\":[" + animation("walk", 1, "rotation", walk_times, walk_turns) + "," +
      animation("wave", 2, "translation", wave_times, wave_moves) + "]");
}

using import_gltf = import_test_t;

TEST_F(import_gltf, bones_animations_and_skin_of_a_generated_scene) {
  ASSERT_TRUE(write_text_file(at("scene.gltf"), test_scene()));
  ASSERT_EQ(import({at("scene.gltf"), at("out")}), 0) << errors;
  EXPECT_EQ(errors, "");
  // Bones: the joints, animated nodes and their ancestors.
  loaded_clip_t walk(at("out/scene.qis"), at("out/walk.qia"));
  ASSERT_EQ(walk.instance.bone_count(), 5u);
  EXPECT_EQ(walk.bone("lamp"), velm::no_bone);
  EXPECT_EQ(walk.bone("body"), velm::no_bone);
  EXPECT_EQ(walk.parent("tail"), walk.bone("hip"));
  EXPECT_EQ(walk.parent("toe"), walk.bone("knee"));
  // Each animation resampled into its own document.
  loaded_clip_t wave(at("out/scene.qis"), at("out/wave.qia"));
  ASSERT_TRUE(walk.motion && wave.motion);
  EXPECT_EQ(walk.motion->channels[0].size(), 31u);
  EXPECT_EQ(wave.motion->channels[0].size(), 16u);
  // Key 10 of "walk" is a third of the turn: 30 degrees exactly with
  // spherical interpolation (about 29.3 with normalised linear blending).
  const float c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
  const std::vector<vec3_t> third = walk.joints(10);
  EXPECT_TRUE(at_point(third[walk.bone("knee")], 0.5f * c + 0.5f * s, 1 + 0.5f * s - 0.5f * c, 0));
  EXPECT_TRUE(at_point(walk.joints(30)[walk.bone("knee")], 0.5f, 1.5f, 0));
  // The tail, never animated, turns with the hip from its rest place.
  EXPECT_TRUE(at_point(third[walk.bone("tail")], -0.5f * c, 1 - 0.5f * s, 0));
  EXPECT_TRUE(at_point(wave.joints(15)[wave.bone("knee")], 0.5f, 0.5f, 1));
  EXPECT_TRUE(at_point(wave.joints(15)[wave.bone("tail")], -0.5f, 1, 0));
  // Five influences become the heaviest four, renormalised.
  const std::unique_ptr<velm::skinned_mesh_t> mesh(walk.instance.load_skin(at("out/scene.qim").c_str()));
  ASSERT_TRUE(mesh);
  ASSERT_EQ(mesh->skin_vertices.size(), 3u);
  const array_dyn_t<velm::skin_t>& first = mesh->skin_vertices[0].influences;
  ASSERT_EQ(first.size(), 4u);
  const char* bones[4] = {"root", "hip", "knee", "tail"};
  const float expected[4] = {0.3f / 0.9f, 0.25f / 0.9f, 0.2f / 0.9f, 0.15f / 0.9f};
  for (std::uint32_t i = 0; i < 4; ++i) {
    EXPECT_EQ(first[i].bone, walk.bone(bones[i]));
    EXPECT_NEAR(first[i].weight, expected[i], test::tol_exact);
  }
  // Wound clockwise: the source's triangle 0 1 2 is written 0 2 1.
  EXPECT_EQ(mesh->indices[1], 2u);
}

TEST_F(import_gltf, bad_input_gets_one_line_naming_the_file_and_the_problem) {
  std::ifstream clip(std::string(QIXIMPORT_REAL_DATA) + "/cmu_01_01.bvh", std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(clip), {}};
  ASSERT_TRUE(write_text_file(at("truncated.bvh"), text.substr(0, 300000)));  // cut in the motion's numbers
  ASSERT_TRUE(write_text_file(at("triangle.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n"));
  ASSERT_TRUE(write_text_file(at("notes.xyzq"), "hello\n"));
  ASSERT_TRUE(write_text_file(at("small.gltf"), test_scene()));
  ASSERT_TRUE(write_text_file(at("large.gltf"), test_scene(65534)));
  ASSERT_TRUE(write_text_file(at("nan.gltf"), test_scene(0, std::numeric_limits<float>::quiet_NaN())));
  ASSERT_TRUE(write_text_file(at("infinite.gltf"), test_scene(0, std::numeric_limits<float>::infinity())));
  const std::filesystem::path back = std::filesystem::current_path();
  std::filesystem::current_path(folder);  // inputs named relative to the scratch folder
  // Each message is "qiximport: " + the input (or folder) as given + ": " + the problem.
  const std::pair<const char*, const char*> cases[] = {
      {". out", "not a file"},
      {"notes.xyzq out", "unknown format"},
      {"truncated.bvh out",
       "cannot be read: truncated.bvh:583 - Unexpected end of file while trying to read a float"},
      {"triangle.obj out", "the scene has no bones and no animations"},
      {"large.gltf out", "the meshes have 65537 vertices, more than the 65536 one skin holds"},
      {"nan.gltf out", "a value that is not a finite number in animation 0, channel \"hip\""},
      {"infinite.gltf out", "a value that is not a finite number in animation 0, channel \"hip\""},
      {"small.gltf out --animation 2", "no animation 2 (the scene has 2)"},
      {"small.gltf out --frames 5:40", "frames 5:40 lie outside the animation's keys 0:30"},
      {"small.gltf small.gltf", "cannot make the folder"},
  };
  for (const auto& [line, problem] : cases) {
    std::istringstream words(line);
    const std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
    EXPECT_EQ(import(args), 1) << line;
    EXPECT_EQ(errors, "qiximport: " + args[0] + ": " + problem + "\n");
  }
  std::filesystem::current_path(back);
}

}  // namespace
}  // namespace keln::qiximport::testing
