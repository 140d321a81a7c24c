#include "import_skeleton.h"

#include <cstring>
#include <map>
#include <string>

#include "name_limits.h"

namespace keln::qiximport {

namespace {

// Bind transform (inverse offset) of every bone named by an imported mesh,
// the first mesh naming it winning.
std::map<std::string, dmat4_t> bind_transforms(const aiScene& scene) {
  std::map<std::string, dmat4_t> binds;
  for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
    const aiMesh& mesh = *scene.mMeshes[m];
    if (is_stand_in_mesh(scene, mesh)) continue;
    for (unsigned b = 0; b < mesh.mNumBones; ++b) {
      dmat4_t offset(mesh.mBones[b]->mOffsetMatrix);
      binds.emplace(mesh.mBones[b]->mName.C_Str(), offset.Inverse());
    }
  }
  return binds;
}

// Names of the nodes that some animation moves.
std::map<std::string, bool> animated_nodes(const aiScene& scene) {
  std::map<std::string, bool> names;
  for (unsigned a = 0; a < scene.mNumAnimations; ++a)
    for (unsigned c = 0; c < scene.mAnimations[a]->mNumChannels; ++c)
      names[scene.mAnimations[a]->mChannels[c]->mNodeName.C_Str()] = true;
  return names;
}

}  // namespace

std::uint32_t import_skeleton_t::carrying_bone(std::uint32_t entry) const {
  for (std::uint32_t e = entry; e != no_parent; e = nodes[e].parent)
    if (bone_of_node[e] != no_parent) return bone_of_node[e];
  return 0;
}

std::uint32_t import_skeleton_t::find_bone(const char* name) const {
  for (std::uint32_t b = 0; b < bones.size(); ++b)
    if (std::strcmp(bones[b].node->mName.C_Str(), name) == 0) return b;
  return no_parent;
}

bool is_stand_in_mesh(const aiScene& scene, const aiMesh& mesh) {
  if (mesh.mMaterialIndex >= scene.mNumMaterials) return false;
  aiString name;
  return scene.mMaterials[mesh.mMaterialIndex]->Get(AI_MATKEY_NAME, name) == AI_SUCCESS &&
         std::strcmp(name.C_Str(), "SkeletonMaterial") == 0;
}

bool build_skeleton(const aiScene& scene, double scale, import_skeleton_t& skeleton,
                    std::vector<std::string>& warnings, std::string& problem) {
  const std::map<std::string, dmat4_t> binds = bind_transforms(scene);
  const std::map<std::string, bool> animated = animated_nodes(scene);
  if (binds.empty() && animated.empty()) {
    problem = "the scene has no bones and no animations";
    return false;
  }
  skeleton.nodes = list_nodes(*scene.mRootNode);
  const std::size_t count = skeleton.nodes.size();

  // A node is a bone when it is named by a skin or an animation, or when a
  // node below it is; children come after their parents, so one backward
  // pass marks every ancestor.
  std::vector<bool> chosen(count, false);
  for (std::size_t e = count; e-- > 0;) {
    const std::string name = skeleton.nodes[e].node->mName.C_Str();
    if (binds.count(name) != 0 || animated.count(name) != 0) chosen[e] = true;
    if (chosen[e] && skeleton.nodes[e].parent != no_parent) chosen[skeleton.nodes[e].parent] = true;
  }

  const std::vector<dmat4_t> node_global = node_globals(skeleton.nodes);
  skeleton.bone_of_node.assign(count, no_parent);
  name_registry_t names;
  for (std::size_t e = 0; e < count; ++e) {
    const scene_node_t& entry = skeleton.nodes[e];
    if (!chosen[e]) continue;
    const std::string source = entry.node->mName.C_Str();
    const auto bind = binds.find(source);
    import_bone_t bone{entry.node, names.bone_name(source),
                       entry.parent == no_parent ? no_parent : skeleton.bone_of_node[entry.parent],
                       scaled_translation(bind != binds.end() ? bind->second : node_global[e], scale)};
    if (bone.name != source) warnings.push_back("bone \"" + source + "\" is written as \"" + bone.name + "\"");
    skeleton.bone_of_node[e] = static_cast<std::uint32_t>(skeleton.bones.size());
    skeleton.bones.push_back(bone);
  }
  return true;
}

}  // namespace keln::qiximport
