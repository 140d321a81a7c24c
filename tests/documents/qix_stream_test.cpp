// Skin streams and the bone list (the corpus checks stream limits and the
// storage budget with their messages).
#include <gtest/gtest.h>

#include "document_test_support.h"
#include "documents/qim_skin.h"
#include "documents/qis.h"

namespace keln {
namespace {

const float three_floats[3] = {1.0f, 2.0f, 3.0f};

TEST(qim_skinstream, weights_belong_to_the_last_item_limited_by_it_and_by_the_total) {
  qim_skinstream_t stream;
  ASSERT_TRUE(stream.allocate_skin(QIX_FORMAT_FLOAT3, 2, 3, 2));
  EXPECT_FALSE(stream.add_weight(0, 1.0f)) << "no item yet";
  ASSERT_TRUE(stream.add_item(three_floats, 12));
  ASSERT_TRUE(stream.set_weight_count(2));
  EXPECT_TRUE(stream.add_weight(4, 0.75f));
  EXPECT_TRUE(stream.add_weight(5, 0.25f));
  EXPECT_FALSE(stream.add_weight(6, 0.5f)) << "the item declared two";
  ASSERT_TRUE(stream.add_item(three_floats, 12));
  ASSERT_TRUE(stream.set_weight_count(5));
  EXPECT_TRUE(stream.add_weight(1, 1.0f));
  EXPECT_FALSE(stream.add_weight(2, 1.0f)) << "the total of three is used up";
  EXPECT_EQ(stream.skin_items[1].weights_added, 1u);
  EXPECT_EQ(stream.skin_items[1].first_weight, stream.weights + 2);

}

TEST(qis_bones, the_later_bone_of_a_name_takes_it_and_each_keeps_its_inverse) {
  qis_bones_t bones;
  mat4_t matrix(2.0f);
  matrix.m[15] = 1.0f;
  matrix.m[3] = 4.0f;  // translation x
  bones.add_bone("root", "", matrix.m);
  bones.add_bone("root", "root", matrix.m);
  bool found = false;
  EXPECT_EQ(bones.find_bone("root", found), 1);
  EXPECT_EQ(bones.find_bone("", found), -1);
  EXPECT_TRUE(found) << "an empty name is no parent, not an error";
  EXPECT_EQ(bones.find_bone("ro", found), -1);
  EXPECT_FALSE(found);
  EXPECT_EQ(bones.bone_list[1].inverse.m[0], 0.5f);
  EXPECT_EQ(bones.bone_list[1].inverse.m[3], -2.0f);
}

}  // namespace
}  // namespace keln
