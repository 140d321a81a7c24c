// Geometry document (.qim): materials, mesh pieces, parts, locators, the bone
// names the skin refers to, and the skin.
#pragma once

#include <cstdint>

#include "documents/qim_skin.h"
#include "documents/qix_node.h"

namespace keln {

class qim_global_t : public qix_node_t {
 public:
  // As declared; checked against the sections at the end of the document
  // (all but material_count and bone_count, which the Bones section checks).
  std::uint32_t vertex_count = 0;
  std::uint32_t triangle_count = 0;
  std::uint32_t material_count = 0;
  std::uint32_t piece_count = 0;
  std::uint32_t part_count = 0;
  std::uint32_t bone_count = 0;
  std::uint32_t locator_count = 0;
  qix_string_t skeleton;  // name of the skeleton the geometry belongs to
};

class qim_locator_t : public qix_node_t {
 public:
  qix_string_t name;
  qix_string_t hookup;  // empty when not written
  std::uint32_t index = 0;
  float position[3] = {};
  float rotation[4] = {};  // in the order written
  float scale[3] = {};
};

class qim_t : public qix_node_t {
 public:
  qix_header_t* header = nullptr;
  qim_global_t* global = nullptr;
  qim_skin_t* skin = nullptr;  // null when the document has no skin
  string_dyn file_name;        // the path the document was loaded from
  array_dyn_t<qix_piece_t*> pieces;
  array_dyn_t<qix_part_t*> parts;
  array_dyn_t<qim_locator_t*> locators;
  array_dyn_t<qix_material_t*> materials;
  array_dyn_t<qix_string_t> bone_names;  // the Bones section, in index order
};

}  // namespace keln
