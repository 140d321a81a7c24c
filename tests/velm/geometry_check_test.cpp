// Checks of geometry documents that no parsed document can reach (the parser
// already enforces item counts), on documents built by hand.
#include "velm/geometry_check.h"

#include <gtest/gtest.h>

#include "velm_test_support.h"

namespace keln::velm {
namespace {

using velm_test::message_log_t;

constexpr const char* path = "hand_built.qim";

// A geometry document built node by node; the node list owns every node.
class hand_built_geometry : public ::testing::Test {
 protected:
  ~hand_built_geometry() override { qix_destroy_nodes(nodes); }

  qix_stream_t* stream(std::uint32_t format, const char* tag, std::uint32_t items) {
    qix_stream_t* s = qix_new_node<qix_stream_t>(nodes);
    s->tag.assign(tag);
    EXPECT_TRUE(s->allocate(format, items));
    const unsigned char zero[12] = {};
    for (std::uint32_t i = 0; i < items; ++i) EXPECT_TRUE(s->add_item(zero, s->item_size));
    return s;
  }

  // A piece of vertices vertices with position and normal streams of items
  // items each and no triangles.
  qix_piece_t* add_piece(std::uint32_t vertices, std::uint32_t items) {
    qix_piece_t* piece = qix_new_node<qix_piece_t>(nodes);
    piece->vertex_count = vertices;
    piece->streams.push_back(stream(2, "_POSITION", items));
    piece->streams.push_back(stream(2, "_NORMAL", items));
    document->pieces.push_back(piece);
    return piece;
  }

  // A skin of one item giving vertex 2 of piece 0 to bone 0. The item
  // declares two weight pairs but holds one, as a document may.
  void add_skin() {
    document->skin = qix_new_node<qim_skin_t>(nodes);
    qim_skinstream_t* skin = qix_new_node<qim_skinstream_t>(nodes);
    skin->tag.assign("_POSITION");
    const float position[3] = {};
    EXPECT_TRUE(skin->allocate_skin(2, 1, 2, 1) && skin->add_item(position, sizeof position));
    EXPECT_TRUE(skin->set_weight_count(2) && skin->add_weight(0, 1.0f));
    EXPECT_TRUE(skin->set_clone_count(1) && skin->add_clone(0, 2));
    document->skin->streams.push_back(skin);
  }

  // The single line check_geometry reported, or "" when it accepted.
  std::string check() {
    message_log_t log;
    const qim_skinstream_t* skin = check_geometry(*document, path, 3);
    EXPECT_EQ(skin == nullptr, log.lines.size() == 1) << "one line exactly when rejected";
    return log.lines.empty() ? "" : log.lines.front();
  }

  qix_node_list_t nodes;
  qim_t* document = qix_new_node<qim_t>(nodes);
};

TEST_F(hand_built_geometry, a_stream_shorter_than_the_piece_is_rejected) {
  add_piece(4, 3);
  add_skin();
  EXPECT_EQ(check(), "E: geometry file: hand_built.qim - piece 0: stream \"_POSITION\" does not hold 4 Float3 items");
}

TEST_F(hand_built_geometry, triangles_declared_but_missing_are_rejected) {
  add_piece(3, 3)->triangle_count = 1;
  add_skin();
  EXPECT_EQ(check(), "E: geometry file: hand_built.qim - piece 0: the triangle list does not hold 1 triangles");
}

TEST_F(hand_built_geometry, a_short_triangle_list_is_rejected) {
  qix_piece_t* piece = add_piece(3, 3);
  piece->triangle_count = 2;
  piece->triangles = stream(8, "", 1);
  add_skin();
  EXPECT_EQ(check(), "E: geometry file: hand_built.qim - piece 0: the triangle list does not hold 2 triangles");
}

TEST_F(hand_built_geometry, sixty_five_thousand_five_hundred_thirty_six_vertices_fit) {
  add_piece(40000, 40000);
  add_piece(25536, 25536);
  add_skin();
  EXPECT_EQ(check(), "");
}

TEST_F(hand_built_geometry, one_vertex_more_does_not) {
  add_piece(40000, 40000);
  add_piece(25537, 25537);
  add_skin();
  EXPECT_EQ(check(), "E: geometry file: hand_built.qim - 65537 vertices, more than the 65536 a skin can index");
}

TEST_F(hand_built_geometry, a_document_without_skin_is_rejected) {
  add_piece(3, 3);
  EXPECT_EQ(check(), "E: geometry file: hand_built.qim - the skin has no \"_POSITION\" stream");
}

TEST_F(hand_built_geometry, a_plain_stream_in_the_skin_is_not_a_skin_stream) {
  add_piece(3, 3);
  document->skin = qix_new_node<qim_skin_t>(nodes);
  document->skin->streams.push_back(stream(2, "_POSITION", 0));
  EXPECT_EQ(check(), "E: geometry file: hand_built.qim - the skin has no \"_POSITION\" stream");
}

TEST_F(hand_built_geometry, only_the_pairs_written_are_read) {
  add_piece(3, 3);
  add_skin();
  EXPECT_EQ(check(), "");
}

}  // namespace
}  // namespace keln::velm
