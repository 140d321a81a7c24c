// Streams, skin streams, the bone list and the parse's storage budget.
#include <gtest/gtest.h>

#include <cstring>

#include "document_test_support.h"
#include "documents/qim_skin.h"
#include "documents/qis.h"
#include "documents/qix_storage_budget.h"

namespace keln {
namespace {

const float three_floats[3] = {1.0f, 2.0f, 3.0f};

TEST(qix_stream, allocates_once_with_a_known_size_and_takes_items_of_that_size_up_to_the_capacity) {
  const std::uint32_t sizes[] = {4, 8, 12, 16, 20, 24, 64, 4, 12, 64, 16, 4, 0, 0};
  for (std::uint32_t code = 0; code < 14; ++code) EXPECT_EQ(qix_format_size(code), sizes[code]) << code;
  EXPECT_EQ(qix_format_size(0xFFFFFFFFu), 0u);
  qix_stream_t none, unknown, stream, empty, pairs, quaternions, floats;
  EXPECT_FALSE(none.allocate(QIX_FORMAT_NONE, 3));
  EXPECT_FALSE(none.allocated);
  EXPECT_FALSE(unknown.allocate(77, 3));
  EXPECT_EQ(unknown.data, nullptr);
  EXPECT_FALSE(stream.add_item(three_floats, 12)) << "not allocated yet";
  ASSERT_TRUE(stream.allocate(QIX_FORMAT_FLOAT3, 2));
  EXPECT_FALSE(stream.allocate(QIX_FORMAT_FLOAT, 5));
  EXPECT_EQ(stream.format, QIX_FORMAT_FLOAT3);
  EXPECT_EQ(stream.capacity, 2u);
  EXPECT_TRUE(stream.add_item(three_floats, 12));
  EXPECT_TRUE(stream.add_item(three_floats, 12));
  EXPECT_FALSE(stream.add_item(three_floats, 12)) << "full";
  EXPECT_EQ(stream.item_count, 2u);
  EXPECT_EQ(std::memcmp(stream.item(1), three_floats, 12), 0);
  const std::int32_t integer = 7;
  ASSERT_TRUE(empty.allocate(QIX_FORMAT_INT, 0));
  EXPECT_FALSE(empty.add_item(&integer, 4));
  // Items are matched by byte size.
  ASSERT_TRUE(pairs.allocate(QIX_FORMAT_FLOAT2, 1));
  EXPECT_FALSE(pairs.add_item(three_floats, 12));
  ASSERT_TRUE(quaternions.allocate(QIX_FORMAT_QUATERNION, 1));
  const float q[4] = {1, 0, 0, 0};
  EXPECT_TRUE(quaternions.add_item(q, 16));
  ASSERT_TRUE(floats.allocate(QIX_FORMAT_FLOAT, 1));
  EXPECT_TRUE(floats.add_item(&integer, 4));
}

TEST(qix_stream, the_storage_budget_refuses_what_does_not_fit) {
  message_log_t log;
  qix_storage_budget_begin(100);
  qix_stream_t first;
  EXPECT_TRUE(first.allocate(QIX_FORMAT_FLOAT4X4, 1));  // 64 bytes
  qix_stream_t second;
  EXPECT_FALSE(second.allocate(QIX_FORMAT_FLOAT4X4, 1));  // 64 more do not fit
  EXPECT_FALSE(second.allocated);
  EXPECT_FALSE(second.add_item(three_floats, 12));
  qix_stream_t third;
  EXPECT_TRUE(third.allocate(QIX_FORMAT_FLOAT, 9));  // 36 bytes still fit
  qix_storage_budget_end();
  qix_stream_t unlimited;
  EXPECT_TRUE(unlimited.allocate(QIX_FORMAT_FLOAT4X4, 1000));
  EXPECT_EQ(log.lines, std::vector<std::string>{"*** ERROR *** : cannot allocate stream [size 64]"});
}

class qim_skinstream_test : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(stream.allocate_skin(QIX_FORMAT_FLOAT3, 2, 3, 2)); }
  qim_skinstream_t stream;
};

