// Item format codes of document streams and attribute values, and the typed
// value record that carries one item (or one attribute value) while a document
// is parsed.
#pragma once

#include <cstdint>

namespace keln {

// The code fixes the byte size of one item. Floats are 32-bit IEEE values and
// every multi-byte value is stored in native (little-endian) order.
enum qix_format_t : std::uint32_t {
  QIX_FORMAT_FLOAT = 0,       // 1 float, 4 bytes
  QIX_FORMAT_FLOAT2 = 1,      // 2 floats, 8 bytes
  QIX_FORMAT_FLOAT3 = 2,      // 3 floats, 12 bytes
  QIX_FORMAT_FLOAT4 = 3,      // 4 floats, 16 bytes
  QIX_FORMAT_FLOAT5 = 4,      // 5 floats, 20 bytes
  QIX_FORMAT_FLOAT6 = 5,      // 6 floats, 24 bytes
  QIX_FORMAT_STRING = 6,      // up to 63 characters, zero-terminated, in a 64-byte field
  QIX_FORMAT_INT = 7,         // 1 signed 32-bit integer, 4 bytes
  QIX_FORMAT_TRIANGLE = 8,    // 3 signed 32-bit vertex indices, 12 bytes
  QIX_FORMAT_FLOAT4X4 = 9,    // 16 floats, a 4 x 4 matrix row by row, 64 bytes
  QIX_FORMAT_QUATERNION = 10, // 4 floats, 16 bytes
  QIX_FORMAT_WORD = 11,       // one 4-byte item of no particular type
  QIX_FORMAT_NONE = 12,       // no format yet: a new stream or attribute, 0 bytes
};

// Byte size of one item of the format; 0 for QIX_FORMAT_NONE and for every
// code outside the table.
std::uint32_t qix_format_size(std::uint32_t format);

// Number of float components of the format (0 for the string, integer, word
// and empty formats).
std::uint32_t qix_format_floats(std::uint32_t format);

// One typed value: an attribute value, or one stream item while it is parsed.
// data holds the item laid out as its format says; bytes beyond size are not
// defined. size is always qix_format_size(format).
struct qix_value_t {
  std::uint32_t format;
  alignas(4) unsigned char data[64];
  std::uint32_t size;
};

}  // namespace keln
