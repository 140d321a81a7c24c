#include "velm/bone_node.h"

#include <gtest/gtest.h>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "velm/bone_name_token.h"

namespace keln::velm {
namespace {

TEST(bone_node, defaults_to_an_unnamed_root) {
  const bone_node_t node;
  EXPECT_EQ(node.parent, no_bone);
  std::uint64_t unnamed = 0;
  ASSERT_TRUE(bone_name_token("unnamed", unnamed));
  EXPECT_EQ(node.name, unnamed);
}

TEST(skeleton_is_ordered, requires_parents_before_children) {
  array_dyn_t<bone_node_t> skeleton;
  EXPECT_TRUE(skeleton_is_ordered(skeleton));
  skeleton.push_back(bone_node_t{});
  skeleton.push_back(bone_node_t{0, 0});
  skeleton.push_back(bone_node_t{0, 1});
  EXPECT_TRUE(skeleton_is_ordered(skeleton));
  skeleton[1].parent = 2;
  EXPECT_FALSE(skeleton_is_ordered(skeleton));
  skeleton[1].parent = 1;  // its own parent
  EXPECT_FALSE(skeleton_is_ordered(skeleton));
}

}  // namespace
}  // namespace keln::velm
