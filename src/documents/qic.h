// Collision document: collision pieces and parts plus typed collision
// locators (boxes, spheres, capsules).
#pragma once

#include <cstdint>

#include "documents/qix_node.h"

namespace keln {

class qic_global_t : public qix_node_t {
 public:
  // As declared; all but material_count are checked at the end of the document.
  std::uint32_t vertex_count = 0;
  std::uint32_t triangle_count = 0;
  std::uint32_t material_count = 0;
  std::uint32_t piece_count = 0;
  std::uint32_t part_count = 0;
  std::uint32_t locator_count = 0;
};

enum qic_locator_type_t : std::uint32_t {
  QIC_BOX = 0,      // "Box": three parameters
  QIC_SPHERE = 1,   // "Sphere": one parameter
  QIC_CAPSULE = 2,  // "Capsule": two parameters
};

class qic_locator_t : public qix_node_t {
 public:
  qix_string_t name;
  std::uint32_t index = 0;
  float position[3] = {};
  float rotation[4] = {};  // in the order written
  qix_string_t alias;
  float weight = 0.0f;
  std::uint32_t type = QIC_BOX;
  // The parameters the type uses (box 3, sphere 1, capsule 2); the unused
  // ones are 0.
  float parameters[3] = {};
};

// Number of parameters a locator type uses (0 for an unknown type).
std::uint32_t qic_parameter_count(std::uint32_t type);
// The type's name as written ("Box", "Sphere", "Capsule"), null for an unknown type.
const char* qic_type_name(std::uint32_t type);
// The type written as text, compared exactly (case-sensitive); false for any
// other text.
bool qic_type_from_name(const char* text, std::uint32_t& type);

class qic_t : public qix_node_t {
 public:
  qix_header_t* header = nullptr;
  qic_global_t* global = nullptr;
  string_dyn file_name;
  array_dyn_t<qix_piece_t*> pieces;
  array_dyn_t<qix_part_t*> parts;
  array_dyn_t<qic_locator_t*> locators;
  array_dyn_t<qix_material_t*> materials;
};

}  // namespace keln
