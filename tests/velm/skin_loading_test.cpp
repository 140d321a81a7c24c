// Building skinned meshes from geometry documents, end to end.
#include <memory>
#include <string>
#include <vector>

#include "velm/document_report.h"
#include "velm/skeletal_instance.h"
#include "velm_fixture.h"

namespace keln::velm {
namespace {

using velm_test::message_log_t;

struct skin_loading : ::testing::Test {
  std::unique_ptr<skinned_mesh_t> load(const std::string& path, const velm_test::lines_t& problems) {
    return velm_test::load_expecting<skinned_mesh_t>([this](const char* p) { return instance.load_skin(p); },
                                                     banner_geometry, "geometry", path, problems);
  }
  skeletal_instance_t instance{velm_test::document_path("chain.qis").c_str()};
};

// Each vertex's influences as "bone weight ..." with the weight in tenths.
std::vector<std::string> influences(const skinned_mesh_t& mesh) {
  std::vector<std::string> out;
  for (const skin_vertex_t& vertex : mesh.skin_vertices)
    for (const skin_t& s : out.emplace_back(), vertex.influences)
      out.back() += std::to_string(s.bone) + " " + std::to_string(int(s.weight * 10)) + " ";
  return out;
}

// Vertex 0 of piece 1 at x 2, the last at y 1; piece 1's triangle rebased;
// item 2 overwritten to name vertex 1 of piece 1 leaves vertex 6 without
// influences, reported.
TEST_F(skin_loading, pieces_are_concatenated_with_rebased_triangles_and_their_items_influences) {
  std::unique_ptr<skinned_mesh_t> mesh = load(velm_test::document_path("two_pieces.qim"), {});
  ASSERT_TRUE(mesh && mesh->positions.size() == 7u && mesh->normals.size() == 7u && mesh->indices.size() == 9u);
  EXPECT_EQ(mesh->positions[4][0] + mesh->positions[6][1], 3.0f);
  EXPECT_EQ(mesh->normals[3][2] + mesh->normals[5][1], 2.0f);
  const unsigned short indices[] = {0, 1, 2, 0, 2, 3, 4, 5, 6};
  for (std::uint32_t i = 0; i < 9; ++i) EXPECT_EQ(mesh->indices[i], indices[i]) << i;
  EXPECT_TRUE(mesh->skinned_positions.empty() && mesh->skinned_normals.empty());
  EXPECT_EQ(influences(*mesh), (std::vector<std::string>{"0 10 ", "0 10 ", "0 10 ", "0 10 ", "1 5 2 5 ", "1 5 2 5 ", "2 10 "}));
  mesh = load(velm_test::write_variant("two_pieces.qim", "unweighted.qim", {{"1 1 2 )   # item 2", "1 1 1 )"}}),
              {"E: skin_vertex: 6 has zero bones assigned to it!"});
  ASSERT_TRUE(mesh);
  EXPECT_EQ(influences(*mesh)[5] + "/" + influences(*mesh)[6], "2 10 /");
}

TEST_F(skin_loading, a_rejected_document_gives_null_with_one_line_naming_it_and_the_problem) {
  const struct {
    const char* name;
    velm_test::replacements_t replacements;
    const char* problem;  // after "geometry file: <path> - "
  } rows[] = {
      {"no_position.qim", {{"\"_POSITION\"   # piece 0 positions", "\"_POINTS\""}}, "piece 0 has no \"_POSITION\" stream"},
      {"no_normal.qim", {{"\"_NORMAL\" 0 ( 0.0 1.0 0.0 )", "\"_NORMALS\" 0 ( 0.0 1.0 0.0 )"}}, "piece 1 has no \"_NORMAL\" stream"},
      {"float4_normal.qim",
       {{"Float3 Tag : \"_NORMAL\" 0 ( 0.0 1.0 0.0 ) 1 ( 0.0 1.0 0.0 ) 2 ( 0.0 1.0 0.0 )",
         "Float4 Tag : \"_NORMAL\" 0 ( 0.0 1.0 0.0 0.0 ) 1 ( 0.0 1.0 0.0 0.0 ) 2 ( 0.0 1.0 0.0 0.0 )"}},
       "piece 1: stream \"_NORMAL\" does not hold 3 Float3 items"},
      {"triangle_beyond_piece.qim", {{"0 ( 0 1 2 ) }   # piece 1 triangles", "0 ( 0 1 3 ) }"}},
       "piece 1: triangle 0 uses vertex 3, not below the piece's 3 vertices"},
      {"negative_triangle.qim", {{"1 ( 0 2 3 ) }   # piece 0 triangles", "1 ( 0 -2 3 ) }"}},
       "piece 0: triangle 1 uses vertex -2, not below the piece's 4 vertices"},
      {"no_skin_position.qim", {{"\"_POSITION\" ItemCount", "\"_REST\" ItemCount"}}, "the skin has no \"_POSITION\" stream"},
      {"missing_piece.qim", {{"1 1 2 )   # item 2", "1 2 0 )"}}, "skin item 2 refers to piece 2, which does not exist"},
      {"missing_vertex.qim", {{"1 0 1 1 )   # item 1", "1 0 1 3 )"}},
       "skin item 1 refers to vertex 3 of piece 1, which has 3 vertices"},
      {"missing_bone.qim", {{"2 1 0.5 2 0.5", "2 1 0.5 3 0.5"}}, "skin item 1 uses bone 3, not below the skeleton's 3 bones"}};
  for (const auto& row : rows) {
    const std::string path = velm_test::write_variant("two_pieces.qim", row.name, row.replacements);
    EXPECT_EQ(load(path, {"E: geometry file: " + path + " - " + row.problem}), nullptr);
  }
  message_log_t quiet;
  EXPECT_EQ(instance.load_skin((::testing::TempDir() + "no_such_mesh.qim").c_str()), nullptr);
}

}  // namespace
}  // namespace keln::velm
