#include "import_mesh.h"

#include <algorithm>
#include <set>

namespace keln::qiximport {

namespace {

// Weights of every vertex of a skinned mesh, by skeleton bone.
std::vector<std::vector<std::pair<std::uint32_t, double>>> vertex_weights(const aiMesh& source,
                                                                          const import_skeleton_t& skeleton) {
  std::vector<std::vector<std::pair<std::uint32_t, double>>> weights(source.mNumVertices);
  for (unsigned b = 0; b < source.mNumBones; ++b) {
    const aiBone& bone = *source.mBones[b];
    const std::uint32_t index = skeleton.find_bone(bone.mName.C_Str());
    for (unsigned w = 0; w < bone.mNumWeights; ++w)
      if (index != no_parent && bone.mWeights[w].mVertexId < source.mNumVertices)
        weights[bone.mWeights[w].mVertexId].emplace_back(index, bone.mWeights[w].mWeight);
  }
  return weights;
}

// Appends source: skinned (no placement) or placed by node_global and
// carried rigidly by carrier.
void append_mesh(const aiMesh& source, const import_skeleton_t& skeleton, const dmat4_t& node_global,
                 std::uint32_t carrier, double scale, import_mesh_t& mesh) {
  const bool skinned = source.mNumBones != 0;
  const dmat4_t placement = skinned ? dmat4_t() : node_global;
  const aiMatrix3x3t<double> turn(placement);
  const auto base = static_cast<std::uint32_t>(mesh.positions.size());
  const auto weights = skinned ? vertex_weights(source, skeleton)
                               : std::vector<std::vector<std::pair<std::uint32_t, double>>>(source.mNumVertices);
  for (unsigned v = 0; v < source.mNumVertices; ++v) {
    const aiVector3D& p = source.mVertices[v];
    mesh.positions.push_back(scaled_translation(placement, scale) * (dvec3_t(p.x, p.y, p.z) * scale));
    dvec3_t normal(0.0, 1.0, 0.0);
    if (source.mNormals != nullptr) normal = dvec3_t(source.mNormals[v].x, source.mNormals[v].y, source.mNormals[v].z);
    normal = turn * normal;
    mesh.normals.push_back(normal.SquareLength() > 0.0 ? normal.Normalize() : dvec3_t(0.0, 1.0, 0.0));
    import_influences_t influences = limit_influences(weights[v]);
    if (influences.count == 0) influences = limit_influences({{carrier, 1.0}});
    mesh.influences.push_back(influences);
  }
  for (unsigned f = 0; f < source.mNumFaces; ++f) {
    const aiFace& face = source.mFaces[f];
    if (face.mNumIndices != 3) continue;
    // Counter-clockwise in the source, clockwise here.
    mesh.triangles.push_back({base + face.mIndices[0], base + face.mIndices[2], base + face.mIndices[1]});
  }
}

}  // namespace

import_influences_t limit_influences(std::vector<std::pair<std::uint32_t, double>> weights) {
  weights.erase(std::remove_if(weights.begin(), weights.end(), [](const auto& w) { return !(w.second > 0.0); }),
                weights.end());
  std::stable_sort(weights.begin(), weights.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
  import_influences_t result;
  result.count = static_cast<unsigned>(std::min<std::size_t>(weights.size(), max_influences));
  double total = 0.0;
  for (unsigned i = 0; i < result.count; ++i) total += weights[i].second;
  for (unsigned i = 0; i < result.count; ++i) {
    result.bones[i] = weights[i].first;
    result.weights[i] = weights[i].second / total;
  }
  return result;
}

bool build_mesh(const aiScene& scene, const import_skeleton_t& skeleton, double scale, import_mesh_t& mesh,
                std::string& problem) {
  std::size_t vertices = 0;
  std::vector<std::pair<std::uint32_t, unsigned>> uses;  // (node entry, mesh index) of every mesh taken
  std::set<unsigned> skinned_taken;
  for (std::uint32_t e = 0; e < skeleton.nodes.size(); ++e) {
    const aiNode& node = *skeleton.nodes[e].node;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
      const unsigned m = node.mMeshes[i];
      if (m >= scene.mNumMeshes || is_stand_in_mesh(scene, *scene.mMeshes[m])) continue;
      // A skinned mesh is placed by its bones, so a second node showing it
      // would only draw it again in the same place.
      if (scene.mMeshes[m]->mNumBones != 0 && !skinned_taken.insert(m).second) continue;
      uses.emplace_back(e, m);
      vertices += scene.mMeshes[m]->mNumVertices;
    }
  }
  if (vertices > max_skin_vertices) {
    problem = "the meshes have " + std::to_string(vertices) + " vertices, more than the " +
              std::to_string(max_skin_vertices) + " one skin holds";
    return false;
  }
  const std::vector<dmat4_t> node_global = node_globals(skeleton.nodes);
  for (const auto& [entry, m] : uses)
    append_mesh(*scene.mMeshes[m], skeleton, node_global[entry], skeleton.carrying_bone(entry), scale, mesh);
  return true;
}

}  // namespace keln::qiximport
