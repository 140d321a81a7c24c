// Building skinned meshes from geometry documents, end to end.
#include <memory>

#include "velm/document_report.h"
#include "velm/skeletal_instance.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::message_log_t;

class skin_loading : public ::testing::Test {
 protected:
  std::unique_ptr<skinned_mesh_t> load(const std::string& path, const velm_test::lines_t& problems) {
    return velm_test::load_expecting<skinned_mesh_t>([this](const char* p) { return instance.load_skin(p); }, banner_geometry,
                     "geometry", path, problems);
  }

  skeletal_instance_t instance{velm_test::document_path("chain.qis").c_str()};
};

void expect_influences(const skin_vertex_t& vertex, std::initializer_list<skin_t> expected) {
  ASSERT_EQ(vertex.influences.size(), expected.size());
  std::uint32_t i = 0;
  for (const skin_t& s : expected) {
    EXPECT_EQ(vertex.influences[i].bone, s.bone) << i;
    EXPECT_EQ(vertex.influences[i++].weight, s.weight);
  }
}

TEST_F(skin_loading, pieces_are_concatenated_with_rebased_triangles_and_their_items_influences) {
  std::unique_ptr<skinned_mesh_t> mesh = load(velm_test::document_path("two_pieces.qim"), {});
  ASSERT_TRUE(mesh);
  ASSERT_EQ(mesh->positions.size(), 7u);
  ASSERT_EQ(mesh->normals.size(), 7u);
  EXPECT_EQ(mesh->positions[4][0] + mesh->positions[6][1], 3.0f);  // vertex 0 of piece 1 at x 2, the last at y 1
  EXPECT_EQ(mesh->normals[3][2] + mesh->normals[5][1], 2.0f);
  const unsigned short indices[] = {0, 1, 2, 0, 2, 3, 4, 5, 6};
  ASSERT_EQ(mesh->indices.size(), 9u);
  for (std::uint32_t i = 0; i < 9; ++i) EXPECT_EQ(mesh->indices[i], indices[i]) << i;
  EXPECT_TRUE(mesh->skinned_positions.empty() && mesh->skinned_normals.empty());
  ASSERT_EQ(mesh->skin_vertices.size(), 7u);
  for (std::uint32_t v = 0; v < 4; ++v) expect_influences(mesh->skin_vertices[v], {{0, 1.0f}});
  expect_influences(mesh->skin_vertices[4], {{1, 0.5f}, {2, 0.5f}});
  expect_influences(mesh->skin_vertices[5], {{1, 0.5f}, {2, 0.5f}});
  expect_influences(mesh->skin_vertices[6], {{2, 1.0f}});  // piece 1, vertex 2
}

TEST_F(skin_loading, vertices_without_influences_are_reported_and_loading_goes_on) {
  // Item 2 now names vertex 1 of piece 1 (overwriting item 1 there) and
  // leaves vertex 2 of piece 1, skin vertex 6, without influences.
  const std::string path = velm_test::write_variant("two_pieces.qim", "unweighted.qim",
          {{"Clones : 1 1 2 )   # item 2", "Clones : 1 1 1 )   # item 2"}});
  std::unique_ptr<skinned_mesh_t> mesh = load(path, {"E: skin_vertex: 6 has zero bones assigned to it!"});
  ASSERT_TRUE(mesh);
  expect_influences(mesh->skin_vertices[5], {{2, 1.0f}});
  EXPECT_TRUE(mesh->skin_vertices[6].influences.empty());
}

TEST_F(skin_loading, a_rejected_document_gives_null_with_one_line_naming_it_and_the_problem) {
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> replacements;
    const char* problem;  // after "geometry file: <path> - "
  } rows[] = {
      {"no_position.qim",
       {{"\"_POSITION\"   # piece 0 positions", "\"_POINTS\""}},
       "piece 0 has no \"_POSITION\" stream"},
      {"no_normal.qim",
       {{"Tag : \"_NORMAL\" 0 ( 0.0 1.0 0.0 )", "Tag : \"_NORMALS\" 0 ( 0.0 1.0 0.0 )"}},
       "piece 1 has no \"_NORMAL\" stream"},
      {"float4_normal.qim",
       {{"Format : Float3 Tag : \"_NORMAL\" 0 ( 0.0 1.0 0.0 ) 1 ( 0.0 1.0 0.0 ) 2 ( 0.0 1.0 0.0 )",
         "Format : Float4 Tag : \"_NORMAL\" 0 ( 0.0 1.0 0.0 0.0 ) 1 ( 0.0 1.0 0.0 0.0 ) "
         "2 ( 0.0 1.0 0.0 0.0 )"}},
       "piece 1: stream \"_NORMAL\" does not hold 3 Float3 items"},
      {"triangle_beyond_piece.qim",
       {{"Triangles { 0 ( 0 1 2 ) }   # piece 1 triangles",
         "Triangles { 0 ( 0 1 3 ) }   # piece 1 triangles"}},
       "piece 1: triangle 0 uses vertex 3, not below the piece's 3 vertices"},
      {"negative_triangle.qim",
       {{"1 ( 0 2 3 ) }   # piece 0 triangles", "1 ( 0 -2 3 ) }   # piece 0 triangles"}},
       "piece 0: triangle 1 uses vertex -2, not below the piece's 4 vertices"},
      {"no_skin_position.qim",
       {{"Tag : \"_POSITION\" ItemCount", "Tag : \"_REST\" ItemCount"}},
       "the skin has no \"_POSITION\" stream"},
      {"missing_piece.qim",
       {{"Clones : 1 1 2 )   # item 2", "Clones : 1 2 0 )   # item 2"}},
       "skin item 2 refers to piece 2, which does not exist"},
      {"missing_vertex.qim",
       {{"Clones : 2 1 0 1 1 )   # item 1", "Clones : 2 1 0 1 3 )   # item 1"}},
       "skin item 1 refers to vertex 3 of piece 1, which has 3 vertices"},
      {"missing_bone.qim",
       {{"Weights : 2 1 0.5 2 0.5", "Weights : 2 1 0.5 3 0.5"}},
       "skin item 1 uses bone 3, not below the skeleton's 3 bones"}};
  for (const auto& row : rows) {
    const std::string path = velm_test::write_variant("two_pieces.qim", row.name, row.replacements);
    EXPECT_EQ(load(path, {"E: geometry file: " + path + " - " + row.problem}), nullptr);
  }
}


TEST_F(skin_loading, a_missing_document_gives_null_after_error_parsing) {
  const std::string path = ::testing::TempDir() + "no_such_mesh.qim";
  message_log_t log;
  EXPECT_EQ(instance.load_skin(path.c_str()), nullptr);
  EXPECT_EQ(log.lines, (velm_test::lines_t{"E: cannot stat file " + path, "E: error parsing " + path}));
}

TEST(skin_loading_without_skeleton, any_weighted_vertex_is_rejected) {
  message_log_t log;
  skeletal_instance_t instance((::testing::TempDir() + "no_such_skeleton.qis").c_str());
  const std::string path = velm_test::document_path("two_pieces.qim");
  EXPECT_EQ(instance.load_skin(path.c_str()), nullptr);
  EXPECT_EQ(log.lines.back(),
            "E: geometry file: " + path + " - skin item 0 uses bone 0, not below the skeleton's 0 bones");
}

}  // namespace
}  // namespace keln::velm
