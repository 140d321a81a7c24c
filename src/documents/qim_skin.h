// The skin of a geometry document: skin streams whose items each carry bone
// weights and the mesh vertices (clones) that take those weights. Weight and
// clone pairs of one skin stream live in two blocks sized once from the
// declared totals; each item refers into them.
#pragma once

#include <cstdint>

#include "documents/qix_stream.h"

namespace keln {

struct qim_weight_t {
  std::uint32_t bone;  // bone number as written
  float weight;
};

struct qim_clone_t {
  std::uint32_t piece;   // piece number
  std::uint32_t vertex;  // vertex index within that piece
};

// One skin item: its weight pairs are the weights_added pairs from
// first_weight, its clone pairs the clones_added pairs from first_clone.
struct qim_skinitem_t {
  std::uint32_t weight_count;  // as declared by Weights
  std::uint32_t clone_count;   // as declared by Clones
  qim_weight_t* first_weight;
  qim_clone_t* first_clone;
  std::uint32_t weights_added;
  std::uint32_t clones_added;
};

class qim_skinstream_t : public qix_stream_t {
 public:
  ~qim_skinstream_t() override;

  // Stores the declared item count, allocates the item storage (false when
  // that fails), then replaces the weight and clone blocks by new ones of the
  // given capacities. A block that cannot be had is reported like a stream
  // ("cannot allocate stream [size %zu]"), leaves that capacity at 0 (so every
  // pair of that kind is refused) and makes the result false.
  virtual bool allocate_skin(std::uint32_t format, std::uint32_t item_count, std::uint32_t weight_capacity,
                             std::uint32_t clone_capacity);
  // The base add_item, then a new skin item with no pairs yet.
  bool add_item(const void* item, std::uint32_t size) override;
  // Set the last item's declared counts; false when there is no item yet.
  virtual bool set_weight_count(std::uint32_t n);
  virtual bool set_clone_count(std::uint32_t n);
  // Append a pair to the last item. Refused when there is no item, when the
  // item already has as many pairs as it declared, or when the block is full.
  virtual bool add_weight(std::uint32_t bone, float weight);
  virtual bool add_clone(std::uint32_t piece, std::uint32_t vertex);

  std::uint32_t item_count_declared = 0;  // ItemCount (not compared with the items written)
  std::uint32_t weight_capacity = 0;      // TotalWeightCount
  std::uint32_t clone_capacity = 0;       // TotalCloneCount
  array_dyn_t<qim_skinitem_t> skin_items; // one per item, in item order
  qim_weight_t* weights = nullptr;        // weight_capacity pairs, owned
  std::uint32_t weights_used = 0;
  qim_clone_t* clones = nullptr;          // clone_capacity pairs, owned
  std::uint32_t clones_used = 0;
};

class qim_skin_t : public qix_streamholder_t {
 public:
  std::uint32_t stream_count = 0;  // as declared; the streams are qim_skinstream_t
};

}  // namespace keln
