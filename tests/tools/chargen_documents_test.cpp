// The shipped characters as the viewer reads them: every document loads
// silently; skeletons are ordered hierarchies of token names with
// translation-only rest transforms; skins are closed, wound clockwise seen
// from outside with outward unit normals, within the vertex budget, fully
// weighted, standing centred on the ground at size 1; animations are closed
// loops of 0.6 to 4 s at 30 keys a second of rigid keys, side animations
// drive only their bones, and planted feet neither float, sink nor slide.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "../support/tolerances.h"
#include "chargen_catalog.h"
#include "kelncore/math/mat4_routines.h"
#include "kelncore/system/messages.h"

namespace keln::chargen_test {
namespace {

using test::tol_character;
using test::tol_chain;
using test::tol_exact;
using test::tol_float;

class warnings_t : public message_handler_t {
 public:
  void handle(const string& text, message_level_t level) override {
    if (level != ML_INFO) lines.push_back(text.c_str());
  }
  std::vector<std::string> lines;
};

struct v3 {
  double x, y, z;
};
v3 sub(v3 a, v3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
v3 cross(v3 a, v3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(v3 a, v3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

mat4_t key(const qia_channel_t& channel, std::uint32_t k) {
  mat4_t m;
  std::memcpy(m.m, channel.find_stream("_MATRIX")->item(k), sizeof(m.m));
  return m;
}

bool starts_with_any(const std::string& name, const std::vector<std::string>& prefixes) {
  return std::any_of(prefixes.begin(), prefixes.end(),
                     [&](const std::string& prefix) { return name.compare(0, prefix.size(), prefix) == 0; });
}

// One character's documents, loaded once, with warnings and errors recorded.
class chargen_documents : public ::testing::TestWithParam<size_t> {
 protected:
  void SetUp() override {
    entry = &catalog()[GetParam()];
    loaded.reset(new loaded_character_t(*entry));
    ASSERT_TRUE(warnings.lines.empty()) << warnings.lines.front();
    ASSERT_NE(loaded->skeleton, nullptr);
    ASSERT_NE(loaded->geometry, nullptr);
    for (size_t i = 0; i < loaded->animations.size(); ++i)
      ASSERT_NE(loaded->animations[i], nullptr) << entry->animations[i].path;
  }
  const array_dyn_t<qis_bone_t>& bones() const { return loaded->skeleton->bones->bone_list; }
  std::int32_t find_bone(const char* name) const {
    bool found = false;
    const std::int32_t index = loaded->skeleton->bones->find_bone(name, found);
    EXPECT_TRUE(found || !*name) << name;
    return index;
  }

  warnings_t warnings;
  const character_entry_t* entry = nullptr;
  std::unique_ptr<loaded_character_t> loaded;
};

TEST_P(chargen_documents, skeletons_are_ordered_hierarchies_named_like_the_geometry) {
  EXPECT_GE(bones().size(), 20u);
  EXPECT_LE(bones().size(), 60u);
  EXPECT_EQ(bones().size(), loaded->skeleton->global->bone_count);
  ASSERT_EQ(loaded->geometry->bone_names.size(), bones().size());
  int roots = 0;
  for (std::uint32_t i = 0; i < bones().size(); ++i) {
    const qis_bone_t& b = bones()[i];
    const std::string name = b.name.c_str();
    const std::int32_t parent = find_bone(b.parent.c_str());
    EXPECT_LT(parent, std::int32_t(i)) << name;
    roots += parent < 0;
    EXPECT_EQ(find_bone(name.c_str()), std::int32_t(i));  // names are unique
    EXPECT_EQ(loaded->geometry->bone_names[i].c_str(), name);
    EXPECT_TRUE(!name.empty() && name.size() <= 12 &&
                std::all_of(name.begin(), name.end(), [](char c) { return std::isalnum(c) || c == '_'; }))
        << name;
    for (unsigned r = 0; r < 4; ++r)  // skinning and the animations assume identity rest orientations
      for (unsigned k = 0; k < 3; ++k) EXPECT_EQ(b.matrix.at(r, k), r == k ? 1.0f : 0.0f) << name;
  }
  EXPECT_EQ(roots, 1);
}

TEST_P(chargen_documents, the_skin_is_closed_clockwise_placed_and_fully_weighted) {
  ASSERT_EQ(loaded->geometry->pieces.size(), 1u);
  const qix_piece_t& piece = *loaded->geometry->pieces[0];
  const qix_stream_t *ps = piece.find_stream("_POSITION"), *ns = piece.find_stream("_NORMAL");
  std::vector<v3> p, n;
  for (std::uint32_t v = 0; v < piece.vertex_count; ++v) {
    p.push_back({item_float(*ps, v, 0), item_float(*ps, v, 1), item_float(*ps, v, 2)});
    n.push_back({item_float(*ns, v, 0), item_float(*ns, v, 1), item_float(*ns, v, 2)});
    EXPECT_NEAR(std::sqrt(dot(n[v], n[v])), 1.0, tol_chain);
  }
  EXPECT_GE(p.size(), 3000u);
  EXPECT_LE(p.size(), 20000u);

  // Each directed edge once and its reverse once: closed and consistently
  // wound; stored normals oppose the right-hand-rule face normal.
  std::map<std::pair<int, int>, int> edges;
  double volume = 0;
  for (std::uint32_t t = 0; t < piece.triangle_count; ++t) {
    std::array<std::int32_t, 3> i;
    std::memcpy(i.data(), piece.triangles->item(t), sizeof(i));
    for (int k = 0; k < 3; ++k) {
      ASSERT_LT(std::uint32_t(i[k]), p.size());
      ++edges[{i[k], i[(k + 1) % 3]}];
    }
    EXPECT_TRUE(i[0] != i[1] && i[1] != i[2] && i[0] != i[2]);
    const v3 face = cross(sub(p[i[1]], p[i[0]]), sub(p[i[2]], p[i[0]]));
    for (int k = 0; k < 3; ++k) EXPECT_LT(dot(face, n[i[k]]), 0) << "triangle " << t;
    volume += dot(p[i[0]], cross(p[i[1]], p[i[2]])) / 6;
  }
  EXPECT_LT(volume, 0);
  for (const auto& [edge, count] : edges) {
    EXPECT_EQ(count, 1);
    const auto reverse = edges.find({edge.second, edge.first});
    ASSERT_NE(reverse, edges.end()) << "open edge " << edge.first << "-" << edge.second;
    EXPECT_EQ(reverse->second, 1);
  }

  // Feet on the ground, centred, the largest extent 1.
  v3 lo = p[0], hi = lo;
  for (const v3& q : p) {
    lo = {std::min(lo.x, q.x), std::min(lo.y, q.y), std::min(lo.z, q.z)};
    hi = {std::max(hi.x, q.x), std::max(hi.y, q.y), std::max(hi.z, q.z)};
  }
  EXPECT_NEAR(lo.y, 0.0, tol_float);
  EXPECT_NEAR(lo.x + hi.x, 0.0, tol_float);
  EXPECT_NEAR(lo.z + hi.z, 0.0, tol_float);
  EXPECT_NEAR(std::max({hi.x - lo.x, hi.y - lo.y, hi.z - lo.z}), 1.0, tol_float);

  // One to four influences summing to one for every vertex, each skin item
  // sitting at its vertices.
  const qix_stream_t* skin_stream = loaded->geometry->skin->find_stream("_POSITION");
  ASSERT_NE(skin_stream, nullptr);
  const auto& items = static_cast<const qim_skinstream_t*>(skin_stream)->skin_items;
  std::vector<int> assigned(p.size(), 0);
  for (std::uint32_t s = 0; s < items.size(); ++s) {
    const qim_skinitem_t& item = items[s];
    EXPECT_GE(item.weights_added, 1u);
    EXPECT_LE(item.weights_added, 4u);
    double sum = 0;
    for (std::uint32_t k = 0; k < item.weights_added; ++k) {
      EXPECT_LT(item.first_weight[k].bone, loaded->geometry->global->bone_count);
      EXPECT_GT(item.first_weight[k].weight, 0.0f);
      sum += item.first_weight[k].weight;
    }
    EXPECT_NEAR(sum, 1.0, tol_exact);
    for (std::uint32_t k = 0; k < item.clones_added; ++k) {
      ASSERT_EQ(item.first_clone[k].piece, 0u);
      ASSERT_LT(item.first_clone[k].vertex, assigned.size());
      ++assigned[item.first_clone[k].vertex];
    }
    const v3& at = p[item.first_clone[0].vertex];
    EXPECT_EQ(item_float(*skin_stream, s, 0), float(at.x));
    EXPECT_EQ(item_float(*skin_stream, s, 1), float(at.y));
    EXPECT_EQ(item_float(*skin_stream, s, 2), float(at.z));
  }
  EXPECT_EQ(std::count(assigned.begin(), assigned.end(), 1), std::ptrdiff_t(assigned.size()));
}

TEST_P(chargen_documents, animations_are_rigid_closed_loops_of_thirty_keys_a_second) {
  for (size_t i = 0; i < entry->animations.size(); ++i) {
    const animation_entry_t& a = entry->animations[i];
    const qia_t& doc = *loaded->animations[i];
    SCOPED_TRACE(a.path);
    struct stat info;
    ASSERT_EQ(stat(a.path, &info), 0);
    EXPECT_LE(info.st_size, 1500000);
    const float total = doc.global->total_time;
    EXPECT_GE(total, 0.6f);
    EXPECT_LE(total, 4.0f);
    const std::uint32_t keys = std::uint32_t(std::lround(total * 30)) + 1;
    EXPECT_EQ(doc.bone_channels.size(), doc.global->bone_channel_count);
    std::set<std::string> channels;
    for (const qia_channel_t* channel : doc.bone_channels) {
      const std::string name = channel->name.c_str();
      EXPECT_GE(find_bone(name.c_str()), 0);
      EXPECT_TRUE(channels.insert(name).second) << "twice: " << name;
      EXPECT_TRUE(a.base || starts_with_any(name, a.driven)) << name;
      ASSERT_EQ(channel->keyframe_count, keys);
      const qix_stream_t* time = channel->find_stream("_TIME");
      ASSERT_TRUE(time && time->format == QIX_FORMAT_FLOAT);
      ASSERT_EQ(channel->find_stream("_MATRIX")->format, std::uint32_t(QIX_FORMAT_FLOAT4X4));
      float sum = 0, largest_step = 0;
      for (std::uint32_t k = 0; k < keys; ++k) {
        EXPECT_EQ(item_float(*time, k, 0), 1.0f / 30.0f);
        if (k + 1 < keys) sum += item_float(*time, k, 0);
        const mat4_t m = key(*channel, k);
        EXPECT_TRUE(m[12] == 0.0f && m[13] == 0.0f && m[14] == 0.0f && m[15] == 1.0f) << name << " key " << k;
        for (unsigned r = 0; r < 3; ++r)
          for (unsigned s = 0; s < 3; ++s)
            EXPECT_NEAR(m.at(r, 0) * m.at(s, 0) + m.at(r, 1) * m.at(s, 1) + m.at(r, 2) * m.at(s, 2),
                        r == s ? 1.0f : 0.0f, tol_float);
        if (k == 0) continue;
        // No bone turns by more than 40 degrees from one key to the next
        // (the angle of the relative rotation, from the trace of A^T B).
        const mat4_t previous = key(*channel, k - 1);
        double trace = 0;
        float step = 0;
        for (unsigned r = 0; r < 3; ++r)
          for (unsigned c = 0; c < 3; ++c) trace += double(previous.at(r, c)) * m.at(r, c);
        EXPECT_LE(std::acos(std::clamp((trace - 1) / 2, -1.0, 1.0)) * 180 / M_PI, 40.0) << name << " key " << k;
        for (unsigned c = 0; c < 16; ++c) step = std::max(step, std::fabs(m[c] - previous[c]));
        if (k + 1 < keys) largest_step = std::max(largest_step, step);
        // The last key repeats the first, and the step into it is no larger
        // than the others: the loop has no jump.
        if (k + 1 == keys) {
          EXPECT_EQ(std::memcmp(channel->find_stream("_MATRIX")->item(0), channel->find_stream("_MATRIX")->item(k),
                                sizeof(mat4_t)),
                    0)
              << name;
          EXPECT_LE(step, largest_step * 1.5f + tol_exact) << name;
        }
      }
      EXPECT_NEAR(sum, total, tol_float);
    }
    if (a.base) {
      EXPECT_EQ(channels.size(), bones().size());
    } else {
      for (const std::string& prefix : a.driven)
        EXPECT_TRUE(std::any_of(channels.begin(), channels.end(),
                                [&](const std::string& name) { return starts_with_any(name, {prefix}); }))
            << prefix;
    }
  }
}

TEST_P(chargen_documents, planted_feet_neither_float_sink_nor_slide) {
  // Forward gaits move planted feet backward (-z), the back walk forward,
  // standing still not at all.
  const std::map<std::string, int> direction = {{"hunter/run.qia", -1},     {"hunter/walk.qia", -1},
                                                {"hunter/backwalk.qia", 1}, {"horse/walk.qia", -1},
                                                {"horse/gallop.qia", -1},   {"horse/stand_idle.qia", 0},
                                                {"elephant/walk.qia", -1},  {"elephant/gallop.qia", -1}};
  std::vector<std::int32_t> parents;
  std::vector<std::uint32_t> feet;
  for (std::uint32_t i = 0; i < bones().size(); ++i) {
    parents.push_back(find_bone(bones()[i].parent.c_str()));
    const std::string name = bones()[i].name.c_str();
    if (name.rfind("foot_", 0) == 0 || (name.rfind("leg_", 0) == 0 && name.back() == '3')) feet.push_back(i);
  }
  ASSERT_FALSE(feet.empty());
  for (size_t i = 0; i < entry->animations.size(); ++i) {
    if (!entry->animations[i].base) continue;
    const qia_t& a = *loaded->animations[i];
    SCOPED_TRACE(entry->animations[i].path);
    const int dir = direction.at(entry->animations[i].path);
    // Global joint positions of the feet at every key (a base animation has
    // a channel for every bone, in bone order).
    std::vector<std::vector<vec3_t>> paths(feet.size());
    for (std::uint32_t k = 0; k < a.bone_channels[0]->keyframe_count; ++k) {
      std::vector<mat4_t> global(parents.size());
      for (size_t b = 0; b < parents.size(); ++b) {
        ASSERT_STREQ(a.bone_channels[std::uint32_t(b)]->name.c_str(), bones()[std::uint32_t(b)].name.c_str());
        const mat4_t local = key(*a.bone_channels[std::uint32_t(b)], k);
        if (parents[b] < 0)
          global[b] = local;
        else
          mat4_mul(global[b], local, global[size_t(parents[b])]);
      }
      for (size_t f = 0; f < feet.size(); ++f) {
        const mat4_t& g = global[feet[f]];
        paths[f].push_back(vec3_t{{g[3], g[7], g[11]}});
      }
    }
    for (size_t f = 0; f < feet.size(); ++f) {
      const char* foot = bones()[feet[f]].name.c_str();
      const float rest_y = bones()[feet[f]].matrix[7];
      float lowest = rest_y + 1;
      for (const vec3_t& q : paths[f]) lowest = std::min(lowest, q[1]);
      EXPECT_NEAR(lowest, rest_y, tol_character) << foot;
      for (size_t k = 1; k < paths[f].size(); ++k) {
        const vec3_t &p = paths[f][k - 1], &q = paths[f][k];
        if (p[1] >= rest_y + tol_character || q[1] >= rest_y + tol_character) continue;  // not planted
        EXPECT_NEAR(q[0], p[0], tol_character) << foot << " key " << k;
        const float dz = q[2] - p[2];
        if (dir == 0) {
          EXPECT_LE(std::fabs(dz), tol_character) << foot << " key " << k;
        } else {
          EXPECT_GE(dz * float(dir), -tol_chain) << foot << " key " << k;  // backward, up to rounding
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(characters, chargen_documents, ::testing::Values(0, 1, 2));

}  // namespace
}  // namespace keln::chargen_test
