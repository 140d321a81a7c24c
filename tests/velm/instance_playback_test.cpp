// Small documents end to end: a skeleton, an animation and a geometry
// document become an instance that plays and skins.
#include <gtest/gtest.h>

#include <memory>

#include "velm/skeletal_instance.h"
#include "velm_test_support.h"

namespace keln::velm {
namespace {

TEST(instance_playback, documents_become_a_playing_skinned_instance) {
  skeletal_instance_t instance(velm_test::document_path("chain.qis").c_str());
  std::unique_ptr<motion_t> walk(instance.load_motion(velm_test::document_path("walk.qia").c_str()));
  std::unique_ptr<skinned_mesh_t> mesh(instance.load_skin(velm_test::document_path("two_pieces.qim").c_str()));
  ASSERT_TRUE(walk && mesh);
  instance.binding(instance.add_pose(walk.get())).weight = 1.0f;

  // Half-way between the root's first two keys: the root stands at
  // (0.5, 0, 0), unturned, where it stood at (1, 2, 3) turned by 90 degrees
  // about z when the mesh was bound. Vertex 0, bound at the origin, lies at
  // (-2, 1, -3) in the root's space.
  walk->advance(0.25f);
  instance.update();
  instance.skin(*mesh, instance.pose());
  EXPECT_NEAR(mesh->skinned_positions[0][0], -1.5f, 1e-5f);
  EXPECT_NEAR(mesh->skinned_positions[0][1], 1.0f, 1e-5f);
  EXPECT_NEAR(mesh->skinned_positions[0][2], -3.0f, 1e-5f);
  // Its normal (0, 0, 1) is not turned by a rotation about z.
  EXPECT_NEAR(mesh->skinned_normals[0][2], 1.0f, 1e-5f);

  // A whole loop later the pose is the same.
  const vec3_t before = mesh->skinned_positions[6];
  walk->advance(1.0f);
  instance.update();
  instance.skin(*mesh, instance.pose());
  for (unsigned i = 0; i < 3; ++i) EXPECT_NEAR(mesh->skinned_positions[6][i], before[i], 1e-5f);
}

}  // namespace
}  // namespace keln::velm
