#include "velm/bone_node.h"

namespace keln::velm {

bool skeleton_is_ordered(const array_t<bone_node_t>& skeleton) {
  for (std::uint32_t i = 0; i < skeleton.size(); ++i) {
    const std::uint32_t parent = skeleton[i].parent;
    if (parent != no_bone && parent >= i) return false;
  }
  return true;
}

}  // namespace keln::velm