TEST_F(qim_skinstream_test, weights_need_an_item_and_are_limited_by_it_and_by_the_total) {
  EXPECT_FALSE(stream.set_weight_count(1));
  EXPECT_FALSE(stream.set_clone_count(1));
  EXPECT_FALSE(stream.add_weight(0, 1.0f));
  EXPECT_FALSE(stream.add_clone(0, 0));
  EXPECT_EQ(stream.item_count_declared, 2u);
  ASSERT_TRUE(stream.add_item(three_floats, 12));
  ASSERT_TRUE(stream.set_weight_count(2));
  EXPECT_TRUE(stream.add_weight(4, 0.75f));
  EXPECT_TRUE(stream.add_weight(5, 0.25f));
  EXPECT_FALSE(stream.add_weight(6, 0.5f)) << "the item declared two";

  ASSERT_TRUE(stream.add_item(three_floats, 12));
  ASSERT_TRUE(stream.set_weight_count(5));
  EXPECT_TRUE(stream.add_weight(1, 1.0f));
  EXPECT_FALSE(stream.add_weight(2, 1.0f)) << "the total of three is used up";

  ASSERT_EQ(stream.skin_items.size(), 2u);
  const qim_skinitem_t& second = stream.skin_items[1];
  EXPECT_EQ(second.weight_count, 5u);
  EXPECT_EQ(second.weights_added, 1u);
  EXPECT_EQ(second.first_weight, stream.weights + 2);
  EXPECT_EQ(second.first_weight[0].bone, 1u);
  EXPECT_EQ(stream.skin_items[0].first_weight[1].weight, 0.25f);
}

TEST_F(qim_skinstream_test, clones_are_limited_by_the_item_and_by_the_total) {
  ASSERT_TRUE(stream.add_item(three_floats, 12));
  ASSERT_TRUE(stream.set_clone_count(1));
  EXPECT_TRUE(stream.add_clone(0, 17));
  EXPECT_FALSE(stream.add_clone(0, 18));
  ASSERT_TRUE(stream.add_item(three_floats, 12));
  ASSERT_TRUE(stream.set_clone_count(3));
  EXPECT_TRUE(stream.add_clone(1, 2));
  EXPECT_FALSE(stream.add_clone(1, 3));
  EXPECT_EQ(stream.skin_items[1].first_clone[0].vertex, 2u);
  EXPECT_EQ(stream.clones_used, 2u);
}

TEST(qim_skinstream, a_refused_weight_block_refuses_every_weight) {
  message_log_t log;
  qix_storage_budget_begin(12 + 16);
  qim_skinstream_t stream;
  EXPECT_FALSE(stream.allocate_skin(QIX_FORMAT_FLOAT3, 1, 1000, 2));
  qix_storage_budget_end();
  EXPECT_EQ(log.lines, std::vector<std::string>{"*** ERROR *** : cannot allocate stream [size 8000]"});
  EXPECT_EQ(stream.weight_capacity, 0u);
  EXPECT_EQ(stream.clone_capacity, 2u);
  ASSERT_TRUE(stream.add_item(three_floats, 12));
  ASSERT_TRUE(stream.set_weight_count(1));
  EXPECT_FALSE(stream.add_weight(0, 1.0f));
}

TEST(qis_bones, names_find_their_bones_and_each_keeps_its_inverse) {
  qis_bones_t bones;
  const mat4_t identity(1.0f);
  bones.add_bone("root", "", identity.m);
  bones.add_bone("arm", "root", identity.m);
  bones.add_bone("root", "arm", identity.m);
  bool found = false;
  EXPECT_EQ(bones.find_bone("arm", found), 1);
  EXPECT_TRUE(found);
  EXPECT_EQ(bones.find_bone("root", found), 2) << "the later bone of a name takes it";
  EXPECT_EQ(bones.find_bone("", found), -1);
  EXPECT_TRUE(found) << "an empty name is no parent, not an error";
  for (const char* name : {"leg", "ar"}) {
    EXPECT_EQ(bones.find_bone(name, found), -1);
    EXPECT_FALSE(found);
  }
  // Each bone keeps the inverse of its matrix.
  mat4_t scale(2.0f);
  scale.m[15] = 1.0f;
  scale.m[3] = 4.0f;  // translation x
  bones.add_bone("b", "", scale.m);
  const qis_bone_t& bone = bones.bone_list[3];
  EXPECT_EQ(bone.inverse.m[0], 0.5f);
  EXPECT_EQ(bone.inverse.m[3], -2.0f);
  EXPECT_EQ(bone.inverse.m[15], 1.0f);
  EXPECT_STREQ(bone.name.text, "b");
  EXPECT_STREQ(bone.parent.text, "");
}

}  // namespace
}  // namespace keln
