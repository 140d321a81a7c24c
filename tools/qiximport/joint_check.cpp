#include "joint_check.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/math/mat_sq.h"
#include "velm/skeletal_instance.h"

namespace keln::qiximport {

namespace {

// The channel of animation that moves the node called name, or null.
const aiNodeAnim* channel_of(const aiAnimation& animation, const aiString& name) {
  for (unsigned c = 0; c < animation.mNumChannels; ++c)
    if (animation.mChannels[c]->mNodeName == name) return animation.mChannels[c];
  return nullptr;
}

// Index of the last key at or before ticks (0 when ticks is before all),
// by a forward scan; and how far ticks lies towards the next key.
template <typename Key>
unsigned key_before(const Key* keys, unsigned count, double ticks, double& fraction) {
  unsigned k = 0;
  while (k + 1 < count && keys[k + 1].mTime <= ticks) ++k;
  fraction = 0.0;
  if (k + 1 < count && ticks > keys[k].mTime) fraction = (ticks - keys[k].mTime) / (keys[k + 1].mTime - keys[k].mTime);
  return k;
}

aiVector3t<double> vector_at(const aiVectorKey* keys, unsigned count, double ticks, const aiVector3t<double>& rest) {
  if (count == 0) return rest;
  double f = 0.0;
  const unsigned k = key_before(keys, count, ticks, f);
  const aiVector3t<double> a(keys[k].mValue.x, keys[k].mValue.y, keys[k].mValue.z);
  if (f == 0.0) return a;
  const aiVector3t<double> b(keys[k + 1].mValue.x, keys[k + 1].mValue.y, keys[k + 1].mValue.z);
  return a * (1.0 - f) + b * f;
}

aiQuaterniont<double> rotation_at(const aiQuatKey* keys, unsigned count, double ticks,
                                  const aiQuaterniont<double>& rest) {
  if (count == 0) return rest;
  double f = 0.0;
  const unsigned k = key_before(keys, count, ticks, f);
  aiQuaterniont<double> a(keys[k].mValue.w, keys[k].mValue.x, keys[k].mValue.y, keys[k].mValue.z);
  if (f == 0.0) return a.Normalize();
  aiQuaterniont<double> b(keys[k + 1].mValue.w, keys[k + 1].mValue.x, keys[k + 1].mValue.y, keys[k + 1].mValue.z);
  aiQuaterniont<double> result;
  aiQuaterniont<double>::Interpolate(result, a.Normalize(), b.Normalize(), f);
  return result.Normalize();
}

// The node's local transform with channel applied at ticks.
aiMatrix4x4t<double> animated_local(const aiNode& node, const aiNodeAnim* channel, double ticks) {
  const aiMatrix4x4t<double> rest(node.mTransformation);
  if (channel == nullptr) return rest;
  aiVector3t<double> scaling, position;
  aiQuaterniont<double> rotation;
  rest.Decompose(scaling, rotation, position);
  return aiMatrix4x4t<double>(vector_at(channel->mScalingKeys, channel->mNumScalingKeys, ticks, scaling),
                              rotation_at(channel->mRotationKeys, channel->mNumRotationKeys, ticks, rotation),
                              vector_at(channel->mPositionKeys, channel->mNumPositionKeys, ticks, position));
}

}  // namespace

double rest_height(const import_skeleton_t& skeleton) {
  dvec3_t low = skeleton.bones.front().rest * dvec3_t(), high = low;
  for (const import_bone_t& bone : skeleton.bones) {
    const dvec3_t p = bone.rest * dvec3_t();
    low = dvec3_t(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
    high = dvec3_t(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
  }
  const double extent = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
  return extent > 0.0 ? extent : 1.0;
}

std::vector<dvec3_t> source_joints(const aiAnimation& animation, double ticks, const import_skeleton_t& skeleton,
                                   double scale) {
  std::vector<aiMatrix4x4t<double>> global(skeleton.nodes.size());
  std::vector<dvec3_t> joints(skeleton.bones.size());
  for (std::size_t e = 0; e < skeleton.nodes.size(); ++e) {
    const aiNode& node = *skeleton.nodes[e].node;
    const aiMatrix4x4t<double> local = animated_local(node, channel_of(animation, node.mName), ticks);
    global[e] = skeleton.nodes[e].parent == no_parent ? local : global[skeleton.nodes[e].parent] * local;
    if (skeleton.bone_of_node[e] != no_parent)
      joints[skeleton.bone_of_node[e]] = dvec3_t(global[e].a4, global[e].b4, global[e].c4) * scale;
  }
  return joints;
}

bool largest_joint_difference(const std::string& skeleton_path, const std::string& clip_path,
                              const import_clip_t& clip, const import_skeleton_t& skeleton, double scale,
                              double& out, std::string& problem) {
  velm::skeletal_instance_t instance(skeleton_path.c_str());
  const std::unique_ptr<velm::motion_t> motion(instance.load_motion(clip_path.c_str()));
  if (instance.bone_count() != skeleton.bones.size() || !motion || motion->channels.size() != skeleton.bones.size()) {
    problem = "the written documents do not load back";
    return false;
  }
  for (const velm::bone_channel_t& channel : motion->channels)
    if (channel.bone >= skeleton.bones.size() || channel.size() != clip.key_count) {
      problem = "the written documents do not load back";
      return false;
    }
  array_dyn_t<mat4_t> matrices;
  matrices.resize(instance.bone_count());
  out = 0.0;
  for (std::uint32_t k = 0; k < clip.key_count; ++k) {
    for (const velm::bone_channel_t& channel : motion->channels) channel[k].to_matrix(matrices[channel.bone]);
    instance.concatenate_hierarchy(matrices);
    const std::vector<dvec3_t> expected = source_joints(*clip.source, clip.ticks_at(k), skeleton, scale);
    for (std::uint32_t b = 0; b < matrices.size(); ++b) {
      const mat4_t& m = matrices[b];
      const dvec3_t loaded(m.m[3], m.m[7], m.m[11]);
      out = std::max(out, (loaded - expected[b]).Length());
    }
  }
  return true;
}

}  // namespace keln::qiximport
