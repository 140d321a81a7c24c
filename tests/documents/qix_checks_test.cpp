// The error function and the item-order checks, called directly as the
// grammar calls them.
#include <gtest/gtest.h>

#include "document_test_support.h"
#include "documents/qix_checks.h"
#include "documents/qix_context.h"
#include "documents/qix_grammar_support.h"
#include "documents/qix_scanner.h"

namespace keln {
namespace {

class qix_checks_test : public ::testing::Test {
 protected:
  void SetUp() override {
    qix_scan_begin("checks.qis", QIX_SKELETON);
    qix_parse_setup(nodes, QIX_SKELETON);
  }
  void TearDown() override {
    qix_parse_clear();
    qix_destroy_nodes(nodes);
  }
  qix_node_list_t nodes;
  message_log_t log;
};

TEST_F(qix_checks_test, the_error_line_and_a_bone_without_a_bone_list) {
  qix_parse_error("syntax error");
  const mat4_t identity(1.0f);
  EXPECT_FALSE(qix_check_bone(0, "root", "", identity.m));
  EXPECT_EQ(log.lines, (std::vector<std::string>{"*** ERROR *** : checks.qis:1: syntax error [ token '' ]",
                                                 "*** ERROR *** : checks.qis:1: grammar code error [ token '' ]"}));
}

TEST_F(qix_checks_test, the_expected_bone_advances_also_after_a_wrong_number) {
  g_qix_context.bones = qix_parse_node<qis_bones_t>();
  const mat4_t identity(1.0f);
  EXPECT_TRUE(qix_check_bone(0, "root", "", identity.m));
  EXPECT_FALSE(qix_check_bone(5, "arm", "root", identity.m));
  EXPECT_TRUE(qix_check_bone(2, "leg", "root", identity.m));
  EXPECT_EQ(g_qix_context.bones->bone_list.size(), 2u);
  EXPECT_EQ(log.lines,
            std::vector<std::string>{"*** ERROR *** : checks.qis:1: inconsistent Skeleton bone order [ token '' ]"});
}

TEST_F(qix_checks_test, stream_items_in_order_and_of_the_right_size) {
  qix_begin_stream(QIX_FORMAT_FLOAT2, 3, "_UV");
  qix_value_t pair;
  const float uv[2] = {0.5f, 0.25f};
  qix_float_value(pair, QIX_FORMAT_FLOAT2, uv);
  qix_value_t triple;
  const float xyz[3] = {1.0f, 2.0f, 3.0f};
  qix_float_value(triple, QIX_FORMAT_FLOAT3, xyz);
  EXPECT_TRUE(qix_check_stream_item(0, pair));
  EXPECT_FALSE(qix_check_stream_item(0, pair));
  EXPECT_FALSE(qix_check_stream_item(2, triple));
  EXPECT_EQ(g_qix_context.stream->item_count, 1u);
  EXPECT_STREQ(g_qix_context.stream->tag.text, "_UV");
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "*** ERROR *** : checks.qis:1: inconsistent Stream item order [ token '' ]",
                           "*** ERROR *** : checks.qis:1: inconsistent Stream item type/count [ token '' ]"}));
}

TEST_F(qix_checks_test, skin_items_have_their_own_messages) {
  g_qix_context.skinstream = qix_parse_node<qim_skinstream_t>();
  g_qix_context.skinstream->allocate_skin(QIX_FORMAT_FLOAT, 1, 0, 0);
  qix_value_t one;
  const float f = 1.0f;
  qix_float_value(one, QIX_FORMAT_FLOAT, &f);
  EXPECT_FALSE(qix_check_skin_item(1, one));
  EXPECT_TRUE(qix_check_skin_item(1, one)) << "the expected number moved on to 1";
  EXPECT_FALSE(qix_check_skin_item(2, one)) << "a stream of one item is full";
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "*** ERROR *** : checks.qis:1: inconsistent SkinStream item order [ token '' ]",
                           "*** ERROR *** : checks.qis:1: inconsistent SkinStream item type/count [ token '' ]"}));
}

TEST(qix_grammar_support, groups_lay_out_their_values_and_stack_exhaustion_has_its_text) {
  qix_value_t value;
  float numbers[16];
  for (int k = 0; k < 16; ++k) numbers[k] = static_cast<float>(k);
  qix_matrix_value(value, numbers);
  const float* matrix = reinterpret_cast<const float*>(value.data);
  EXPECT_EQ(value.size, 64u);
  EXPECT_EQ(matrix[1], 4.0f);
  EXPECT_EQ(matrix[4], 1.0f);
  EXPECT_EQ(matrix[3], 12.0f);
  qix_string_value(value, "abc");
  EXPECT_EQ(value.format, QIX_FORMAT_STRING);
  EXPECT_EQ(value.data[3], 0);
  EXPECT_EQ(value.data[63], 0) << "padded with zeros";
  const std::int32_t triangle[3] = {4, 5, 6};
  qix_int_group_value(value, QIX_FORMAT_TRIANGLE, triangle);
  EXPECT_EQ(value.size, 12u);
  EXPECT_EQ(reinterpret_cast<const std::int32_t*>(value.data)[2], 6);
  EXPECT_STREQ(qix_grammar_text("memory exhausted"), "parser stack overflow");
  EXPECT_STREQ(qix_grammar_text("syntax error"), "syntax error");
}

}  // namespace
}  // namespace keln
