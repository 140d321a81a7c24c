// Trait document: looks (per-look materials with attributes and textures) and
// variants (per-variant parts with attributes) of a model.
#pragma once

#include <cstdint>

#include "documents/qix_node.h"

namespace keln {

class qit_global_t : public qix_node_t {
 public:
  std::uint32_t look_count = 0;     // as declared, not checked
  std::uint32_t variant_count = 0;  // as declared, not checked
  std::uint32_t part_count = 0;     // parts every variant must have
  std::uint32_t material_count = 0; // materials every look must have
};

class qit_texture_t : public qix_node_t {
 public:
  qix_string_t tag;
  qix_string_t value;  // the texture's file or resource name as written
};

// attribute_count (AttributeCount) is not checked for materials.
class qit_material_t : public qix_node_ex_t {
 public:
  qix_string_t alias;
  qix_string_t effect;
  std::uint32_t texture_count = 0;  // as declared; equals textures.size() in a loaded document
  array_dyn_t<qit_texture_t*> textures;
};

class qit_look_t : public qix_node_t {
 public:
  qix_string_t name;
  array_dyn_t<qit_material_t*> materials;
};

// attribute_count equals attributes.size() in a loaded document.
class qit_part_t : public qix_node_ex_t {
 public:
  qix_string_t name;
};

class qit_variant_t : public qix_node_t {
 public:
  qix_string_t name;
  array_dyn_t<qit_part_t*> parts;
};

class qit_t : public qix_node_t {
 public:
  qix_header_t* header = nullptr;
  qit_global_t* global = nullptr;
  array_dyn_t<qit_look_t*> looks;
  array_dyn_t<qit_variant_t*> variants;
  string_dyn file_name;
};

}  // namespace keln
