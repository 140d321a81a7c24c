// What the shipped character documents must hold: the catalog of the three
// characters with their document paths (relative to data/, as the viewer
// reads them) and, for each side animation, the bones it may drive.
#pragma once

#include <string>
#include <vector>

#include "documents/qia.h"
#include "documents/qim.h"
#include "documents/qis.h"

namespace keln::chargen_test {

struct animation_entry_t {
  const char* path;
  bool base;
  // Side animations: name prefixes of the only bones they may drive.
  std::vector<std::string> driven;
};

struct character_entry_t {
  const char* name;
  const char* skeleton;
  const char* geometry;
  std::vector<animation_entry_t> animations;
};

const std::vector<character_entry_t>& catalog();

// The documents of one character, loaded through the loaders from data/
// (the tests run there); null members for documents that failed to load.
struct loaded_character_t {
  loaded_character_t(const character_entry_t& entry);
  ~loaded_character_t();
  qix_node_list_t nodes;
  qis_t* skeleton;
  qim_t* geometry;
  std::vector<qia_t*> animations;  // in catalog order
};

// A float of a stream item (format with float components).
float item_float(const qix_stream_t& s, std::uint32_t item, std::uint32_t component);

}  // namespace keln::chargen_test
