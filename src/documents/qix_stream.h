// qix_stream_t: a typed array of items, stored contiguously in one block sized
// once from the declared count, so filling it never reallocates.
#pragma once

#include <cstddef>
#include <cstdint>

#include "documents/qix_node.h"

namespace keln {

class qix_stream_t : public qix_node_t {
 public:
  ~qix_stream_t() override;

  // Sets the format and capacity and allocates item_size x count bytes.
  // Refused (false, nothing allocated) when the stream is already allocated
  // or the format has no size. When the block cannot be had (no memory, or
  // more than the parse's storage budget allows) it reports "cannot allocate
  // stream [size %zu]" with the byte size and returns false; the stream then
  // stays unallocated and refuses every item. A count of 0 allocates an empty
  // stream that refuses every item.
  virtual bool allocate(std::uint32_t format, std::uint32_t count);

  // Appends one item of size bytes. Refused when the stream is not allocated,
  // is full, or size differs from item_size (items are matched by byte size
  // only, so a Float stream takes a 4-byte integer item).
  virtual bool add_item(const void* item, std::uint32_t size);

  // The bytes of item index (index < item_count, checked: a failed check ends
  // the process).
  const unsigned char* item(std::uint32_t index) const;

  qix_string_t tag;                       // the stream's name, e.g. "_POSITION"
  std::uint32_t allocated = 0;            // 1 once the storage exists
  std::uint32_t format = QIX_FORMAT_NONE;
  std::uint32_t item_size = 0;            // bytes, from the format
  unsigned char* data = nullptr;          // item_size x capacity bytes, owned
  std::uint32_t item_count = 0;           // items stored so far
  std::uint32_t capacity = 0;             // items the stream was allocated for

 protected:
  // Allocates bytes for a block of this stream, taking them from the parse's
  // storage budget; reports and returns null when that is not possible.
  static unsigned char* allocate_block(std::size_t bytes);
};

}  // namespace keln
