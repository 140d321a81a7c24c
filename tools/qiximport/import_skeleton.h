// The skeleton of a scene: the nodes that are bones of a skinned mesh, that
// an animation moves, or that are ancestors of those, in the table order of
// list_nodes (parents first; the scene's root node is always the root bone).
#pragma once

#include <assimp/scene.h>
#include <string>
#include <vector>

#include "node_table.h"

namespace keln::qiximport {

struct import_bone_t {
  const aiNode* node;
  std::string name;      // the name written: unique, at most 12 word characters
  std::uint32_t parent;  // index into the bone list; no_parent for the root
  dmat4_t rest;          // the bone's rest transform in skeleton space, in output units
};

struct import_skeleton_t {
  std::vector<scene_node_t> nodes;  // the whole node tree (list_nodes)
  std::vector<import_bone_t> bones;
  std::vector<std::uint32_t> bone_of_node;  // per node table entry: its bone index, or no_parent

  // The bone that carries the node at entry: the node's own bone, else that
  // of its nearest ancestor that is one, else the root bone.
  std::uint32_t carrying_bone(std::uint32_t entry) const;
  // Index of the bone whose node is called name; no_parent when none is.
  std::uint32_t find_bone(const char* name) const;
};

// Whether mesh is only the stand-in that assimp makes to show a skeleton
// when a file has no mesh of its own (BVH): such meshes are not imported.
bool is_stand_in_mesh(const aiScene& scene, const aiMesh& mesh);

// Chooses the bones and their rest pose: from the bind matrices (inverse
// offsets) of the skinned meshes for their bones, from the node transforms
// for the others; lengths multiplied by scale. Each name that had to change
// to fit adds a line to warnings. False with problem set when the scene has
// neither skinned bones nor animations.
bool build_skeleton(const aiScene& scene, double scale, import_skeleton_t& skeleton,
                    std::vector<std::string>& warnings, std::string& problem);

}  // namespace keln::qiximport
