// What the grammar stores that writing it back does not show (the corpus and
// the shipped documents check the rest), and the checks the grammar calls.
#include <gtest/gtest.h>

#include "document_test_support.h"
#include "documents/qix_checks.h"
#include "documents/qix_context.h"
#include "documents/qix_grammar_support.h"
#include "documents/qix_scanner.h"

namespace keln {
namespace {

TEST(qix_parser, a_parse_creates_the_five_roots_first_and_keeps_the_nodes_of_a_failure) {
  parsed_text_t d(read_text_file("corpus/skeleton/valid_two_bones.qis"), QIX_SKELETON);
  ASSERT_TRUE(d.loaded);
  ASSERT_GE(d.nodes.size(), 5u);
  EXPECT_NE(dynamic_cast<qim_t*>(d.nodes[0]), nullptr);
  EXPECT_EQ(d.nodes[1], d.root);
  EXPECT_NE(dynamic_cast<qic_t*>(d.nodes[4]), nullptr);
  // Matrices are stored transposed, each bone with its inverse.
  const qis_bone_t& arm = static_cast<qis_t*>(d.root)->bones->bone_list[1];
  EXPECT_EQ(arm.matrix.m[3], 5.0f);
  EXPECT_EQ(arm.matrix.m[11], 7.0f);
  EXPECT_EQ(arm.inverse.m[3], -5.0f);

  message_log_t log;
  parsed_text_t failed(read_text_file("corpus/geometry/piece_count.qim"), QIX_GEOMETRY);
  EXPECT_FALSE(failed.loaded);
  EXPECT_EQ(static_cast<qim_t*>(failed.root)->pieces.size(), 1u) << "the root is partly filled";
  EXPECT_GT(failed.nodes.size(), 5u);
}

TEST(qix_parser, streams_are_found_by_tag_and_collision_needs_no_meshes) {
  parsed_text_t d(read_text_file("corpus/geometry/valid_skinned.qim"), QIX_GEOMETRY);
  ASSERT_TRUE(d.loaded);
  const qix_piece_t& piece = *static_cast<qim_t*>(d.root)->pieces[1];
  EXPECT_EQ(piece.find_stream("_POSITION"), piece.streams[0]);
  EXPECT_EQ(piece.find_stream("_NORMAL"), nullptr);
  parsed_text_t no_meshes(
      "Header { FormatVersion : 2 Source : \"\" Type : \"\" Name : \"\" }\n"
      "Global { VertexCount : 0 TriangleCount : 0 MaterialCount : 0 PieceCount : 0 PartCount : 1 LocatorCount : 1 }\n"
      "Part { Name : \"p\" PieceCount : 0 LocatorCount : 1 Pieces : Locators : 0 }\n"
      "Locator { Name : \"l\" Index : 0 Position : ( 0.0 0.0 0.0 ) Rotation : ( 1.0 0.0 0.0 0.0 ) Alias : \"\"\n"
      "  Weight : 1.0 Type : \"Sphere\" Parameters : ( 2.0 0.0 0.0 0.0 ) }\n",
      QIX_COLLISION);
  EXPECT_TRUE(no_meshes.loaded);
}

TEST(qix_checks, bones_need_a_bone_list_and_the_expected_number_advances_past_a_wrong_one) {
  qix_node_list_t nodes;
  message_log_t log;
  qix_scan_begin("checks.qis", QIX_SKELETON);
  qix_parse_setup(nodes, QIX_SKELETON);
  const mat4_t identity(1.0f);
  EXPECT_FALSE(qix_check_bone(0, "root", "", identity.m));
  g_qix_context.bones = qix_parse_node<qis_bones_t>();
  EXPECT_TRUE(qix_check_bone(0, "root", "", identity.m));
  EXPECT_FALSE(qix_check_bone(5, "arm", "root", identity.m));
  EXPECT_TRUE(qix_check_bone(2, "leg", "root", identity.m));
  EXPECT_EQ(g_qix_context.bones->bone_list.size(), 2u);
  qix_parse_clear();
  qix_destroy_nodes(nodes);
  EXPECT_EQ(log.lines, (std::vector<std::string>{
                           "*** ERROR *** : checks.qis:1: grammar code error [ token '' ]",
                           "*** ERROR *** : checks.qis:1: inconsistent Skeleton bone order [ token '' ]"}));
}

}  // namespace
}  // namespace keln
