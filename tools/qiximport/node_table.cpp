#include "node_table.h"

namespace keln::qiximport {

std::vector<scene_node_t> list_nodes(const aiNode& root) {
  std::vector<scene_node_t> table;
  std::vector<scene_node_t> pending{{&root, no_parent}};
  while (!pending.empty()) {
    const scene_node_t entry = pending.back();
    pending.pop_back();
    const auto index = static_cast<std::uint32_t>(table.size());
    table.push_back(entry);
    // Pushed last child first, so that the first child comes out first.
    for (unsigned c = entry.node->mNumChildren; c-- > 0;) pending.push_back({entry.node->mChildren[c], index});
  }
  return table;
}

std::vector<dmat4_t> node_globals(const std::vector<scene_node_t>& table) {
  std::vector<dmat4_t> globals(table.size());
  for (std::size_t e = 0; e < table.size(); ++e) {
    const dmat4_t local(table[e].node->mTransformation);
    globals[e] = table[e].parent == no_parent ? local : globals[table[e].parent] * local;
  }
  return globals;
}

dmat4_t scaled_translation(dmat4_t transform, double scale) {
  transform.a4 *= scale;
  transform.b4 *= scale;
  transform.c4 *= scale;
  return transform;
}

}  // namespace keln::qiximport
