#include "chargen_catalog.h"

#include <cstring>

#include "documents/qix_load.h"
#include "kelncore/fs/fs_types.h"

namespace keln::chargen_test {

const std::vector<character_entry_t>& catalog() {
  static const std::vector<character_entry_t> entries = {
      {"HUNTER",
       "hunter/hunter.qis",
       "hunter/hunter.qim",
       {{"hunter/run.qia", true, {}},
        {"hunter/walk.qia", true, {}},
        {"hunter/backwalk.qia", true, {}},
        {"hunter/shake.qia", false, {"upperarm_R", "forearm_R", "hand_R"}},
        {"hunter/binoc_hld.qia", false, {"upperarm_", "forearm_", "hand_", "head"}}}},
      {"HORSE",
       "horse/vehicle.qis",
       "horse/vehicle.qim",
       {{"horse/walk.qia", true, {}},
        {"horse/gallop.qia", true, {}},
        {"horse/stand_idle.qia", true, {}},
        {"horse/grazing.qia", false, {"neck", "head", "ear"}},
        {"horse/shake.qia", false, {"neck", "head", "ear", "mane"}}}},
      {"ELEPHANT",
       "elephant/animal.qis",
       "elephant/animal.qim",
       {{"elephant/walk.qia", true, {}},
        {"elephant/gallop.qia", true, {}},
        {"elephant/grazing.qia", false, {"trunk", "head", "ear"}},
        {"elephant/shake.qia", false, {"head", "ear", "trunk"}}}},
  };
  return entries;
}

loaded_character_t::loaded_character_t(const character_entry_t& entry) {
  skeleton = qis_load(entry.skeleton, FS_DEVICE_SYSTEM, nodes);
  geometry = qim_load(entry.geometry, FS_DEVICE_SYSTEM, nodes);
  for (const animation_entry_t& a : entry.animations)
    animations.push_back(qia_load(a.path, FS_DEVICE_SYSTEM, nodes));
}

loaded_character_t::~loaded_character_t() { qix_destroy_nodes(nodes); }

float item_float(const qix_stream_t& s, std::uint32_t item, std::uint32_t component) {
  float value;
  std::memcpy(&value, s.item(item) + 4 * component, sizeof(value));
  return value;
}

}  // namespace keln::chargen_test
