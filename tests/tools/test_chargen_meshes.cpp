// The skins as the viewer reads them: closed, wound clockwise seen from
// outside with outward normals, within the vertex budget, fully weighted,
// and of the agreed size and placement.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <utility>

#include "chargen_catalog.h"

namespace keln::chargen_test {
namespace {

struct v3 {
  double x, y, z;
};
v3 sub(v3 a, v3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
v3 cross(v3 a, v3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(v3 a, v3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The one piece of a character's geometry, read out of its streams.
struct mesh_view_t {
  explicit mesh_view_t(const qim_t& doc) {
    const qix_piece_t& piece = *doc.pieces[0];
    const qix_stream_t* p = piece.find_stream("_POSITION");
    const qix_stream_t* n = piece.find_stream("_NORMAL");
    for (std::uint32_t v = 0; v < piece.vertex_count; ++v) {
      positions.push_back({item_float(*p, v, 0), item_float(*p, v, 1), item_float(*p, v, 2)});
      normals.push_back({item_float(*n, v, 0), item_float(*n, v, 1), item_float(*n, v, 2)});
    }
    for (std::uint32_t t = 0; t < piece.triangle_count; ++t) {
      std::int32_t i[3];
      std::memcpy(i, piece.triangles->item(t), sizeof(i));
      triangles.push_back({i[0], i[1], i[2]});
    }
  }
  std::vector<v3> positions, normals;
  std::vector<std::array<std::int32_t, 3>> triangles;
};

class chargen_meshes : public ::testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    entry = &catalog()[GetParam()];
    loaded.reset(new loaded_character_t(*entry));
    ASSERT_NE(loaded->geometry, nullptr);
    ASSERT_EQ(loaded->geometry->pieces.size(), 1u);
    mesh.reset(new mesh_view_t(*loaded->geometry));
  }
  const character_entry_t* entry = nullptr;
  std::unique_ptr<loaded_character_t> loaded;
  std::unique_ptr<mesh_view_t> mesh;
};

TEST_P(chargen_meshes, vertex_count_is_within_budget) {
  EXPECT_GE(mesh->positions.size(), 3000u);
  EXPECT_LE(mesh->positions.size(), 20000u);
}

TEST_P(chargen_meshes, every_edge_joins_two_triangles_running_opposite_ways) {
  // Each directed edge once, and its reverse once: closed and consistently
  // wound.
  std::map<std::pair<int, int>, int> edges;
  for (const auto& t : mesh->triangles) {
    for (int k = 0; k < 3; ++k) {
      ASSERT_LT(std::uint32_t(t[k]), mesh->positions.size());
      ++edges[{t[k], t[(k + 1) % 3]}];
    }
    EXPECT_TRUE(t[0] != t[1] && t[1] != t[2] && t[0] != t[2]);
  }
  for (const auto& [edge, count] : edges) {
    EXPECT_EQ(count, 1);
    auto reverse = edges.find({edge.second, edge.first});
    ASSERT_NE(reverse, edges.end()) << "open edge " << edge.first << "-" << edge.second;
    EXPECT_EQ(reverse->second, 1);
  }
}

TEST_P(chargen_meshes, right_hand_rule_volume_is_negative) {
  double volume = 0;
  for (const auto& t : mesh->triangles)
    volume += dot(mesh->positions[t[0]], cross(mesh->positions[t[1]], mesh->positions[t[2]])) / 6;
  EXPECT_LT(volume, 0);
}

TEST_P(chargen_meshes, stored_normals_oppose_the_right_hand_rule_normal_of_every_face) {
  for (const auto& t : mesh->triangles) {
    const std::vector<v3>& p = mesh->positions;
    v3 face = cross(sub(p[t[1]], p[t[0]]), sub(p[t[2]], p[t[0]]));
    for (int k = 0; k < 3; ++k) EXPECT_LT(dot(face, mesh->normals[t[k]]), 0) << "triangle " << t[0];
  }
}

TEST_P(chargen_meshes, stored_normals_have_unit_length) {
  for (const v3& n : mesh->normals) EXPECT_NEAR(std::sqrt(dot(n, n)), 1.0, 1e-4);
}

TEST_P(chargen_meshes, feet_stand_on_the_ground_centred_and_the_size_is_one) {
  v3 lo = mesh->positions[0], hi = lo;
  for (const v3& p : mesh->positions) {
    lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
    hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
  }
  EXPECT_NEAR(lo.y, 0.0, 1e-5);
  EXPECT_NEAR(lo.x + hi.x, 0.0, 1e-5);
  EXPECT_NEAR(lo.z + hi.z, 0.0, 1e-5);
  EXPECT_NEAR(std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z}), 1.0, 1e-5);
}

TEST_P(chargen_meshes, every_vertex_has_one_to_four_influences_summing_to_one) {
  const qim_skinstream_t* skin =
      static_cast<const qim_skinstream_t*>(loaded->geometry->skin->find_stream("_POSITION"));
  ASSERT_NE(skin, nullptr);
  std::uint32_t bones = loaded->geometry->global->bone_count;
  std::vector<int> assigned(mesh->positions.size(), 0);
  for (const qim_skinitem_t& item : skin->skin_items) {
    EXPECT_GE(item.weights_added, 1u);
    EXPECT_LE(item.weights_added, 4u);
    double sum = 0;
    for (std::uint32_t k = 0; k < item.weights_added; ++k) {
      EXPECT_LT(item.first_weight[k].bone, bones);
      EXPECT_GT(item.first_weight[k].weight, 0.0f);
      sum += item.first_weight[k].weight;
    }
    EXPECT_NEAR(sum, 1.0, 1e-6);
    for (std::uint32_t k = 0; k < item.clones_added; ++k) {
      ASSERT_EQ(item.first_clone[k].piece, 0u);
      ASSERT_LT(item.first_clone[k].vertex, assigned.size());
      ++assigned[item.first_clone[k].vertex];
    }
  }
  for (int a : assigned) EXPECT_EQ(a, 1);
}

TEST_P(chargen_meshes, skin_items_sit_at_their_vertices) {
  const qix_stream_t* skin = loaded->geometry->skin->find_stream("_POSITION");
  ASSERT_NE(skin, nullptr);
  const qim_skinstream_t* s = static_cast<const qim_skinstream_t*>(skin);
  for (std::uint32_t i = 0; i < s->skin_items.size(); ++i) {
    const v3& p = mesh->positions[s->skin_items[i].first_clone[0].vertex];
    EXPECT_EQ(item_float(*skin, i, 0), float(p.x));
    EXPECT_EQ(item_float(*skin, i, 1), float(p.y));
    EXPECT_EQ(item_float(*skin, i, 2), float(p.z));
  }
}

INSTANTIATE_TEST_SUITE_P(characters, chargen_meshes, ::testing::Values(0, 1, 2));

}  // namespace
}  // namespace keln::chargen_test
