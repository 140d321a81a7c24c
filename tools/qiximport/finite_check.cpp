#include "finite_check.h"

#include <cmath>

#include "node_table.h"

namespace keln::qiximport {

namespace {

bool finite(double v) { return std::isfinite(v); }
bool finite(const aiVector3D& v) { return finite(v.x) && finite(v.y) && finite(v.z); }
bool finite(const aiQuaternion& q) { return finite(q.w) && finite(q.x) && finite(q.y) && finite(q.z); }
bool finite(const aiMatrix4x4& m) {
  for (unsigned r = 0; r < 4; ++r)
    for (unsigned c = 0; c < 4; ++c)
      if (!finite(m[r][c])) return false;
  return true;
}

// Whether every key of a list has a finite time and value.
template <typename Key>
bool finite_keys(const Key* keys, unsigned count) {
  for (unsigned k = 0; k < count; ++k)
    if (!finite(keys[k].mTime) || !finite(keys[k].mValue)) return false;
  return true;
}

bool finite_channel(const aiNodeAnim& channel) {
  return finite_keys(channel.mPositionKeys, channel.mNumPositionKeys) &&
         finite_keys(channel.mRotationKeys, channel.mNumRotationKeys) &&
         finite_keys(channel.mScalingKeys, channel.mNumScalingKeys);
}

bool finite_bone(const aiBone& bone) {
  if (!finite(bone.mOffsetMatrix)) return false;
  for (unsigned w = 0; w < bone.mNumWeights; ++w)
    if (!finite(bone.mWeights[w].mWeight)) return false;
  return true;
}

bool finite_mesh(const aiMesh& mesh) {
  for (unsigned v = 0; v < mesh.mNumVertices; ++v)
    if (!finite(mesh.mVertices[v]) || (mesh.mNormals != nullptr && !finite(mesh.mNormals[v]))) return false;
  for (unsigned b = 0; b < mesh.mNumBones; ++b)
    if (!finite_bone(*mesh.mBones[b])) return false;
  return true;
}

std::string find_in_nodes(const aiNode& root) {
  for (const scene_node_t& entry : list_nodes(root))
    if (!finite(entry.node->mTransformation)) return "node \"" + std::string(entry.node->mName.C_Str()) + "\"";
  return "";
}

std::string find_in_animation(const aiAnimation& animation, unsigned index) {
  const std::string where = "animation " + std::to_string(index);
  if (!finite(animation.mDuration) || !finite(animation.mTicksPerSecond)) return where;
  for (unsigned c = 0; c < animation.mNumChannels; ++c)
    if (!finite_channel(*animation.mChannels[c]))
      return where + ", channel \"" + animation.mChannels[c]->mNodeName.C_Str() + "\"";
  return "";
}

}  // namespace

std::string find_non_finite(const aiScene& scene) {
  std::string where = find_in_nodes(*scene.mRootNode);
  for (unsigned a = 0; where.empty() && a < scene.mNumAnimations; ++a)
    where = find_in_animation(*scene.mAnimations[a], a);
  for (unsigned m = 0; where.empty() && m < scene.mNumMeshes; ++m)
    if (!finite_mesh(*scene.mMeshes[m])) where = "mesh " + std::to_string(m);
  return where;
}

}  // namespace keln::qiximport
