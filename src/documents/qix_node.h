// The node classes shared by every document kind. A parse creates nodes and
// appends each, at its creation, to a node list that the caller of the loader
// owns; nodes never delete each other, so a root's pointers and pointer arrays
// refer to nodes the list owns. The owner destroys the whole list at once with
// qix_destroy_nodes. Every node is constructed empty (empty strings, zero
// counts, null pointers, empty arrays) and filled field by field.
#pragma once

#include <cstdint>

#include "documents/qix_format.h"
#include "kelncore/collections/arrays/arrays_dyn.h"
#include "kelncore/collections/strings.h"

namespace keln {

// Document strings hold at most 63 characters.
using qix_string_t = string_local_t<64>;

class qix_stream_t;
class qix_attribute_t;

class qix_node_t {
 public:
  qix_node_t() = default;
  virtual ~qix_node_t() = default;
  qix_node_t(const qix_node_t&) = delete;
  qix_node_t& operator=(const qix_node_t&) = delete;
};

// The caller-owned list of every node one or more loads created.
using qix_node_list_t = array_dyn_t<qix_node_t*>;

// Deletes every listed node (null entries are skipped) and clears the list.
void qix_destroy_nodes(qix_node_list_t& nodes);

// Creates an empty node of type T and appends it to the list, which owns it.
template <typename T>
T* qix_new_node(qix_node_list_t& nodes) {
  T* node = new T();
  nodes.push_back(node);
  return node;
}

// A node that carries attributes (trait materials and parts).
class qix_node_ex_t : public qix_node_t {
 public:
  std::uint32_t attribute_count = 0;        // as declared by AttributeCount
  array_dyn_t<qix_attribute_t*> attributes;  // in document order
};

// A node that owns a list of streams (pieces, skins, animation channels).
class qix_streamholder_t : public qix_node_t {
 public:
  array_dyn_t<qix_stream_t*> streams;  // in document order

  // The first stream whose tag equals the name byte for byte, or null.
  qix_stream_t* find_stream(const char* tag) const;
};

class qix_header_t : public qix_node_t {
 public:
  std::int32_t format_version = 0;
  qix_string_t source;
  qix_string_t type;
  qix_string_t name;
};

class qix_attribute_t : public qix_node_t {
 public:
  std::uint32_t format = QIX_FORMAT_NONE;  // from Format
  qix_string_t tag;
  qix_value_t value = {QIX_FORMAT_NONE, {}, 0};
};

class qix_material_t : public qix_node_t {
 public:
  qix_string_t alias;
  qix_string_t effect;
};

// A named group of pieces and locators; the listed numbers are not checked
// against the declared counts.
class qix_part_t : public qix_node_t {
 public:
  qix_string_t name;
  std::uint32_t piece_count = 0;          // as declared
  array_dyn_t<std::uint32_t> pieces;      // piece numbers in document order
  std::uint32_t locator_count = 0;        // as declared
  array_dyn_t<std::uint32_t> locators;    // locator numbers in document order
};

// A mesh piece: one stream per vertex attribute, each of vertex_count items,
// and the triangles (three vertex indices of this piece per item).
class qix_piece_t : public qix_streamholder_t {
 public:
  std::uint32_t index = 0;
  std::uint32_t material = 0;  // a material number
  std::uint32_t vertex_count = 0;
  std::uint32_t triangle_count = 0;
  std::uint32_t stream_count = 0;      // as declared
  qix_stream_t* triangles = nullptr;   // format QIX_FORMAT_TRIANGLE; null until read
};

}  // namespace keln
