// The scene's meshes as one skin mesh: triangles only, wound clockwise seen
// from outside (the viewer's front faces), at most four influences per
// vertex with weights summing to 1.
#pragma once

#include <array>
#include <assimp/scene.h>
#include <string>
#include <vector>

#include "import_skeleton.h"

namespace keln::qiximport {

// Most vertices one skin holds (its triangles index them with 16 bits).
constexpr std::size_t max_skin_vertices = 65536;

constexpr unsigned max_influences = 4;

struct import_influences_t {
  unsigned count = 0;  // 1 .. max_influences
  std::array<std::uint32_t, max_influences> bones{};
  std::array<double, max_influences> weights{};  // descending, summing to 1
};

struct import_mesh_t {
  std::vector<dvec3_t> positions;  // in skeleton space, output units
  std::vector<dvec3_t> normals;    // unit length
  std::vector<std::array<std::uint32_t, 3>> triangles;
  std::vector<import_influences_t> influences;
};

// Keeps the heaviest max_influences of weights (bone, weight), dropping
// weights that are not above 0, and scales them to sum to 1; an empty result
// when none is left.
import_influences_t limit_influences(std::vector<std::pair<std::uint32_t, double>> weights);

// Gathers every mesh of the scene except assimp's skeleton stand-ins. A
// skinned mesh is taken as it is, with its bones' weights; another mesh is
// placed by its node's rest transform and moves rigidly with the bone that
// carries its node, as does a vertex of a skinned mesh that no bone weighs.
// Points and lines are left out. False with problem set when there are more
// vertices than one skin holds.
bool build_mesh(const aiScene& scene, const import_skeleton_t& skeleton, double scale, import_mesh_t& mesh,
                std::string& problem);

}  // namespace keln::qiximport
