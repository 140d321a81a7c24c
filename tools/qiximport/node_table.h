// The scene's node tree as a flat table, parents before children, built
// without recursion so that however deep a file nests its nodes the walk
// cannot exhaust the stack.
#pragma once

#include <assimp/scene.h>
#include <cstdint>
#include <vector>

namespace keln::qiximport {

// Matrices of the import, in double precision (row by row, column vectors,
// translation in a4, b4, c4: the convention of the documents).
using dmat4_t = aiMatrix4x4t<double>;
using dvec3_t = aiVector3t<double>;
using dquat_t = aiQuaterniont<double>;

constexpr std::uint32_t no_parent = 0xFFFFFFFFu;

struct scene_node_t {
  const aiNode* node;
  std::uint32_t parent;  // index of the parent's entry; no_parent for the root
};

// Every node below and including root, in depth-first order with children in
// their file order.
std::vector<scene_node_t> list_nodes(const aiNode& root);

// Global rest transform of every entry of table: its node's transform, then
// its parent's global one.
std::vector<dmat4_t> node_globals(const std::vector<scene_node_t>& table);

// transform with its translation multiplied by scale: the same transform in
// units scale times smaller or larger (a uniform change of units leaves
// rotations and stretches as they are).
dmat4_t scaled_translation(dmat4_t transform, double scale);

}  // namespace keln::qiximport
