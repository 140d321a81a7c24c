// The parser's context: the five document roots created for the parse in
// progress, the caller's node list, the sections being read and the next
// expected item and bone numbers. One process-wide instance: one document is
// parsed at a time.
#pragma once

#include <cstdint>

#include "documents/qia.h"
#include "documents/qic.h"
#include "documents/qim.h"
#include "documents/qis.h"
#include "documents/qit.h"
#include "documents/qix_kind.h"

namespace keln {

struct qix_parse_context_t {
  qix_kind_t kind = QIX_GEOMETRY;
  qix_node_list_t* nodes = nullptr;
  qim_t* qim = nullptr;
  qis_t* qis = nullptr;
  qia_t* qia = nullptr;
  qit_t* qit = nullptr;
  qic_t* qic = nullptr;

  qix_piece_t* piece = nullptr;
  qix_part_t* part = nullptr;
  qix_material_t* material = nullptr;
  qim_skin_t* skin = nullptr;
  qim_skinstream_t* skinstream = nullptr;
  qis_bones_t* bones = nullptr;
  qia_channel_t* channel = nullptr;
  qit_look_t* look = nullptr;
  qit_variant_t* variant = nullptr;
  qit_material_t* trait_material = nullptr;
  qit_part_t* trait_part = nullptr;
  qix_node_ex_t* attribute_holder = nullptr;  // trait material or part whose attributes are read
  qix_stream_t* stream = nullptr;

  std::uint32_t expected_item = 0;       // of the current stream
  std::uint32_t expected_skin_item = 0;  // of the current skin stream
  std::uint32_t expected_bone = 0;
};

extern qix_parse_context_t g_qix_context;

// Sets the context up for a parse of the given kind: creates the five roots
// (qim_t, qis_t, qia_t, qit_t, qic_t, in this order) in the node list.
void qix_parse_setup(qix_node_list_t& nodes, qix_kind_t kind);

// After a parse: forgets the sections being read (the nodes stay in the list)
// and the node list.
void qix_parse_clear();

// Creates a node of type T in the node list of the parse in progress.
template <typename T>
T* qix_parse_node() {
  return qix_new_node<T>(*g_qix_context.nodes);
}

}  // namespace keln
