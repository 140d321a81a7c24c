#include "documents/qix_stream.h"

#include <cstring>
#include <new>

#include "documents/qix_storage_budget.h"
#include "kelncore/system/assert.h"
#include "kelncore/system/messages.h"

namespace keln {

qix_stream_t::~qix_stream_t() { delete[] data; }

unsigned char* qix_stream_t::allocate_block(std::size_t bytes) {
  unsigned char* block = nullptr;
  if (qix_storage_budget_take(bytes)) block = new (std::nothrow) unsigned char[bytes];
  if (!block) msg_error("cannot allocate stream [size %zu]", bytes);
  return block;
}

bool qix_stream_t::allocate(std::uint32_t new_format, std::uint32_t count) {
  if (allocated) return false;
  format = new_format;
  item_size = qix_format_size(new_format);
  capacity = count;
  if (item_size == 0) return false;
  // Both factors are below 2^32, so the product fits the 64-bit size type.
  static_assert(sizeof(std::size_t) >= 8, "stream sizes are computed in 64 bits");
  data = allocate_block(static_cast<std::size_t>(item_size) * count);
  if (!data) return false;
  allocated = 1;
  return true;
}

bool qix_stream_t::add_item(const void* item_bytes, std::uint32_t size) {
  if (!allocated || item_count == capacity || size != item_size) return false;
  std::memcpy(data + static_cast<std::size_t>(item_count) * item_size, item_bytes, item_size);
  ++item_count;
  return true;
}

const unsigned char* qix_stream_t::item(std::uint32_t index) const {
  if (index >= item_count)
    core_assert_failed("[qix_stream_t] item index out of range", "documents/qix_stream.cpp", __LINE__,
                       "unknown fn");
  return data + static_cast<std::size_t>(index) * item_size;
}

}  // namespace keln
