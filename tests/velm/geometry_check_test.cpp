// Checks of geometry documents that no parsed document can reach (the parser
// already enforces item counts), on documents built by hand.
#include "velm/geometry_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "velm_fixture.h"

namespace keln::velm {
namespace {

// A geometry document built node by node; the node list owns every node.
struct hand_built_t {
  ~hand_built_t() { qix_destroy_nodes(nodes); }

  qix_stream_t* stream(std::uint32_t format, const char* tag, std::uint32_t items) {
    qix_stream_t* s = qix_new_node<qix_stream_t>(nodes);
    s->tag.assign(tag);
    EXPECT_TRUE(s->allocate(format, items));
    const unsigned char zero[12] = {};
    for (std::uint32_t i = 0; i < items; ++i) EXPECT_TRUE(s->add_item(zero, s->item_size));
    return s;
  }

  // A piece of vertices vertices, position and normal streams of items items.
  qix_piece_t* add_piece(std::uint32_t vertices, std::uint32_t items) {
    qix_piece_t* piece = qix_new_node<qix_piece_t>(nodes);
    piece->vertex_count = vertices;
    piece->streams.push_back(stream(2, "_POSITION", items));
    piece->streams.push_back(stream(2, "_NORMAL", items));
    document->pieces.push_back(piece);
    return piece;
  }

  // One item giving vertex 2 of piece 0 to bone 0, declaring two weight pairs.
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

  qix_node_list_t nodes;
  qim_t* document = qix_new_node<qim_t>(nodes);
};

TEST(geometry_check, reports_one_line_exactly_when_it_rejects) {
  const struct {
    std::function<void(hand_built_t&)> build;
    const char* problem;  // after "E: geometry file: hand_built.qim - ", or "" when accepted
  } rows[] = {
      {[](hand_built_t& g) { g.add_piece(3, 3), g.add_skin(); }, ""},  // only the pairs written are read
      {[](hand_built_t& g) { g.add_piece(40000, 40000), g.add_piece(25536, 25536), g.add_skin(); }, ""},
      {[](hand_built_t& g) { g.add_piece(40000, 40000), g.add_piece(25537, 25537), g.add_skin(); },
       "65537 vertices, more than the 65536 a skin can index"},
      {[](hand_built_t& g) { g.add_piece(4, 3), g.add_skin(); },
       "piece 0: stream \"_POSITION\" does not hold 4 Float3 items"},
      {[](hand_built_t& g) { g.add_piece(3, 3)->triangle_count = 1, g.add_skin(); },
       "piece 0: the triangle list does not hold 1 triangles"},
      {[](hand_built_t& g) {
         qix_piece_t* piece = g.add_piece(3, 3);
         piece->triangle_count = 2, piece->triangles = g.stream(8, "", 1), g.add_skin();
       },
       "piece 0: the triangle list does not hold 2 triangles"},
      {[](hand_built_t& g) { g.add_piece(3, 3); }, "the skin has no \"_POSITION\" stream"},
      {[](hand_built_t& g) {  // not a skin stream
         g.add_piece(3, 3), g.document->skin = qix_new_node<qim_skin_t>(g.nodes);
         g.document->skin->streams.push_back(g.stream(2, "_POSITION", 0));
       },
       "the skin has no \"_POSITION\" stream"},
  };
  for (const auto& row : rows) {
    hand_built_t geometry;
    row.build(geometry);
    velm_test::message_log_t log;
    const qim_skinstream_t* skin = check_geometry(*geometry.document, "hand_built.qim", 3);
    EXPECT_EQ(skin == nullptr, *row.problem != 0) << row.problem;
    EXPECT_EQ(log.lines, *row.problem ? velm_test::lines_t{"E: geometry file: hand_built.qim - " + std::string(row.problem)}
                                      : velm_test::lines_t{});
  }
}

}  // namespace
}  // namespace keln::velm
